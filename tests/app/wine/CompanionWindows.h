// The windows and message boxes of the companion programs (kytfuzzy,
// kytident) that a wine test started itself, directly or through kyt in its
// own process: found by class and title, and the boxes answered by caption.
// Other wine tests show their windows on the same display at the same time;
// only windows of this process's children count.
#ifndef KYT_TESTS_APP_COMPANIONWINDOWS_H
#define KYT_TESTS_APP_COMPANIONWINDOWS_H

#include "Application.h"
#include "WineCheck.h"

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace companions {

using winecheck::windowText;

// A window of a program this test started: other wine tests may show
// their windows and boxes on the same display at the same time.
inline bool foreign(HWND hwnd)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId())
        return false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool ours = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !ours; more = Process32Next(snapshot, &entry))
        ours = entry.th32ProcessID == process && entry.th32ParentProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return ours;
}

struct WindowSearch {
    std::string className;
    std::string titlePrefix;
    HWND found;
};

inline BOOL CALLBACK matchForeign(HWND hwnd, LPARAM p)
{
    WindowSearch* s = reinterpret_cast<WindowSearch*>(p);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (!foreign(hwnd) || !IsWindowVisible(hwnd))
        return TRUE;
    if (!s->className.empty() && s->className != cls)
        return TRUE;
    if (windowText(hwnd).compare(0, s->titlePrefix.size(), s->titlePrefix) != 0)
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

// A visible top-level window of another process, waited for.
inline HWND waitForForeign(const std::string& className, const std::string& titlePrefix, Application* app)
{
    for (int i = 0; i < 400; ++i) {
        WindowSearch s = {className, titlePrefix, nullptr};
        EnumWindows(matchForeign, reinterpret_cast<LPARAM>(&s));
        if (s.found)
            return s.found;
        winecheck::pump();
        app->runIdleTasks();
        Sleep(25);
    }
    return nullptr;
}

// Answers every message box of the companions: the button given for its
// caption, else OK; keeps caption and text of each.
class ForeignBoxes {
public:
    ForeignBoxes() { thread = CreateThread(nullptr, 0, run, this, 0, nullptr); }
    ~ForeignBoxes()
    {
        stop = true;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    void answer(const std::string& caption, int button)
    {
        std::lock_guard<std::mutex> lock(mutex);
        buttons[caption] = button;
    }
    std::vector<std::string> seen()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return boxes;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        boxes.clear();
    }

private:
    static BOOL CALLBACK collect(HWND child, LPARAM p)
    {
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && !windowText(child).empty())
            *reinterpret_cast<std::string*>(p) = windowText(child);
        return TRUE;
    }
    static BOOL CALLBACK visit(HWND hwnd, LPARAM p)
    {
        ForeignBoxes* self = reinterpret_cast<ForeignBoxes*>(p);
        char cls[32] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        if (strcmp(cls, "#32770") != 0 || !foreign(hwnd) || !IsWindowVisible(hwnd))
            return TRUE;
        std::string text;
        Sleep(150);
        EnumChildWindows(hwnd, collect, reinterpret_cast<LPARAM>(&text));
        const std::string caption = windowText(hwnd);
        int button = IDOK;
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->boxes.push_back(caption + ": " + text);
            auto it = self->buttons.find(caption);
            if (it != self->buttons.end())
                button = it->second;
        }
        PostMessageA(hwnd, WM_COMMAND, static_cast<WPARAM>(button), 0);
        // Gone before the next look: a later box may get the same handle.
        for (int i = 0; i < 60 && IsWindow(hwnd) && IsWindowVisible(hwnd); ++i)
            Sleep(50);
        return TRUE;
    }
    static DWORD WINAPI run(LPVOID p)
    {
        ForeignBoxes* self = static_cast<ForeignBoxes*>(p);
        while (!self->stop) {
            EnumWindows(visit, reinterpret_cast<LPARAM>(p));
            Sleep(100);
        }
        return 0;
    }

    std::atomic<bool> stop{false};
    HANDLE thread;
    std::mutex mutex;
    std::map<std::string, int> buttons;
    std::vector<std::string> boxes;
};

inline bool anySeen(ForeignBoxes& boxes, const std::string& piece)
{
    for (const std::string& b : boxes.seen())
        if (b.find(piece) != std::string::npos)
            return true;
    return false;
}

} // namespace companions

#endif
