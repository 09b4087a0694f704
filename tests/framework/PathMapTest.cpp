// Under wine: a DOS path with a drive letter, as file dialogs and kyt.ini give
// it, reaches the same file through the portable file layer as through Win32.
#include "FileLayer.h"
#include "WinServices.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int failures = 0;
int passes = 0;

void check(bool ok, const char* what)
{
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    ok ? ++passes : ++failures;
}

} // namespace

int main()
{
    installWindowsServices(GetModuleHandleA(nullptr));
    const char* dosPath = "C:\\kyt-pfad-test.txt";
    const char text[] = "Regelkreis\r\nzweite Zeile\r\n";

    HANDLE h = CreateFileA(dosPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    check(h != INVALID_HANDLE_VALUE && WriteFile(h, text, sizeof text - 1, &written, nullptr), "Win32 writes C:\\");
    CloseHandle(h);

    String unixPath = mapPath(dosPath);
    printf("mapped to %s\n", unixPath.text());
    check(unixPath.text()[0] == '/', "the DOS path maps to an absolute Unix path");

    FILE* f = openFile(dosPath, "r");
    check(f != nullptr, "the file layer opens the DOS path");
    String line;
    if (f) {
        check(readLine(f, line) && strcmp(line.text(), "Regelkreis") == 0, "text mode reads the first line without CR");
        check(readLine(f, line) && strcmp(line.text(), "zweite Zeile") == 0, "and the second");
        fclose(f);
    }
    check(strcmp(mapPath("/tmp/x").text(), "/tmp/x") == 0, "Unix paths pass unchanged");
    DeleteFileA(dosPath);

    printf("%d passed, %d failed\n", passes, failures);
    return failures ? 1 : 0;
}
