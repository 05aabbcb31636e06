#include "procedures/ProcedureLexer.h"

#include <fstream>

namespace halvex {

std::string ProcedureFilePath(std::string_view airportIdent) {
    std::string path = "PMDG/SIDSTARS/";
    path += airportIdent;
    path += ".txt";
    return path;
}

std::vector<std::string> SplitProcedureLines(std::string_view bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        const bool hasFeed = end != std::string_view::npos;
        if (!hasFeed) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // Windows line ends
        if (line.size() >= kMaxProcedureLineLength) break;
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        lines.emplace_back(line);
        start = hasFeed ? end + 1 : end;
    }
    return lines;
}

std::optional<std::vector<std::string>> ReadProcedureFile(std::string_view airportIdent) {
    std::ifstream in(ProcedureFilePath(airportIdent), std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) bytes.append(chunk, static_cast<size_t>(in.gcount()));
    std::vector<std::string> lines = SplitProcedureLines(bytes);
    if (lines.size() < 2) return std::nullopt;
    return lines;
}

TokenLine TokenizeLine(std::string_view line) {
    TokenLine tokens;
    TokenizeLineInto(line, tokens);
    return tokens;
}

void TokenizeLineInto(std::string_view line, TokenLine& tokens) {
    size_t count = 0;
    auto isSeparator = [](char c) { return c == ' ' || c == '\t'; };
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSeparator(line[i])) ++i;
        if (i == line.size()) break;
        const size_t begin = i;
        while (i < line.size() && !isSeparator(line[i])) ++i;
        const std::string_view piece = line.substr(begin, i - begin);
        if (piece.size() >= 2 && piece[0] == '/' && piece[1] == '/') break;  // comment to the end
        if (count == tokens.size()) tokens.emplace_back();
        ProcToken& token = tokens[count++];
        token.keyword = KeywordCode(piece);
        token.isWord = token.keyword == ProcKeyword::End;
        if (token.isWord) token.text.assign(piece);
        else token.text.clear();
    }
    tokens.resize(count);
}

}  // namespace halvex
