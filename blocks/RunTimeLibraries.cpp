#include "RunTimeLibraries.h"

#include "FuzzyModule.h"
#include "IdentLibrary.h"
#include "ModuleRegistry.h"

// NN is not among them: the registry never attached it.
const ModuleRegisterFunction kRunTimeLibraries[] = {
    BaseModuleRegister,
    FileModuleRegister,
    TableModuleRegister,
    FuzzyModuleRegister,
    IdentModuleRegister,
    nullptr,
};
