#include "IdentLibrary.h"

#include "Assert.h"
#include "CheckedHeap.h"
#include "DiscreteToContinuous.h"
#include "IdentHost.h"
#include "ResString.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The handle bank: slot i holds handle i, a free slot holds null.
IdentHandle** bank = nullptr;
int bankCount = 0;
bool ddeClient = false;
IdentWindowSystem* windowSystem = nullptr;

void createBank()
{
    if (bank)
        return;
    bank = static_cast<IdentHandle**>(CheckedAlloc(sizeof(IdentHandle*)));
    bank[0] = nullptr;
    bankCount = 1;
}

int appendSlot()
{
    IdentHandle** grown = static_cast<IdentHandle**>(
        realloc(bank, sizeof(IdentHandle*) * static_cast<size_t>(bankCount + 1)));
    KYT_ASSERT_TEXT(grown != nullptr, "handlebank");
    bank = grown;
    bank[bankCount] = nullptr;
    return bankCount++;
}

// A whole number that fits an int comfortably.
bool isIntegral(double v)
{
    return std::isfinite(v) && v == std::trunc(v) && std::fabs(v) <= 1e9;
}

// Handles and integer arguments: the nearest whole number (floor(x + 0.5)).
// Truncating x + 0.5 toward zero, as it was once done, turned IDOPEN's
// failure value -1.0 into handle 0, another block's estimator.
int toInt(double v)
{
    double r = std::floor(v + 0.5);
    if (std::isnan(r))
        return -1;
    if (r <= INT_MIN)
        return INT_MIN;
    if (r >= INT_MAX)
        return INT_MAX;
    return static_cast<int>(r);
}

// The handle check of every operation that takes one: the open handle, or
// null after the message "%d ist kein gültiger Handle!".
IdentHandle* checkedHandle(double value, int* slotOut = nullptr)
{
    int slot = toInt(value);
    if (slot >= 0 && slot < bankCount && bank[slot]) {
        if (slotOut)
            *slotOut = slot;
        return bank[slot];
    }
    const HostServices& host = identHostServices();
    if (host.alwaysFalse(kIdentErrorKey) == 0)
        host.moduleMessage(1, getResString(kTextBadHandle), slot);
    host.isCompiling(kIdentErrorKey);
    host.requestErrorStop(0);
    return nullptr;
}

const IdentMethod& methodOf(const IdentHandle* h)
{
    return identMethods[h->estimator.method];
}

void freeHandle(int slot)
{
    IdentHandle* h = bank[slot];
    closeEstimator(&h->estimator);
    free(h);
    bank[slot] = nullptr;
}

// IDCLOSE of a slot: without a window the handle goes; with one it stays
// for the window, which the user may close once the run is over.
void closeSlot(int slot)
{
    IdentHandle* h = bank[slot];
    if (!h->window) {
        freeHandle(slot);
        return;
    }
    if (!h->window->isFrozen())
        h->window->endRun();
}

// Start hook and program end: handles without window go; windows go unless
// frozen ones may stay (their end closes the handle).
void closeSlotWithWindow(int slot, bool keepFrozen)
{
    IdentHandle* h = bank[slot];
    if (!h->window) {
        freeHandle(slot);
        return;
    }
    bool frozen = h->window->isFrozen();
    if (frozen && keepFrozen)
        return;
    if (!frozen)
        h->window->endRun();
    h->window->destroy();
    // A window that did not report its end leaves its handle behind.
    if (bank[slot] && bank[slot] == h && h->window) {
        h->window = nullptr;
        h->windowPresent = 0;
        freeHandle(slot);
    }
}

void showResult(IdentHandle* h)
{
    const VEC* theta = methodOf(h).getTheta(&h->estimator);
    const int nb = h->estimator.nb, na = h->estimator.na, d = h->estimator.d;
    if (h->outputMode == kZeroOrderHold || h->outputMode == kFirstOrderHold) {
        std::vector<double> c;
        if (convertToContinuous(h->outputMode, theta->ve, nb, na, h->tsamp, c))
            h->window->showContinuous(c.data(), static_cast<int>(c.size()), d * h->tsamp);
        else
            h->window->showContinuous(nullptr, 0, d * h->tsamp);
        return;
    }
    h->window->showDiscrete(theta->ve, static_cast<int>(theta->dim), nb, na, d);
}

