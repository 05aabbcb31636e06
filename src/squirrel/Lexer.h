// Lexer: turns source bytes into tokens, remembering whether a line feed preceded each one.
#pragma once

#include <string>
#include <string_view>

namespace sq {

enum Tok : int {
    TK_EOS = 0,
    // single characters use their own code (< 256)
    TK_IDENT = 256, TK_STRING, TK_INT, TK_FLOAT,
    TK_EQ, TK_NE, TK_LE, TK_GE, TK_AND, TK_OR, TK_NEWSLOT, TK_PLUSEQ, TK_MINUSEQ, TK_MULEQ, TK_DIVEQ,
    TK_MODEQ, TK_INC, TK_DEC, TK_SHL, TK_SHR, TK_USHR, TK_DOUBLECOLON, TK_VARPARAMS,
    TK_ATTR_OPEN, TK_ATTR_CLOSE,
    // keywords
    TK_BREAK, TK_CASE, TK_CATCH, TK_CLASS, TK_CLONE, TK_CONSTRUCTOR, TK_CONTINUE, TK_DEFAULT,
    TK_DELEGATE, TK_DELETE, TK_DO, TK_ELSE, TK_EXTENDS, TK_FALSE, TK_FOR, TK_FOREACH, TK_FUNCTION,
    TK_IF, TK_IN, TK_INSTANCEOF, TK_LOCAL, TK_NULL, TK_PARENT, TK_RESUME, TK_RETURN, TK_STATIC,
    TK_SWITCH, TK_THIS, TK_THROW, TK_TRUE, TK_TRY, TK_TYPEOF, TK_VARGC, TK_VARGV, TK_WHILE, TK_YIELD,
};

struct CompileError {
    std::string message;
    int line;
    int column;
};

class Lexer {
public:
    explicit Lexer(std::string_view src);
    int next();  // advances; throws CompileError
    int token = TK_EOS;
    bool newlineBefore = false;  // a line feed separated this token from the previous one
    std::string text;            // identifier or string contents
    int32_t intValue = 0;
    float floatValue = 0;
    int line = 1;
    int column = 1;
    int tokenLine = 1;
    int tokenColumn = 1;
    [[noreturn]] void error(const std::string& msg) const;
    static std::string tokenName(int tok);

private:
    int peekc(size_t ahead = 0) const { return pos_ + ahead < src_.size() ? static_cast<unsigned char>(src_[pos_ + ahead]) : -1; }
    void advance();
    int readNumber();
    int readString(int quote, bool verbatim);
    int escape();
    std::string_view src_;
    size_t pos_ = 0;
};

}  // namespace sq
