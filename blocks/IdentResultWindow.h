// The seam between the IDENT library and its result windows. The library
// decides when a window opens, what it shows and when it goes; the window
// program implements the two interfaces below (tests record them).
#ifndef KYT_BLOCKS_IDENTRESULTWINDOW_H
#define KYT_BLOCKS_IDENTRESULTWINDOW_H

#include "String.h"

// Where IDWINOPEN puts a result window: pixels, and the frame's origin and
// size in dialog units as the frame is created.
struct IdentWindowPlacement {
    int left;
    int top;
    int width;
    int unitX;       // left / 2
    int unitY;       // top / 2
    int unitWidth;   // width / 2
    int unitHeight;  // 60
};

// The windows of consecutive handles fill columns of (screen height - 25) /
// 140 rows (at least one) from the right edge of the screen, 20 pixels
// further right per column and 140 pixels lower per row; each is
// 25 * (4 * na + 8) pixels wide, 100 more when there are dead steps, at most
// the screen width.
IdentWindowPlacement identWindowPlacement(int handle, int na, int d, int screenWidth, int screenHeight);

// "<title> <handle> - <method name>".
String identWindowTitle(const char* title, int handle, const char* methodName);

// One result window, shown by IDWINOPEN for a handle.
class IdentResultWindow {
public:
    virtual ~IdentResultWindow() {}
    // Output mode 1 (G(z)), 2 (G(s), zero-order hold) or 3 (G(s),
    // first-order hold): checks the tool-bar button 185, 186 or 187.
    virtual void checkOutputMode(int mode) = 0;
    // Clears the text pane and writes G(z) from theta (a1 .. an, b_m .. b_0,
    // then any noise-filter coefficients; count elements in all) with
    // z^(-d).
    virtual void showDiscrete(const double* theta, int count, int nb, int na, int d) = 0;
    // Clears the text pane and writes G(s) from the converted coefficients
    // (2r + 1 of them, the conversion's layout) with exp(-s*deadTime); null
    // when the conversion failed: the pane stays empty.
    virtual void showContinuous(const double* coefficients, int count, double deadTime) = 0;
    // "&Ergebnis einfrieren" was chosen.
    virtual bool isFrozen() const = 0;
    // The run that owns the handle is over: the window enables 18305 and
    // 9038 in menu and tool bar and clears its running flag, so the user can
    // close it.
    virtual void endRun() = 0;
    // Closes the window. Its end calls identWindowClosed(handle) before this
    // returns; the object is gone afterwards.
    virtual void destroy() = 0;
};

// What the library needs of the program's windows.
class IdentWindowSystem {
public:
    virtual ~IdentWindowSystem() {}
    virtual void screenSize(int* width, int* height) = 0;
    // Creates a result window titled title at placement, as a child of the
    // main frame (WS_OVERLAPPEDWINDOW), and shows it; null on failure.
    virtual IdentResultWindow* createResultWindow(int handle, const char* title,
                                                  const IdentWindowPlacement& placement) = 0;
    // The program's single DDE client, which the windows use to hand a
    // result over; the library creates it at load and deletes it at the end.
    virtual void createDdeClient() = 0;
    virtual void deleteDdeClient() = 0;
};

// The window system in use; null (the default) opens no windows: IDWINOPEN
// then only stores the mode.
void setIdentWindowSystem(IdentWindowSystem* system);

#endif
