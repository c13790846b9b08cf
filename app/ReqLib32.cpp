#include "ReqLib32.h"

QString PadLeft(const QString& text, int minimumLength, QChar fill) {
    return text.rightJustified(minimumLength, fill, false);
}

bool IsNumericText(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    for (QChar c : text) {
        const bool digit = c >= u'0' && c <= u'9';
        if (!digit && c != u',' && c != u'-' && c != u'.') {
            return false;
        }
    }
    return true;
}

QString DigitsOnly(const QString& text) {
    QString digits;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            digits += c;
        }
    }
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

QString UpperText(const QString& text) {
    return text.toUpper();
}

QString BoolToText(bool value) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}
