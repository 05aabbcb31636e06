// Compiler: one pass from tokens to stack-machine bytecode (no syntax tree).
#pragma once

#include <string_view>

#include "squirrel/Lexer.h"
#include "squirrel/Proto.h"

namespace sq {

class Vm;

// Compiles a whole script into its main function. Throws CompileError (message, line, column).
Proto* Compile(Vm& vm, std::string_view source, std::string_view sourceName);

}  // namespace sq
