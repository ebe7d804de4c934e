#pragma once
// Colours as the forms store them: &H00BBGGRR, or &H800000nn for system colour nn.
#include <cstdint>

namespace forms {

using Color = uint32_t;

struct Rgb {
    uint8_t r, g, b;
};

namespace SystemColor {
constexpr Color ButtonFace = 0x8000000F;
constexpr Color ButtonText = 0x80000012;
constexpr Color Highlight = 0x8000000D;
constexpr Color WindowText = 0x80000008;
constexpr Color ButtonShadow = 0x80000010;
constexpr Color ButtonHighlight = 0x80000014;
constexpr Color GrayText = 0x80000011;
}  // namespace SystemColor

// Our system palette: a dark night-blue theme, so the playfield reads like an arcade screen.
constexpr Rgb toRgb(Color c) {
    if (c & 0x80000000u) {
        switch (c & 0xFF) {
            case 0x0F: return {0x1B, 0x22, 0x3C};  // button face, window background
            case 0x12: return {0xF2, 0xF4, 0xFA};  // button text, label text
            case 0x08: return {0xF2, 0xF4, 0xFA};  // window text
            case 0x0D: return {0xFF, 0xC8, 0x3C};  // highlight: warm gold
            case 0x10: return {0x0C, 0x10, 0x20};  // button shadow
            case 0x14: return {0x4A, 0x58, 0x8C};  // button highlight
            case 0x11: return {0x7A, 0x80, 0x96};  // disabled text
            default: return {0x80, 0x80, 0x80};
        }
    }
    return {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF), static_cast<uint8_t>((c >> 16) & 0xFF)};
}

}  // namespace forms
