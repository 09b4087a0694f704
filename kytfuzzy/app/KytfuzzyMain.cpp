// kytfuzzy, the fuzzy-block editor: the framework's WinMain calls appMain.
#include "Application.h"
#include "RunApplication.h"

void appMain(Application* application)
{
    runApplication(application);
}
