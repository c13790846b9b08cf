#pragma once
// Fonts by face and character height in pixels. "MS Sans Serif" and "Arial" are the faces the
// controls were laid out in; where they are missing, a sans-serif face of the same character
// heights takes their place (Liberation Sans is Arial's metric twin).

#include <QFont>
#include <QString>

void installFontSubstitutes();
QFont pixelFont(const QString& face, int pixelHeight, bool bold = false);

inline const QString kMsSansSerif = QStringLiteral("MS Sans Serif");
inline const QString kArial = QStringLiteral("Arial");
