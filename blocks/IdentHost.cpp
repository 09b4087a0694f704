#include "IdentHost.h"

#include "LibraryHost.h"
#include "ResString.h"


const char* const kIdentErrorKey = "ID_OPEN";

namespace {

LibraryHost host;

} // namespace

void setIdentHostServices(const HostServices* services)
{
    host.attach(services);
}

const HostServices& identHostServices()
{
    return host.services();
}

void identReportError(const char* function, unsigned int textId)
{
    const HostServices& host = identHostServices();
    if (host.alwaysFalse(kIdentErrorKey) == 0)
        host.moduleMessage(1, "%s : %s", function, getResString(textId));
    host.isCompiling(kIdentErrorKey);
    host.requestErrorStop(0);
}
