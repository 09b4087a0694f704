// The IDENT run-time library: a model-language block opens an
// identification object with a method number and model orders, sets the
// method parameters, feeds one input/output sample pair per sampling instant,
// reads the estimated coefficients back and may open a result window that
// shows the current transfer function.
//
// Handles travel as doubles and are rounded to the nearest slot of the
// handle bank (floor(x + 0.5)), so that IDOPEN's failure value -1.0 never
// reaches slot 0. Every argument error is reported through the host's
// moduleMessage at level 1 as "%s : %s" (function name, text) and stops the
// run; the failing call returns -1.0 (IDOPEN) or 0.0 or does nothing.
#ifndef KYT_BLOCKS_IDENTLIBRARY_H
#define KYT_BLOCKS_IDENTLIBRARY_H

#include "Estimators.h"
#include "IdentResultWindow.h"
#include "ModuleDescriptor.h"
#include "strings/IdentStrings.h"

// Texts of the library.
const unsigned int kTextBadMethod = kStrIdentBadMethod;
const unsigned int kTextBadNumerator = kStrIdentBadNumeratorOrder;
const unsigned int kTextBadDenominator = kStrIdentBadDenominatorOrder;
const unsigned int kTextBadTsamp = kStrIdentBadSampleTime;
const unsigned int kTextBadDeadTime = kStrIdentBadDeadTime;
const unsigned int kTextBadSetIndex = kStrIdentBadIndex;
const unsigned int kTextBadGetIndex = kStrIdentBadIndex2;
const unsigned int kTextBadHandle = kStrIdentBadHandle;
const unsigned int kTextBadWindowMode = kStrIdentBadWindowMode;

// One open identification object.
struct IdentHandle {
    EstimatorRecord estimator;   // method, nb, na, d, parameters, state
    int windowPresent;           // a result window exists
    IdentResultWindow* window;   // or null
    int outputMode;              // 1-3, from IDWINOPEN and the window
    double tsamp;
};

// Keeps the host services the library needs and returns its descriptor
// {0, 0, rows, "ID_OPEN"}.
ModuleDescriptor* IdentModuleRegister(const HostServices* services);

// The library's functions, procedures and hooks, as the interpreter calls them.
double IDOPEN(double method, double num, double den, double tsamp, double dead);
void IDSETUP(double handle);
void IDCLOSE(double handle);
double IDSTEP(double handle, double u, double y);
double IDGET(double handle, double index);
void IDSET(double handle, double index, double value);
void IDWINOPEN(double handle, double mode, double title, double methodName);
void IDWINPUT(double handle);
int identLoadHook();
void identStartHook();
void identUnloadHook();

// Program end: closes every handle and deletes every window, frozen or not,
// then the DDE client and the bank.
void identCloseAll();

// For the result window: the open handle in a slot (null when the slot is
// empty or out of range); a new output mode from its display commands (the
// window checks its button and rebuilds with IDWINPUT itself); the report
// of its end (the handle is then closed as IDCLOSE does, which frees it).
const IdentHandle* identHandle(int slot);
void identSetOutputMode(int slot, int mode);
void identWindowClosed(int slot);

// Number of slots of the handle bank (0 when there is none).
int identHandleCount();

#endif
