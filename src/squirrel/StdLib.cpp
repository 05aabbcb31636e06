// Registers the standard modules into the root table.
#include "squirrel/Api.h"

namespace sq {

void RegisterMathLibrary(Vm& vm);
void RegisterSystemLibrary(Vm& vm);
void RegisterStringLibrary(Vm& vm);
void RegisterBlobLibrary(Vm& vm);
void RegisterIoLibrary(Vm& vm);

void RegisterStandardLibrary(Vm& vm) {
    RegisterBlobLibrary(vm);
    RegisterIoLibrary(vm);
    RegisterMathLibrary(vm);
    RegisterStringLibrary(vm);
    RegisterSystemLibrary(vm);
}

}  // namespace sq
