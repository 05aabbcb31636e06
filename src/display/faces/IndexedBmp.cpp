#include "display/faces/IndexedBmp.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace halvex::faces {

namespace {

using Palette = std::vector<uint32_t>;  // 0xRRGGBB

Palette makePalette(int bits) {
    Palette p;
    if (bits == 4) {
        p = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
             0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        return p;
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.push_back(static_cast<uint32_t>(r * 51 << 16 | g * 51 << 8 | b * 51));
    for (int k = 0; k < 40; ++k) {
        const uint32_t v = static_cast<uint32_t>(k * 255 / 39);
        p.push_back(v << 16 | v << 8 | v);
    }
    return p;
}

uint8_t nearest(const Palette& p, uint32_t rgb) {
    int best = 0;
    long bestDistance = 1L << 40;
    for (size_t i = 0; i < p.size(); ++i) {
        const long dr = static_cast<long>(rgb >> 16 & 0xFF) - static_cast<long>(p[i] >> 16 & 0xFF);
        const long dg = static_cast<long>(rgb >> 8 & 0xFF) - static_cast<long>(p[i] >> 8 & 0xFF);
        const long db = static_cast<long>(rgb & 0xFF) - static_cast<long>(p[i] & 0xFF);
        const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDistance) bestDistance = d, best = static_cast<int>(i);
    }
    return static_cast<uint8_t>(best);
}

void put16(std::vector<uint8_t>& o, uint32_t v) {
    o.push_back(static_cast<uint8_t>(v));
    o.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& o, uint32_t v) {
    put16(o, v & 0xFFFF);
    put16(o, v >> 16);
}

}  // namespace

bool WriteIndexedBmp(DeviceContext dc, const std::string& path, int bits) {
    if (!dc || (bits != 8 && bits != 4)) return false;
    const int w = ContextWidth(dc), h = ContextHeight(dc);
    const Palette palette = makePalette(bits);
    const uint32_t colours = bits == 8 ? 256u : 16u;
    const uint32_t rowBytes = ((static_cast<uint32_t>(w) * static_cast<uint32_t>(bits) + 31) / 32) * 4;
    const uint32_t headerBytes = 14 + 40 + colours * 4;
    std::vector<uint8_t> o;
    o.reserve(headerBytes + rowBytes * static_cast<uint32_t>(h));
    o.push_back('B');
    o.push_back('M');
    put32(o, headerBytes + rowBytes * static_cast<uint32_t>(h));
    put32(o, 0);
    put32(o, headerBytes);
    put32(o, 40);
    put32(o, static_cast<uint32_t>(w));
    put32(o, static_cast<uint32_t>(h));  // positive: rows bottom-up
    put16(o, 1);
    put16(o, static_cast<uint32_t>(bits));
    put32(o, 0);  // uncompressed
    put32(o, rowBytes * static_cast<uint32_t>(h));
    put32(o, 2834);
    put32(o, 2834);
    put32(o, colours);
    put32(o, 0);
    for (uint32_t i = 0; i < colours; ++i) put32(o, i < palette.size() ? palette[i] : 0);
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < w; ++x) {
            const uint8_t index = nearest(palette, PixelAt(dc, x, y) & 0xFFFFFF);
            if (bits == 8) row[static_cast<size_t>(x)] = index;
            else row[static_cast<size_t>(x / 2)] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
        }
        o.insert(o.end(), row.begin(), row.end());
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(o.data()), static_cast<std::streamsize>(o.size()));
    return static_cast<bool>(out);
}

}  // namespace halvex::faces
