#include "squirrel/Lexer.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace sq {

namespace {

const std::unordered_map<std::string_view, int>& keywords() {
    static const std::unordered_map<std::string_view, int> k = {
        {"break", TK_BREAK}, {"case", TK_CASE}, {"catch", TK_CATCH}, {"class", TK_CLASS},
        {"clone", TK_CLONE}, {"constructor", TK_CONSTRUCTOR}, {"continue", TK_CONTINUE},
        {"default", TK_DEFAULT}, {"delegate", TK_DELEGATE}, {"delete", TK_DELETE}, {"do", TK_DO},
        {"else", TK_ELSE}, {"extends", TK_EXTENDS}, {"false", TK_FALSE}, {"for", TK_FOR},
        {"foreach", TK_FOREACH}, {"function", TK_FUNCTION}, {"if", TK_IF}, {"in", TK_IN},
        {"instanceof", TK_INSTANCEOF}, {"local", TK_LOCAL}, {"null", TK_NULL}, {"parent", TK_PARENT},
        {"resume", TK_RESUME}, {"return", TK_RETURN}, {"static", TK_STATIC}, {"switch", TK_SWITCH},
        {"this", TK_THIS}, {"throw", TK_THROW}, {"true", TK_TRUE}, {"try", TK_TRY},
        {"typeof", TK_TYPEOF}, {"vargc", TK_VARGC}, {"vargv", TK_VARGV}, {"while", TK_WHILE},
        {"yield", TK_YIELD}};
    return k;
}

bool isAlpha(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isHex(int c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexVal(int c) { return isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

}  // namespace

Lexer::Lexer(std::string_view src) : src_(src) {
    // A NUL byte ends the source text.
    const size_t nul = src_.find('\0');
    if (nul != std::string_view::npos) src_ = src_.substr(0, nul);
}

void Lexer::error(const std::string& msg) const { throw CompileError{msg, tokenLine, tokenColumn}; }

std::string Lexer::tokenName(int tok) {
    if (tok == TK_IDENT) return "IDENTIFIER";
    if (tok == TK_STRING) return "STRING_LITERAL";
    if (tok == TK_INT) return "INTEGER";
    if (tok == TK_FLOAT) return "FLOAT";
    for (const auto& [name, t] : keywords())
        if (t == tok) return std::string(name);
    if (tok < 256) return std::string(1, static_cast<char>(tok));
    return "?";
}

void Lexer::advance() {
    if (pos_ < src_.size()) {
        if (src_[pos_] == '\n') { ++line; column = 1; }
        else ++column;
        ++pos_;
    }
}

int Lexer::next() {
    newlineBefore = false;
    for (;;) {
        tokenLine = line;
        tokenColumn = column;
        const int c = peekc();
        switch (c) {
        case -1: return token = TK_EOS;
        case '\n': newlineBefore = true; advance(); continue;
        case ' ': case '\t': case '\r': advance(); continue;
        case '/':
            if (peekc(1) == '/') { while (peekc() != -1 && peekc() != '\n') advance(); continue; }
            if (peekc(1) == '*') {
                advance(); advance();
                for (;;) {
                    if (peekc() == -1) error("missing \"*/\" in comment");
                    if (peekc() == '*' && peekc(1) == '/') { advance(); advance(); break; }
                    advance();
                }
                continue;
            }
            advance();
            if (peekc() == '=') { advance(); return token = TK_DIVEQ; }
            if (peekc() == '>') { advance(); return token = TK_ATTR_CLOSE; }
            return token = '/';
        case '=': advance(); if (peekc() == '=') { advance(); return token = TK_EQ; } return token = '=';
        case '<':
            advance();
            if (peekc() == '=') { advance(); return token = TK_LE; }
            if (peekc() == '-') { advance(); return token = TK_NEWSLOT; }
            if (peekc() == '<') { advance(); return token = TK_SHL; }
            if (peekc() == '/') { advance(); return token = TK_ATTR_OPEN; }
            return token = '<';
        case '>':
            advance();
            if (peekc() == '=') { advance(); return token = TK_GE; }
            if (peekc() == '>') {
                advance();
                if (peekc() == '>') { advance(); return token = TK_USHR; }
                return token = TK_SHR;
            }
            return token = '>';
        case '!': advance(); if (peekc() == '=') { advance(); return token = TK_NE; } return token = '!';
        case '@':
            advance();
            if (peekc() != '"') error("string expected");
            advance();
            return readString('"', true);
        case '"': case '\'': advance(); return readString(c, false);
        case '{': case '}': case '(': case ')': case '[': case ']': case ';': case ',': case '?':
        case '^': case '~':
            advance(); return token = c;
        case '.':
            advance();
            if (peekc() != '.') return token = '.';
            advance();
            if (peekc() != '.') error("invalid token '..'");
            advance();
            return token = TK_VARPARAMS;
        case '&': advance(); if (peekc() == '&') { advance(); return token = TK_AND; } return token = '&';
        case '|': advance(); if (peekc() == '|') { advance(); return token = TK_OR; } return token = '|';
        case ':': advance(); if (peekc() == ':') { advance(); return token = TK_DOUBLECOLON; } return token = ':';
        case '*': advance(); if (peekc() == '=') { advance(); return token = TK_MULEQ; } return token = '*';
        case '%': advance(); if (peekc() == '=') { advance(); return token = TK_MODEQ; } return token = '%';
        case '-':
            advance();
            if (peekc() == '=') { advance(); return token = TK_MINUSEQ; }
            if (peekc() == '-') { advance(); return token = TK_DEC; }
            return token = '-';
        case '+':
            advance();
            if (peekc() == '=') { advance(); return token = TK_PLUSEQ; }
            if (peekc() == '+') { advance(); return token = TK_INC; }
            return token = '+';
        default:
            if (isDigit(c)) return readNumber();
            if (isAlpha(c)) {
                const size_t start = pos_;
                while (isAlpha(peekc()) || isDigit(peekc())) advance();
                text.assign(src_.substr(start, pos_ - start));
                auto it = keywords().find(text);
                return token = (it == keywords().end() ? TK_IDENT : it->second);
            }
            if (c < 32 || c == 127) error("unexpected character(control)");
            advance();
            return token = c;  // no rule accepts it; the parser reports it
        }
    }
}

int Lexer::readNumber() {
    const size_t start = pos_;
    if (peekc() == '0' && (peekc(1) == 'x' || peekc(1) == 'X')) {
        advance(); advance();
        uint32_t v = 0;
        int digits = 0;
        while (isHex(peekc())) {
            if (++digits > 8) error("too many digits for an Hex number");
            v = v * 16 + static_cast<uint32_t>(hexVal(peekc()));
            advance();
        }
        intValue = static_cast<int32_t>(v);
        return token = TK_INT;
    }
    bool isFloat = false;
    bool exponent = false;
    while (isDigit(peekc()) || peekc() == '.') {
        if (peekc() == '.') isFloat = true;
        advance();
        if ((peekc() == 'e' || peekc() == 'E')) {
            if (!isFloat || exponent) error("invalid numeric format");
            exponent = true;
            advance();
            if (peekc() == '+' || peekc() == '-') advance();
            if (!isDigit(peekc())) error("exponent expected");
        }
    }
    const std::string num(src_.substr(start, pos_ - start));
    if (isFloat) {
        floatValue = static_cast<float>(std::strtod(num.c_str(), nullptr));
        return token = TK_FLOAT;
    }
    uint32_t v = 0;
    for (char ch : num) v = v * 10 + static_cast<uint32_t>(ch - '0');
    intValue = static_cast<int32_t>(v);
    return token = TK_INT;
}

int Lexer::escape() {
    advance();  // the backslash
    const int c = peekc();
    advance();
    switch (c) {
    case 't': return '\t';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'n': return '\n';
    case 'r': return '\r';
    case 'v': return '\v';
    case 'f': return '\f';
    case '0': return 0;
    case '\\': return '\\';
    case '"': return '"';
    case '\'': return '\'';
    case 'x': {
        if (!isHex(peekc())) error("hexadecimal number expected");
        int v = 0;
        for (int n = 0; n < 4 && isHex(peekc()); ++n) { v = v * 16 + hexVal(peekc()); advance(); }
        return v & 0xFF;
    }
    default: error("unrecognised escaper char");
    }
}

int Lexer::readString(int quote, bool verbatim) {
    text.clear();
    for (;;) {
        const int c = peekc();
        if (c == -1) error("unfinished string");
        if (c == '\n' && !verbatim) error("newline in a constant");
        if (c == quote) {
            advance();
            if (verbatim && peekc() == '"') { text += '"'; advance(); continue; }
            break;
        }
        if (c == '\\' && !verbatim) { text += static_cast<char>(escape()); continue; }
        text += static_cast<char>(c);
        advance();
    }
    if (quote == '\'') {
        if (text.empty()) error("empty constant");
        if (text.size() > 1) error("constant too long");
        intValue = static_cast<signed char>(text[0]);
        return token = TK_INT;
    }
    return token = TK_STRING;
}

}  // namespace sq
