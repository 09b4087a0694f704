#include "WinServices.h"

#include "ErrorReporter.h"
#include "ResourceId.h"

namespace {

HINSTANCE appInstance = nullptr;
HWND reportOwner = nullptr;

class MessageBoxSink : public ErrorSink {
public:
    void beep() override { MessageBeep(0); }
    void showBox(const char* text, const char* title) override
    {
        // OK button with the exclamation icon.
        MessageBoxA(reportOwner, text, title, MB_OK | MB_ICONEXCLAMATION);
    }
    [[noreturn]] void endProcess(int exitCode) override
    {
        ExitProcess(static_cast<UINT>(exitCode));
    }
};

MessageBoxSink messageBoxSink;

// The module is the application's, replaced by the identifier's library file
// when that loads, replaced again by the identifier's own module handle.
int loadFromModule(const ResourceId& rid, char* buf, int maxLen)
{
    HINSTANCE module = appInstance ? appInstance : GetModuleHandleA(nullptr);
    HMODULE loaded = nullptr;
    if (rid.libraryFile && !rid.module) {
        loaded = LoadLibraryA(rid.libraryFile);
        // Handles below 32 are failures in the old convention.
        if (reinterpret_cast<UINT_PTR>(loaded) >= 32)
            module = loaded;
        else
            loaded = nullptr;
    }
    if (rid.module)
        module = static_cast<HINSTANCE>(rid.module);
    int n = LoadStringA(module, rid.id & 0xFFFFu, buf, maxLen + 1);
    if (loaded)
        FreeLibrary(loaded);
    return n;
}

} // namespace

void installWindowsServices(HINSTANCE instance)
{
    appInstance = instance;
    setErrorSink(&messageBoxSink);
    setResourceStringLoader(loadFromModule);
}

void setReportOwnerWindow(HWND owner)
{
    reportOwner = owner;
}

HWND getReportOwnerWindow()
{
    return reportOwner;
}

HINSTANCE getApplicationInstance()
{
    return appInstance;
}
