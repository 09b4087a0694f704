#include "ModuleRegistry.h"

#include "HostServices.h"

#include "CheckedHeap.h"
#include "ErrorReporter.h"
#include "ResString.h"
#include "strings/EngineStrings.h"

#include <cstdlib>
#include <cstring>

namespace {

struct RegistryNode {
    const ModuleEntry* row;
    RegistryNode* next;
};

const int kListCount = 5;
RegistryNode* lists[kListCount] = {};

const ModuleRegisterFunction builtInLibraries[] = {
    BaseModuleRegister,
    FileModuleRegister,
    TableModuleRegister,
    nullptr,
};

const ModuleRegisterFunction* libraries = builtInLibraries;

RegistryNode* newNode(const ModuleEntry* row)
{
    RegistryNode* n = static_cast<RegistryNode*>(CheckedAlloc(sizeof(RegistryNode)));
    n->row = row;
    n->next = nullptr;
    return n;
}

void appendHook(ModuleList list, const ModuleEntry* row)
{
    RegistryNode** p = &lists[list];
    while (*p)
        p = &(*p)->next;
    *p = newNode(row);
}

// Inserts by name; 1 when the name is there already.
int insertFunction(const ModuleEntry* row)
{
    RegistryNode** p = &lists[MODULE_LIST_FUNCTIONS];
    while (*p) {
        int c = strcmp((*p)->row->name, row->name);
        if (c == 0)
            return 1;
        if (c > 0)
            break;
        p = &(*p)->next;
    }
    RegistryNode* n = newNode(row);
    n->next = *p;
    *p = n;
    return 0;
}

// Files one row; 1 after the message for a name filed twice.
int fileRow(const ModuleEntry* row)
{
    if (row->kind & MODULE_LOAD_HOOK)
        appendHook(MODULE_LIST_LOAD, row);
    if (row->kind & MODULE_START_HOOK)
        appendHook(MODULE_LIST_START, row);
    if (row->kind & MODULE_UNLOAD_HOOK)
        appendHook(MODULE_LIST_UNLOAD, row);
    if (row->kind & MODULE_FOURTH_HOOK)
        appendHook(MODULE_LIST_FOURTH, row);
    if ((row->kind & (MODULE_FUNCTION_ROW | MODULE_PROCEDURE_ROW)) && insertFunction(row)) {
        reportError(ERR_ERROR, getResString(kStrDuplicateLibraryCall), row->name);
        return 1;
    }
    return 0;
}

typedef int (*LoadHook)();
typedef void (*PlainHook)();

} // namespace

int ModuleRegistryLoad()
{
    // A registry left attached from an earlier run must not report every
    // row of it as a name filed twice.
    ModuleRegistryFree();
    HostServices services;
    fillHostServices(&services);
    for (const ModuleRegisterFunction* reg = libraries; *reg; ++reg) {
        ModuleDescriptor* descriptor = (*reg)(&services);
        if (!descriptor || !descriptor->entries)
            continue;
        for (const ModuleEntry* row = descriptor->entries; row->name; ++row)
            if (fileRow(row))
                return 1;
    }
    return 0;
}

void ModuleRegistryFree()
{
    for (RegistryNode*& head : lists) {
        while (head) {
            RegistryNode* next = head->next;
            free(head);
            head = next;
        }
    }
}

const ModuleEntry* ModuleRegistryLookup(const char* name)
{
    for (RegistryNode* n = lists[MODULE_LIST_FUNCTIONS]; n; n = n->next) {
        int c = strcmp(n->row->name, name);
        if (c == 0)
            return n->row;
        if (c > 0)
            break;
    }
    return nullptr;
}

int runLoadHooks()
{
    for (RegistryNode* n = lists[MODULE_LIST_LOAD]; n; n = n->next) {
        LoadHook hook = reinterpret_cast<LoadHook>(n->row->function);
        if (hook && hook())
            return 1;
    }
    return 0;
}

void runStartHooks()
{
    for (RegistryNode* n = lists[MODULE_LIST_START]; n; n = n->next)
        if (n->row->function)
            reinterpret_cast<PlainHook>(n->row->function)();
}

void runUnloadHooks()
{
    for (RegistryNode* n = lists[MODULE_LIST_UNLOAD]; n; n = n->next)
        if (n->row->function)
            reinterpret_cast<PlainHook>(n->row->function)();
}

const ModuleCatalog registryModuleCatalog = {ModuleRegistryLoad, ModuleRegistryFree, ModuleRegistryLookup};

void setModuleLibraryList(const ModuleRegisterFunction* list)
{
    libraries = list ? list : builtInLibraries;
}

const ModuleRegisterFunction* moduleLibraryList()
{
    return libraries;
}

int moduleListLength(ModuleList list)
{
    int count = 0;
    for (RegistryNode* n = lists[list]; n; n = n->next)
        ++count;
    return count;
}

const ModuleEntry* moduleListEntry(ModuleList list, int index)
{
    for (RegistryNode* n = lists[list]; n; n = n->next)
        if (index-- == 0)
            return n->row;
    return nullptr;
}
