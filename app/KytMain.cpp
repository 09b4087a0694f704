// kyt, the block-diagram editor and simulator: the framework's WinMain calls
// appMain.
#include "Application.h"
#include "KytProgram.h"

#include "ModuleRegistry.h"
#include "RunTimeLibraries.h"

void appMain(Application* application)
{
    setModuleLibraryList(kRunTimeLibraries);
    setModuleCatalog(&registryModuleCatalog);
    KytProgram program(application, application->commandLine.text());
    application->exitCode = program.run();
}
