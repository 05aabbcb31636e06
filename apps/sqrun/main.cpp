// sqrun FILE [ARGS]: runs a script with the standard library.
// Output goes to standard output; compile and run-time errors to standard error, exit status 1.
#include <cstdio>
#include <string>

#include "squirrel/Api.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sqrun FILE [ARGS]\n");
        return 2;
    }
    sq::Engine engine;
    engine.registerStandardLibrary();
    engine.setPrintHook([](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); });
    engine.setErrorHook([](std::string_view s) { std::fprintf(stderr, "%.*s\n", static_cast<int>(s.size()), s.data()); });
    sq::Vm& vm = engine.vm();
    sq::Array* args = vm.newArray();
    for (int i = 2; i < argc; ++i) args->items.push_back(vm.str(argv[i]));
    vm.root->set(vm.str("ARGS"), sq::Value::Object(sq::T::Array, args));

    const sq::Value main = engine.compileFile(argv[1]);
    if (main.t == sq::T::Null) {
        if (engine.lastError() == "cannot open the file") std::fprintf(stderr, "%s: cannot open the file\n", argv[1]);
        return 1;  // the error hook already printed file, line and column
    }
    if (!engine.call(main, sq::Value::Object(sq::T::Table, vm.root), {})) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s:%d: error: %s\n", engine.errorSource().empty() ? argv[1] : engine.errorSource().c_str(),
                     engine.errorLine(), engine.lastError().c_str());
        return 1;
    }
    std::fflush(stdout);
    return 0;
}
