#pragma once
// Colours as the controls take them: red in the low byte, green in the next, blue in the third.

#include <QColor>
#include <cstdint>

using TColor = uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr int redOf(TColor c) {
    return static_cast<int>(c & 0xFF);
}
inline constexpr int greenOf(TColor c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int blueOf(TColor c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
inline constexpr TColor rgb(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline QColor toQColor(TColor c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}
