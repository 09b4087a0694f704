// The registry of run-time libraries: attaches the libraries, files their
// function and procedure rows in one list sorted by name and their hooks in
// one list per hook kind. The compiler checks calls against the rows, the
// loader binds PI-code calls to them, the simulator runs the hooks.
#ifndef KYT_ENGINE_MODULEREGISTRY_H
#define KYT_ENGINE_MODULEREGISTRY_H

#include "ModuleCatalog.h"
#include "ModuleDescriptor.h"

// Attaches every library of the list in order and files its rows; lists
// left from an earlier attach are emptied first. 0 on success; 1 after the
// error box 22007 when a function or procedure name is filed twice (the
// lists keep what was filed before it).
int ModuleRegistryLoad();
// Frees the nodes of all lists (the rows belong to the libraries).
void ModuleRegistryFree();
// The function or procedure row of that name, or null.
const ModuleEntry* ModuleRegistryLookup(const char* name);

// The three operations above as the compiler's catalog: what the programs
// install with setModuleCatalog.
extern const ModuleCatalog registryModuleCatalog;

// Runs the load hooks in attach order; stops at the first that fails and
// returns 1 then, else 0.
int runLoadHooks();
void runStartHooks();
void runUnloadHooks();

// The engine's own libraries, attached in this order.
ModuleDescriptor* BaseModuleRegister(const HostServices* services);
ModuleDescriptor* FileModuleRegister(const HostServices* services);
ModuleDescriptor* TableModuleRegister(const HostServices* services);

// The libraries attached by ModuleRegistryLoad: a null-terminated array that
// must outlive the registry's use of it. Null restores the engine's own list
// (BASE, FILE, TABLE); the programs hand in theirs with the libraries of
// blocks/ (kRunTimeLibraries), tests attach their own.
void setModuleLibraryList(const ModuleRegisterFunction* list);
const ModuleRegisterFunction* moduleLibraryList();

// Read access for listings and tests: the rows of one list in order.
enum ModuleList {
    MODULE_LIST_FUNCTIONS = 0,   // functions and procedures, sorted by name
    MODULE_LIST_LOAD = 1,
    MODULE_LIST_START = 2,
    MODULE_LIST_UNLOAD = 3,
    MODULE_LIST_FOURTH = 4
};
int moduleListLength(ModuleList list);
const ModuleEntry* moduleListEntry(ModuleList list, int index);

#endif
