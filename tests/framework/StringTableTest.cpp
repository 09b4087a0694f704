// Under wine: the program's resource string table and the table compiled
// into the portable core hold the same Windows-1252 bytes for every id, and
// getResString gives them through LoadStringA once the Windows services are
// installed.
#include "ResString.h"
#include "WinServices.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int failures = 0;

void check(bool ok, const char* what)
{
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok)
        ++failures;
}

void printBytes(const char* label, const char* s)
{
    printf("  %s:", label);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p)
        printf(" %02X", *p);
    printf("\n");
}

} // namespace

int main()
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    printf("ANSI code page %u\n", GetACP());

    unsigned int n = compiledStringCount();
    unsigned int differing = 0;
    unsigned int nonAscii = 0;
    for (unsigned int i = 0; i < n; ++i) {
        unsigned int id = 0;
        const char* native = compiledStringAt(i, &id);
        char loaded[kMaxResString + 2];
        int len = LoadStringA(self, id, loaded, sizeof loaded);
        if (len < 0)
            len = 0;
        loaded[len] = 0;
        for (const char* p = native; *p; ++p)
            if (static_cast<unsigned char>(*p) >= 0x80) {
                ++nonAscii;
                break;
            }
        if (static_cast<size_t>(len) != strlen(native) || memcmp(loaded, native, static_cast<size_t>(len)) != 0) {
            ++differing;
            printf("id %u differs\n", id);
            printBytes("native", native);
            printBytes("LoadStringA", loaded);
        }
    }
    printf("%u ids compared, %u with bytes above 127\n", n, nonAscii);
    check(n > 0, "the compiled table has rows");
    check(nonAscii > 0, "umlauts are among the compared texts");
    check(differing == 0, "every id gives the same bytes natively and through LoadStringA");

    // An id that neither table holds.
    char none[8] = "x";
    check(LoadStringA(self, 65000, none, sizeof none) == 0 && lookupCompiledString(65000) == nullptr,
          "an unknown id is in neither table");

    // getResString through the Windows loader.
    installWindowsServices(self);
    freeResStringCache();
    const char* a = getResString(19400);
    check(a == getResString(19400), "the same id gives the same pointer");
    check(strcmp(a, lookupCompiledString(19400)) == 0, "getResString reads the resource table");
    check(strcmp(getResString(65000), "") == 0, "an unknown id gives an empty text");
    freeResStringCache();

    printf("%s\n", failures ? "FAILED" : "passed");
    return failures ? 1 : 0;
}
