#include "CompilerTestSupport.h"

double testFunction()
{
    return 0;
}

namespace {

ModuleEntry testRows[] = {
    {"POW", MODULE_FUNCTION(testFunction), 0x301, "ddd"},
    {"SHOW", MODULE_FUNCTION(testFunction), MODULE_PROCEDURE_ROW, "s"},
    {"LEN", MODULE_FUNCTION(testFunction), MODULE_FUNCTION_ROW, "ds"},
    {"SQR", MODULE_FUNCTION(testFunction), 0x301, "dd"},
    {nullptr, nullptr, 0, nullptr},
};

ModuleDescriptor testDescriptor = {0, 0, testRows, "TEST"};

ModuleDescriptor* registerTestLibrary(const HostServices*)
{
    return &testDescriptor;
}

} // namespace

const ModuleRegisterFunction testLibraryList[] = {registerTestLibrary, nullptr};
