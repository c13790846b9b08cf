#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

void installFontSubstitutes() {
    const QStringList sans = {"Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"};
    if (!QFontDatabase::hasFamily(kMsSansSerif)) {
        QFont::insertSubstitutions(kMsSansSerif, sans);
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
