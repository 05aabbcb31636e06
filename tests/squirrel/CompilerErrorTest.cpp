// Compile errors: every bad source gives a message with line and column, never a crash.
#include <gtest/gtest.h>

#include "squirrel/Compiler.h"
#include "squirrel/Vm.h"

namespace sq {

namespace {

std::string compileError(const char* src, int* line = nullptr, int* column = nullptr) {
    Vm vm;
    try {
        Compile(vm, src, "t");
    } catch (const CompileError& e) {
        if (line) *line = e.line;
        if (column) *column = e.column;
        return e.message;
    }
    return "";
}

}  // namespace

TEST(CompilerErrors, LexicalMessages) {
    EXPECT_EQ(compileError("local s = \"abc"), "unfinished string");
    EXPECT_EQ(compileError("local s = \"ab\ncd\""), "newline in a constant");
    EXPECT_EQ(compileError("local s = \"\\q\""), "unrecognised escaper char");
    EXPECT_EQ(compileError("local c = ''"), "empty constant");
    EXPECT_EQ(compileError("local c = 'ab'"), "constant too long");
    EXPECT_EQ(compileError("local x = 1e5"), "invalid numeric format");
    EXPECT_EQ(compileError("local x = 1.5e"), "exponent expected");
    EXPECT_EQ(compileError("local x = 0x123456789"), "too many digits for an Hex number");
    EXPECT_EQ(compileError("/* open"), "missing \"*/\" in comment");
    EXPECT_EQ(compileError("a..b"), "invalid token '..'");
    EXPECT_EQ(compileError("local x = @a"), "string expected");
    EXPECT_EQ(compileError("\x0c"), "unexpected character(control)");
}

TEST(CompilerErrors, GrammarMessages) {
    EXPECT_EQ(compileError("local a = 1 local b = 2"), "end of statement expected (; or lf)");
    EXPECT_EQ(compileError("local a = 1\nlocal b = 2"), "");
    EXPECT_EQ(compileError("local v = 0; v <- 1"), "can't 'create' a local slot");
    EXPECT_EQ(compileError("f() = 1"), "can't assign expression");
    EXPECT_EQ(compileError("local n = 1; local g = function() : (n) { n = 3 }"), "free variables cannot be modified");
    EXPECT_EQ(compileError("local t = {}; t.parent = 1"), "parent cannot be set");
    EXPECT_EQ(compileError("local x; delete x"), "cannot delete a local");
    EXPECT_EQ(compileError("delete f()"), "can't delete an expression");
    EXPECT_EQ(compileError("break"), "'break' has to be in a loop block");
    EXPECT_EQ(compileError("continue"), "'continue' has to be in a loop block");
    EXPECT_EQ(compileError("f(1,)"), "expression expected, found ')'");
    EXPECT_EQ(compileError("x <- 1\n[1]"), "cannot brake deref/or comma needed after [exp]=exp slot declaration");
    EXPECT_EQ(compileError("local P; class P {}"), "cannot create a class in a local with the syntax(class <local>)");
    EXPECT_EQ(compileError("# comment"), "expression expected");
    EXPECT_EQ(compileError("class A { x = 1, y = 2 }"), "expected 'IDENTIFIER'");
    EXPECT_EQ(compileError("do x++; while (c)"), "expected 'while'");
    EXPECT_EQ(compileError("return 10.tostring()"), "end of statement expected (; or lf)");
}

TEST(CompilerErrors, ReportLineAndColumn) {
    int line = 0, column = 0;
    EXPECT_EQ(compileError("local a = 1\nlocal b = (2 +\n)", &line, &column), "expression expected");
    EXPECT_EQ(line, 3);
    EXPECT_EQ(column, 1);
}

TEST(CompilerErrors, OneLineFormsThatCompile) {
    EXPECT_EQ(compileError("if (c) x = 1 else x = 2"), "");
    EXPECT_EQ(compileError("local t = {a = 1} return t.a"), "");
    EXPECT_EQ(compileError("f(1 2)"), "");
    EXPECT_EQ(compileError("local a = [1, 2,]"), "");
    EXPECT_EQ(compileError("local t = { a = 1  b = 2 }"), "");
    EXPECT_EQ(compileError("do x++ while (c)"), "");
    EXPECT_EQ(compileError("return\n5"), "");
    EXPECT_EQ(compileError("local s = \"ab\\0cd\"; return 1\0 ]]]"), "");
}

}  // namespace sq
