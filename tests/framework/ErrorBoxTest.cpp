// Under wine: a warning through reportError shows a real message box titled
// "Nachricht". The shared box watcher finds the box, reads its text and
// closes it, so the test never waits for a person.
#include "ErrorReporter.h"
#include "WinServices.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdio>
#include <string>

using winecheck::check;

int main()
{
    winecheck::startWatchdog(60);
    installWindowsServices(GetModuleHandleA(nullptr));
    DeleteFileA("ERROR.LOG");

    winecheck::BoxWatcher watcher("Nachricht");
    reportError(ERR_WARNING, "Die Datei %s fehlt (%d)", "Regelkreis.kyt", 42);

    check(watcher.found(), "box titled Nachricht shown");
    printf("box text: [%s]\n", watcher.text().c_str());
    check(watcher.text() == "Warnung: Die Datei Regelkreis.kyt fehlt (42)", "box text has the warning prefix");

    FILE* log = fopen("ERROR.LOG", "r");
    char line[400] = "";
    std::string all;
    if (log) {
        while (fgets(line, sizeof line, log))
            all += line;
        fclose(log);
    }
    check(all.find(" Warning: Die Datei Regelkreis.kyt fehlt (42)") != std::string::npos,
          "ERROR.LOG has the warning line");
    DeleteFileA("ERROR.LOG");
    return winecheck::summary();
}
