// The run-time library rows as the compiler sees them. Scanning a model
// text attaches the libraries (load), a library call is checked against the
// row of its name (lookup), and freeing the symbol tables frees the rows'
// list again (free). The engine implements it over its registry
// (registryModuleCatalog in ModuleRegistry.h); the program installs it once
// at start, beside the list of libraries it hands the registry, so that the
// compiler links no part of the engine.
#ifndef KYT_ENGINE_MODULECATALOG_H
#define KYT_ENGINE_MODULECATALOG_H

#include "ModuleDescriptor.h"

struct ModuleCatalog {
    // Attaches every library and files its rows: 0 on success; 1 after the
    // error box 22007 when a name is filed twice.
    int (*load)();
    // Frees the list of rows (the rows belong to the libraries).
    void (*free)();
    // The function or procedure row of that name, or null.
    const ModuleEntry* (*lookup)(const char* name);
};

// Installs the catalog the compiler calls; it must outlive every compile.
void setModuleCatalog(const ModuleCatalog* catalog);
// The catalog installed; compiling without one is a fault of the program
// (a fatal report).
const ModuleCatalog& moduleCatalog();

#endif
