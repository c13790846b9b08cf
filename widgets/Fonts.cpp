#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

void installFontSubstitutes() {
    // The narrow face keeps the old face's widths: six digits of a VHF frequency and the VFO
    // captions fit their labels, as they were laid out to.
    if (!QFontDatabase::hasFamily(kMsSansSerif)) {
        QFont::insertSubstitutions(kMsSansSerif, {"Microsoft Sans Serif", "Liberation Sans Narrow",
                                                  "DejaVu Sans Condensed", "DejaVu Sans"});
    }
    if (!QFontDatabase::hasFamily(kArial)) {
        QFont::insertSubstitutions(kArial, {"Liberation Sans", "Arimo", "DejaVu Sans"});
    }
}

QFont pixelFont(const QString& face, int pixelHeight, bool bold) {
    QFont font(face);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
