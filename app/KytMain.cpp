// kyt, the block-diagram editor and simulator: the framework's WinMain calls
// appMain.
#include "Application.h"
#include "KytProgram.h"

void appMain(Application* application)
{
    KytProgram program(application, application->commandLine.text());
    application->exitCode = program.run();
}
