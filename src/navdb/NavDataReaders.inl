// Template parts of NavDataReaders.h.
#pragma once

namespace halvex {

template <typename OnLine>
void ForEachLine(std::string_view text, OnLine&& onLine) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // written on Windows
        if (line.size() <= kLongestLine) onLine(line);
        start = next;
    }
}

// Blank-separated tokens: runs of blanks are one separator.
inline size_t SplitBlanks(std::string_view line, std::string_view* tokens, size_t maxTokens) {
    size_t n = 0;
    size_t i = 0;
    while (n < maxTokens) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i >= line.size()) break;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        tokens[n++] = line.substr(start, i - start);
    }
    return n;
}

inline bool SkippedDataLine(std::string_view line) {
    if (line.size() < 2) return true;
    const unsigned char first = static_cast<unsigned char>(line[0]);
    return first == ' ' || first == ';' || first == 0xFF;
}

template <typename OnLine>
void ReadAirwayFile(std::string_view text, OnLine&& onLine) {
    // Sample line:
    // 5E11    001 IMPOR  48.627944 -123.125400
    // tokens: name, sequence (not read), ident, latitude, longitude; later tokens ignored.
    ForEachLine(text, [&](std::string_view line) {
        if (SkippedDataLine(line)) return;
        std::string_view tokens[5];
        if (SplitBlanks(line, tokens, 5) < 5) return;  // outside the format
        AirwayLine out;
        out.name = tokens[0];
        out.ident = tokens[2];
        out.lat = static_cast<float>(LenientReal(tokens[3]) / RadToDeg);
        out.lon = static_cast<float>(LenientReal(tokens[4]) / RadToDeg);
        onLine(out);
    });
}

}  // namespace halvex
