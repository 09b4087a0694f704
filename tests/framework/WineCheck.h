// Small helpers of the framework's wine test programs: named checks that
// print ok or FAILED, and a watchdog that ends a program that hangs (a menu
// or box nobody closes), so that no test ever waits for a person.
#ifndef KYT_TESTS_FRAMEWORK_WINECHECK_H
#define KYT_TESTS_FRAMEWORK_WINECHECK_H

#include <windows.h>

#include <cstdio>
#include <map>

namespace winecheck {

inline int& failures()
{
    static int n = 0;
    return n;
}

inline int& passes()
{
    static int n = 0;
    return n;
}

inline void check(bool ok, const char* what)
{
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    if (ok)
        ++passes();
    else
        ++failures();
}

inline int summary()
{
    printf("%d passed, %d failed\n", passes(), failures());
    fflush(stdout);
    return failures() ? 1 : 0;
}

inline DWORD WINAPI watchdogThread(LPVOID seconds)
{
    Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(seconds)) * 1000);
    printf("FAILED: the program did not finish in time\n");
    fflush(stdout);
    ExitProcess(4);
}

inline void startWatchdog(unsigned seconds)
{
    HANDLE t = CreateThread(nullptr, 0, watchdogThread, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(seconds)),
                            0, nullptr);
    CloseHandle(t);
}

// Counts WM_DESTROY per window handle: a window destroyed with its parent
// counts as well as one destroyed on its own.
inline std::map<HWND, int>& destroyCounts()
{
    static std::map<HWND, int> counts;
    return counts;
}

inline LRESULT CALLBACK sentMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_DESTROY)
        ++destroyCounts()[sent->hwnd];
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

inline HHOOK watchDestroys()
{
    return SetWindowsHookExA(WH_CALLWNDPROC, sentMessageHook, nullptr, GetCurrentThreadId());
}

// Takes every message waiting for this thread (not WM_QUIT) and dispatches it.
inline void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace winecheck

#endif
