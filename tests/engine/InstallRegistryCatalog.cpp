// Linked into every test program that compiles model text: as each program
// does at start, the compiler's module catalog is the engine's registry.
#include "ModuleRegistry.h"

namespace {

const bool installed = (setModuleCatalog(&registryModuleCatalog), true);

} // namespace
