// Under wine: a warning through reportError shows a real message box titled
// "Nachricht". A watcher thread finds the box, reads its text and closes it,
// so the test never waits for a person.
#include "ErrorReporter.h"
#include "WinServices.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Seen {
    bool found = false;
    std::string text;
    LONG style = 0;
};

Seen seen;

BOOL CALLBACK collectStatic(HWND child, LPARAM)
{
    char cls[32];
    char text[1100];
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
        seen.text = text;
    return TRUE;
}

DWORD WINAPI watcher(LPVOID)
{
    for (int i = 0; i < 300; ++i) {
        HWND box = FindWindowA("#32770", "Nachricht");
        if (box) {
            Sleep(200);
            EnumChildWindows(box, collectStatic, 0);
            seen.found = true;
            if (getenv("KYT_SCREENSHOT_PAUSE"))
                Sleep(3000);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(100);
    }
    // Never leave a test waiting on a box nobody closes.
    fprintf(stdout, "no box titled \"Nachricht\" appeared\n");
    fflush(stdout);
    ExitProcess(3);
}

int failures = 0;

void check(bool ok, const char* what)
{
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok)
        ++failures;
}

} // namespace

int main()
{
    installWindowsServices(GetModuleHandleA(nullptr));
    DeleteFileA("ERROR.LOG");

    HANDLE t = CreateThread(nullptr, 0, watcher, nullptr, 0, nullptr);
    reportError(ERR_WARNING, "Die Datei %s fehlt (%d)", "Regelkreis.kyt", 42);
    WaitForSingleObject(t, 10000);
    CloseHandle(t);

    check(seen.found, "box titled Nachricht shown");
    printf("box text: [%s]\n", seen.text.c_str());
    check(seen.text == "Warnung: Die Datei Regelkreis.kyt fehlt (42)", "box text has the warning prefix");

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

    printf("%d passed, %d failed\n", 3 - failures, failures);
    return failures ? 1 : 0;
}
