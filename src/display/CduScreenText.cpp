#include "display/CduScreenText.h"

namespace halvex {

uint32_t ShownCharacter(TextCell c) {
    const uint32_t ch = cell::Char(c);
    if (ch < 32 || ch == 127) return ' ';
    if (ch == 96) return 0xB0;
    if (ch == 124) return 0x25A1;
    if (ch >= 0xD800 && ch <= 0xDFFF) return 0xFFFD;  // a lone surrogate is no character
    return ch;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string CduScreenText(const TextCell* cells) {
    std::string text;
    for (int row = 0; row < CduTextGrid::kRows; ++row) {
        for (int col = 0; col < CduTextGrid::kColumns; ++col)
            AppendUtf8(text, ShownCharacter(cells[row * CduTextGrid::kColumns + col]));
        text += '\n';
    }
    return text;
}

}  // namespace halvex
