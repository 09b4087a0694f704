// kytident, the identification wizard: the framework's WinMain calls appMain.
#include "Application.h"
#include "RunIdentWizard.h"

void appMain(Application* application)
{
    runIdentWizard(application);
}
