// The FILE library. Its rows come with the library itself; until then it
// is attached with none.
#include "ModuleDescriptor.h"

namespace {

ModuleEntry rows[] = {
    {nullptr, nullptr, 0, nullptr},
};

ModuleDescriptor descriptor = {0, 0, rows, "FILE"};

} // namespace

ModuleDescriptor* FileModuleRegister(const HostServices*)
{
    return &descriptor;
}
