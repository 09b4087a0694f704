#include "ModuleCatalog.h"

#include "Assert.h"

namespace {
const ModuleCatalog* installed = nullptr;
}

void setModuleCatalog(const ModuleCatalog* catalog)
{
    installed = catalog;
}

const ModuleCatalog& moduleCatalog()
{
    KYT_ASSERT_TEXT(installed, "module catalog installed");
    return *installed;
}
