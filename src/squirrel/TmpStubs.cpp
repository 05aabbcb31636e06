#include "squirrel/Vm.h"
namespace sq { void RegisterRegexp(Vm&) {} void RegisterBlobLibrary(Vm&) {} void RegisterIoLibrary(Vm&) {} }