ModuleEntry rows[] = {
    {"IDENT", MODULE_FUNCTION(identLoadHook), MODULE_LOAD_HOOK, nullptr},
    {"IDENT", MODULE_FUNCTION(identStartHook), MODULE_START_HOOK, nullptr},
    {"IDENT", MODULE_FUNCTION(identUnloadHook), MODULE_UNLOAD_HOOK, nullptr},
    {"IDOPEN", MODULE_FUNCTION(IDOPEN), MODULE_FUNCTION_ROW, "dddddd", MODULE_SIDE_EFFECTS},
    {"IDSETUP", MODULE_FUNCTION(IDSETUP), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {"IDCLOSE", MODULE_FUNCTION(IDCLOSE), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {"IDSTEP", MODULE_FUNCTION(IDSTEP), MODULE_FUNCTION_ROW, "dddd", MODULE_SIDE_EFFECTS},
    {"IDGET", MODULE_FUNCTION(IDGET), MODULE_FUNCTION_ROW, "ddd", MODULE_SIDE_EFFECTS},
    {"IDSET", MODULE_FUNCTION(IDSET), MODULE_PROCEDURE_ROW, "ddd", MODULE_SIDE_EFFECTS},
    {"IDWINOPEN", MODULE_FUNCTION(IDWINOPEN), MODULE_PROCEDURE_ROW, "ddss", MODULE_SIDE_EFFECTS},
    {"IDWINPUT", MODULE_FUNCTION(IDWINPUT), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {nullptr, nullptr, 0, nullptr}};

ModuleDescriptor descriptor = {0, 0, rows, "ID_OPEN"};

} // namespace

// --- Window placement and title ---------------------------------------------

IdentWindowPlacement identWindowPlacement(int handle, int na, int d, int screenWidth, int screenHeight)
{
    int n = (screenHeight - 25) / 140;
    if (n < 1)
        n = 1;
    const int column = handle / n;
    const int row = handle % n;
    IdentWindowPlacement p;
    p.top = (7 * row + column) * 20 + 25;
    p.width = 25 * (4 * na + 8) + (d != 0 ? 100 : 0);
    if (p.width > screenWidth)
        p.width = screenWidth;
    p.left = screenWidth - p.width + 20 * (column - 1);
    p.unitX = p.left / 2;
    p.unitY = p.top / 2;
    p.unitWidth = p.width / 2;
    p.unitHeight = 60;
    return p;
}

String identWindowTitle(const char* title, int handle, const char* methodName)
{
    char number[16];
    snprintf(number, sizeof number, "%d", handle);
    String t(title ? title : "");
    t += " ";
    t += number;
    t += " - ";
    t += methodName ? methodName : "";
    return t;
}

void setIdentWindowSystem(IdentWindowSystem* system)
{
    windowSystem = system;
}

// --- Registration and hooks ---------------------------------------------------

ModuleDescriptor* IdentModuleRegister(const HostServices* services)
{
    setIdentHostServices(services);
    return &descriptor;
}

int identLoadHook()
{
    createBank();
    if (!ddeClient && windowSystem) {
        windowSystem->createDdeClient();
        ddeClient = true;
    }
    return 0;
}

void identStartHook()
{
    for (int slot = 0; slot < bankCount; ++slot)
        if (bank[slot])
            closeSlotWithWindow(slot, true);
}

void identUnloadHook()
{
    for (int slot = 0; slot < bankCount; ++slot)
        if (bank[slot])
            closeSlot(slot);
}

void identCloseAll()
{
    for (int slot = 0; slot < bankCount; ++slot)
        if (bank[slot])
            closeSlotWithWindow(slot, false);
    if (ddeClient && windowSystem)
        windowSystem->deleteDdeClient();
    ddeClient = false;
    free(bank);
    bank = nullptr;
    bankCount = 0;
}

// --- Functions of the model language -----------------------------------------

double IDOPEN(double method, double num, double den, double tsamp, double dead)
{
    if (!isIntegral(method) || method < 0 || method >= kIdentMethodCount || method == 1 || method == 5) {
        identReportError("IDOPEN", kTextBadMethod);
        return -1.0;
    }
    // The orders and dead steps are bounded (kMaxIdentOrder, kMaxDeadSteps)
    // so that a huge one is refused instead of ending the program.
    if (!isIntegral(den) || den <= 0 || den > kMaxIdentOrder) {
        identReportError("IDOPEN", kTextBadDenominator);
        return -1.0;
    }
    if (!isIntegral(num) || num < 0 || num > den) {
        identReportError("IDOPEN", kTextBadNumerator);
        return -1.0;
    }
    if (!(tsamp > 0.0) || !std::isfinite(tsamp)) {
        identReportError("IDOPEN", kTextBadTsamp);
        return -1.0;
    }
    if (!isIntegral(dead) || dead < 0 || dead > kMaxDeadSteps) {
        identReportError("IDOPEN", kTextBadDeadTime);
        return -1.0;
    }

    IdentHandle* h = static_cast<IdentHandle*>(checkedCalloc(sizeof(IdentHandle)));
    // The defaults of the method table and a reset, so that IDSTEP works
    // even when the block never calls IDSET and IDSETUP.
    openEstimator(&h->estimator, toInt(method), toInt(num) + 1, toInt(den), toInt(dead));
    h->windowPresent = 0;
    h->window = nullptr;
    h->outputMode = 1;
    h->tsamp = tsamp;

    createBank();
    int slot = 0;
    while (slot < bankCount && bank[slot])
        ++slot;
    if (slot == bankCount)
        slot = appendSlot();
    bank[slot] = h;
    return slot;
}

void IDSETUP(double handle)
{
    IdentHandle* h = checkedHandle(handle);
    if (h)
        methodOf(h).reset(&h->estimator, 1);
}

void IDCLOSE(double handle)
{
    int slot = 0;
    if (checkedHandle(handle, &slot))
        closeSlot(slot);
}

double IDSTEP(double handle, double u, double y)
{
    IdentHandle* h = checkedHandle(handle);
    if (!h)
        return 0.0;
    return methodOf(h).step(&h->estimator, u, y);
}

double IDGET(double handle, double index)
{
    IdentHandle* h = checkedHandle(handle);
    if (!h)
        return 0.0;
    // Bounded by the vector itself: an IDSET of Filtergrad after IDSETUP
    // changes the parameter but not the vector's length.
    const VEC* theta = methodOf(h).getTheta(&h->estimator);
    if (!isIntegral(index) || index < 0 || index >= theta->dim) {
        identReportError("IDGET", kTextBadGetIndex);
        return 0.0;
    }
    return theta->ve[toInt(index)];
}

void IDSET(double handle, double index, double value)
{
    IdentHandle* h = checkedHandle(handle);
    if (!h)
        return;
    const IdentMethod& m = methodOf(h);
    if (!isIntegral(index) || index < 0 || index >= m.paramInfo(-1)) {
        identReportError("IDSET", kTextBadSetIndex);
        return;
    }
    int i = toInt(index);
    if (m.check(i, value, h->estimator.na))
        h->estimator.params[i] = value;
}

void IDWINOPEN(double handle, double mode, double title, double methodName)
{
    int slot = 0;
    IdentHandle* h = checkedHandle(handle, &slot);
    if (!h)
        return;
    if (!isIntegral(mode) || mode < 1 || mode > 3) {
        identReportError("IDWINOPEN", kTextBadWindowMode);
        return;
    }
    const HostServices& host = identHostServices();
    const char* titleText = host.stringConstant(toInt(title));
    if (!titleText)
        return;
    // Copied: the next stringConstant may reuse the text's memory.
    String titleCopy(titleText);
    const char* nameText = host.stringConstant(toInt(methodName));
    if (!nameText)
        return;
    if (!h->window && windowSystem) {
        int width = 0, height = 0;
        windowSystem->screenSize(&width, &height);
        IdentWindowPlacement p = identWindowPlacement(slot, h->estimator.na, h->estimator.d, width, height);
        String t = identWindowTitle(titleCopy.text(), slot, nameText);
        h->window = windowSystem->createResultWindow(slot, t.text(), p);
        h->windowPresent = h->window ? 1 : 0;
    }
    h->outputMode = toInt(mode);
    if (h->window)
        h->window->checkOutputMode(h->outputMode);
}

void IDWINPUT(double handle)
{
    IdentHandle* h = checkedHandle(handle);
    if (h && h->window)
        showResult(h);
}

// --- For the result window ------------------------------------------------------

const IdentHandle* identHandle(int slot)
{
    if (slot < 0 || slot >= bankCount)
        return nullptr;
    return bank[slot];
}

void identSetOutputMode(int slot, int mode)
{
    if (slot < 0 || slot >= bankCount || !bank[slot] || mode < 1 || mode > 3)
        return;
    bank[slot]->outputMode = mode;
}

void identWindowClosed(int slot)
{
    if (slot < 0 || slot >= bankCount || !bank[slot])
        return;
    IdentHandle* h = bank[slot];
    h->windowPresent = 0;
    h->window = nullptr;
    closeSlot(slot);
}

int identHandleCount()
{
    return bankCount;
}
