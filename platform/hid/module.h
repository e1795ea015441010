// Loading the outside libraries the programs use by name.
//
// A library called "X.dll" on Windows is "libX.so" in the program's own
// folder here. dlopen searches the run path of the caller, never the
// executable's folder, so the program folder is tried first by absolute
// path, then the normal search path.
#pragma once

#include <string>

namespace platform {

using ModuleHandle = void*;

// `name` may be "Pallomar", "Pallomar.dll", "libPallomar.so" or a path with
// a '/'. Null when it cannot be loaded (moduleError() says why). A loaded
// module stays mapped until the process ends, even after freeModule: the
// handles and callbacks it gave out point into its code.
ModuleHandle loadModule(const std::string& name);
void* moduleSymbol(ModuleHandle module, const char* symbol);
void freeModule(ModuleHandle module);
// The loader's text for the last failure in this thread.
std::string moduleError();

}  // namespace platform
