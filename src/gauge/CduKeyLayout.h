// Where every key sits on the 500 x 559 CDU face and the code it pushes. The module's mouse
// rectangles, the face drawing and the hosts that press keys by name all read this one table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace halvex::gauge {

struct CduKey {
    int32_t x, y, width, height;  // face pixels
    int32_t code;
};

inline constexpr size_t kCduKeyCount = 66;

constexpr std::array<CduKey, kCduKeyCount> MakeCduKeyLayout() {
    std::array<CduKey, kCduKeyCount> keys{};
    size_t n = 0;
    constexpr int32_t lineY[6] = {81, 116, 151, 186, 221, 256};
    for (int i = 0; i < 6; ++i) keys[n++] = {8, lineY[i], 30, 20, -30 - i};   // L1..L6
    for (int i = 0; i < 6; ++i) keys[n++] = {464, lineY[i], 30, 20, -50 - i}; // R1..R6
    constexpr int32_t functionX[10] = {5, 56, 107, 158, 209, 260, 311, 362, 413, 464};
    for (int i = 0; i < 10; ++i) keys[n++] = {functionX[i], 344, 36, 34, -10 - i};  // F1..F10
    keys[n++] = {6, 297, 36, 34, -3};    // above the keypad, left
    keys[n++] = {464, 297, 36, 34, -2};  // above the keypad, right
    keys[n++] = {6, 408, 36, 34, -4};    // beside the keypad, left
    keys[n++] = {464, 412, 32, 32, -1};  // beside the letters, right
    constexpr int32_t letterX[7] = {174, 216, 258, 300, 342, 384, 426};
    constexpr int32_t letterY[4] = {385, 430, 475, 520};
    constexpr int32_t lastRow[7] = {'V', 'W', 'X', 'Y', 'Z', ' ', '/'};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 7; ++col)
            keys[n++] = {letterX[col], letterY[row], 32, 32, row < 3 ? 'A' + row * 7 + col : lastRow[col]};
    constexpr int32_t digitY[3] = {388, 431, 475};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) keys[n++] = {45 + 42 * col, digitY[row], 32, 32, '1' + row * 3 + col};
    keys[n++] = {45, 519, 32, 32, '.'};
    keys[n++] = {88, 519, 32, 32, '0'};
    keys[n++] = {130, 519, 32, 32, '+'};
    return keys;
}

inline constexpr std::array<CduKey, kCduKeyCount> kCduKeyLayout = MakeCduKeyLayout();

// The key that pushes code, or null.
constexpr const CduKey* FindCduKey(int32_t code) {
    for (const CduKey& key : kCduKeyLayout)
        if (key.code == code) return &key;
    return nullptr;
}

// A key by the name a person types for it: "A".."Z", "0".."9", ".", "/", "+", "SP" (space),
// "L1".."L6" and "R1".."R6" (line-select keys), "F1".."F10" (function row), "K1".."K4" (codes
// -1 to -4). Nothing for any other name.
constexpr std::optional<int32_t> CduKeyFromName(std::string_view name) {
    if (name.size() == 1) {
        const char c = name[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '/' || c == '+') return c;
        return std::nullopt;
    }
    if (name == "SP") return 32;
    if (name.size() < 2 || name.size() > 3) return std::nullopt;
    int n = 0;
    for (char d : name.substr(1)) {
        if (d < '0' || d > '9') return std::nullopt;
        n = n * 10 + (d - '0');
    }
    if (name[1] == '0') return std::nullopt;  // no leading zeros: "L01" is no key
    switch (name[0]) {
        case 'L': if (n >= 1 && n <= 6) return -29 - n; break;
        case 'R': if (n >= 1 && n <= 6) return -49 - n; break;
        case 'F': if (n >= 1 && n <= 10) return -9 - n; break;
        case 'K': if (n >= 1 && n <= 4) return -n; break;
        default: break;
    }
    return std::nullopt;
}

}  // namespace halvex::gauge
