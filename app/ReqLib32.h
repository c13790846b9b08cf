#pragma once
// The program's small text functions.

#include <QString>

// The text with the fill character put in front until it is at least the minimum length; a
// longer text comes back unchanged, never cut.
QString PadLeft(const QString& text, int minimumLength, QChar fill);
// True for a non-empty text of decimal digits, ",", "-" and "." only.
bool IsNumericText(const QString& text);
// The decimal digits of the text in their order; "0" when it holds none.
QString DigitsOnly(const QString& text);
// Upper case by the locale's rules, letters beyond ASCII included.
QString UpperText(const QString& text);
QString BoolToText(bool value);
