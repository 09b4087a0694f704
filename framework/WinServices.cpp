#include "WinServices.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "Profile.h"
#include "ResourceId.h"

#include <cstring>

// Exported by Wine's kernel32: the Unix path of a DOS path, allocated on the
// process heap.
extern "C" char* CDECL wine_get_unix_file_name(LPCWSTR dosPath);

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

// File dialogs and kyt.ini give DOS paths ("C:\KYT\lib\ablocks.bfl"); the
// portable file layer opens Unix paths. Wine knows the drive mapping.
String wineUnixPath(const char* path)
{
    if (path[0] == '/')
        return String(path);
    int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n > 0) {
        WCHAR* wide = static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, sizeof(WCHAR) * static_cast<size_t>(n)));
        if (wide && MultiByteToWideChar(CP_ACP, 0, path, -1, wide, n) > 0) {
            char* unixPath = wine_get_unix_file_name(wide);
            HeapFree(GetProcessHeap(), 0, wide);
            if (unixPath) {
                String result(unixPath);
                HeapFree(GetProcessHeap(), 0, unixPath);
                return result;
            }
        } else if (wide) {
            HeapFree(GetProcessHeap(), 0, wide);
        }
    }
    // No mapping: keep the name, with Unix separators.
    String result(path);
    for (char* c = result.getBuffer(); *c; ++c)
        if (*c == '\\')
            *c = '/';
    return result;
}

// WIN.INI as the profile calls read it ([windows], [devices], [intl]).
class WinIniProfile : public ProfileSource {
public:
    std::string readString(const char* section, const char* key, const char* fallback, size_t maxLength) override
    {
        std::string buffer(maxLength + 1, '\0');
        DWORD n = GetProfileStringA(section, key, fallback ? fallback : "", &buffer[0],
                                    static_cast<DWORD>(buffer.size()));
        buffer.resize(n < buffer.size() ? n : maxLength);
        return buffer;
    }
    std::string readKeys(const char* section, size_t maxLength) override
    {
        if (maxLength < 2)
            return std::string(maxLength, '\0');
        std::string buffer(maxLength, '\0');
        DWORD n = GetProfileStringA(section, nullptr, "", &buffer[0], static_cast<DWORD>(buffer.size()));
        // The list ends in a second terminator; a cut list keeps one too.
        size_t used = n + 1 < maxLength ? n + 1 : maxLength;
        buffer.resize(used);
        if (buffer.size() < 2 || buffer[buffer.size() - 1] != '\0' || buffer[buffer.size() - 2] != '\0') {
            if (buffer.size() == maxLength)
                buffer[maxLength - 1] = '\0';
            else
                buffer += '\0';
        }
        return buffer;
    }
};

WinIniProfile winIniProfile;

} // namespace

void installWindowsServices(HINSTANCE instance)
{
    appInstance = instance;
    setErrorSink(&messageBoxSink);
    setResourceStringLoader(loadFromModule);
    setPathMapper(wineUnixPath);
    setProfileSource(&winIniProfile);
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
