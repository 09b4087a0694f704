#include "NetHost.h"

#include "LibraryHost.h"


namespace {

LibraryHost host;
NetDirectorySource circuitsDirectory = nullptr;

} // namespace

void setNetHostServices(const HostServices* services)
{
    host.attach(services);
}

const HostServices& netHostServices()
{
    return host.services();
}

void setNetCircuitsDirectorySource(NetDirectorySource source)
{
    circuitsDirectory = source;
}

const char* netCircuitsDirectory()
{
    const char* dir = circuitsDirectory ? circuitsDirectory() : nullptr;
    return dir ? dir : "";
}

void netDiagnostic(const char*)
{
}
