// The framework's entry routine: it makes the application object, hands it to
// the program's main function and returns the exit code that the message
// loop (or the program) left in it. Linked only into programs that define
// appMain instead of their own WinMain or main.
#include "Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    Application* application = new Application(instance, previous, commandLine, showCommand);
    appMain(application);
    int exitCode = application->exitCode;
    application->shutdown();
    delete application;
    return exitCode;
}
