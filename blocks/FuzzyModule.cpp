#include "FuzzyModule.h"

#include "FuzzyParser.h"

#include "BoundedText.h"
#include "FileLayer.h"
#include "String.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

FuzzyBlockTable::FuzzyBlockTable() : currentKernel(nullptr)
{
    for (Slot& s : slots)
        s = Slot{nullptr, nullptr, nullptr};
}

FuzzyBlockTable::~FuzzyBlockTable()
{
    releaseAll();
}

int FuzzyBlockTable::store(FuzzyKernel* kernel, const char* fileName, const char* path)
{
    for (int i = 0; i < kSlots; ++i)
        if (!slots[i].kernel) {
            slots[i].kernel = kernel;
            slots[i].fileName = fuzzyCopyText(fileName ? fileName : "");
            slots[i].path = fuzzyCopyText(path ? path : (fileName ? fileName : ""));
            return i;
        }
    return -1;
}

int FuzzyBlockTable::slotOf(double handle) const
{
    // Tested as a double first: cutting NaN or a huge value to int is undefined.
    if (std::isnan(handle) || !(handle > -1.0 && handle < kSlots))
        return -1;
    int slot = static_cast<int>(handle);
    return slots[slot].kernel ? slot : -1;
}

FuzzyKernel* FuzzyBlockTable::kernelAt(int slot) const
{
    return slot >= 0 && slot < kSlots ? slots[slot].kernel : nullptr;
}

const char* FuzzyBlockTable::fileNameAt(int slot) const
{
    return slot >= 0 && slot < kSlots ? slots[slot].fileName : nullptr;
}

const char* FuzzyBlockTable::pathAt(int slot) const
{
    return slot >= 0 && slot < kSlots ? slots[slot].path : nullptr;
}

void FuzzyBlockTable::release(int slot)
{
    if (slot < 0 || slot >= kSlots)
        return;
    freeKernel(slots[slot].kernel);
    free(slots[slot].fileName);
    free(slots[slot].path);
    slots[slot] = Slot{nullptr, nullptr, nullptr};
}

void FuzzyBlockTable::releaseAll()
{
    for (int i = 0; i < kSlots; ++i)
        release(i);
}

int FuzzyBlockTable::usedCount() const
{
    int n = 0;
    for (const Slot& s : slots)
        if (s.kernel)
            ++n;
    return n;
}

void FuzzyBlockTable::freeKernel(FuzzyKernel* kernel)
{
    if (!kernel)
        return;
    if (currentKernel == kernel)
        currentKernel = nullptr;
    freeFuzzyBlock(kernel);
}

FuzzyBlockTable& fuzzyBlockTable()
{
    static FuzzyBlockTable table;
    return table;
}

namespace {

const char kErrorKey[] = "FZ_HANDLE";

// The host services the library keeps from its registration.
struct FuzzyHost {
    int (*isCompiling)(const char*);
    int (*alwaysFalse)(const char*);
    int (*requestErrorStop)(int);
    void (*moduleMessage)(int, const char*, ...);
    const char* (*stringConstant)(int);
    const char* (*localLibraryDirectory)();
};
FuzzyHost host;

// Longest file name a message carries; the rest is cut.
const int kNameInMessage = 255;
// The host formats at most this many characters of a message.
const int kMessageRoom = 1024;

// The error pattern of every function: message (unless the host says
// otherwise), stop request, no effect.
void fail(const char* message)
{
    if (host.alwaysFalse && !host.alwaysFalse(kErrorKey)) {
        if (message && host.moduleMessage)
            host.moduleMessage(1, "%s", message);
        if (host.isCompiling)
            host.isCompiling(kErrorKey);
    }
    if (host.requestErrorStop)
        host.requestErrorStop(0);
}

void failBadHandle()
{
    fail("Unacceptable handle for fuzzy-block !");
}

// The kernel of a handle, made the current kernel object; null after the
// error for a bad handle.
FuzzyKernel* selectHandle(double handle, int* slotOut = nullptr)
{
    FuzzyBlockTable& table = fuzzyBlockTable();
    int slot = table.slotOf(handle);
    if (slot < 0) {
        failBadHandle();
        return nullptr;
    }
    FuzzyKernel* k = table.kernelAt(slot);
    table.setCurrent(k);
    if (slotOut)
        *slotOut = slot;
    return k;
}

ModuleEntry rows[] = {
    {"FUZZY", MODULE_FUNCTION(fuzzyLoadHook), MODULE_LOAD_HOOK, nullptr},
    {"FUZZY", MODULE_FUNCTION(fuzzyStartHook), MODULE_START_HOOK, nullptr},
    {"FUZZY", MODULE_FUNCTION(fuzzyUnloadHook), MODULE_UNLOAD_HOOK, nullptr},
    {"FZINIT", MODULE_FUNCTION(FZINIT), MODULE_FUNCTION_ROW, "ds", MODULE_SIDE_EFFECTS},
    {"FZREINIT", MODULE_FUNCTION(FZREINIT), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {"FZEXIT", MODULE_FUNCTION(FZEXIT), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {"FZSETINPUT", MODULE_FUNCTION(FZSETINPUT), MODULE_PROCEDURE_ROW, "ddd", MODULE_SIDE_EFFECTS},
    {"FZGETOUTPUT", MODULE_FUNCTION(FZGETOUTPUT), MODULE_FUNCTION_ROW, "ddd", MODULE_SIDE_EFFECTS},
    {"FZSIMULATE", MODULE_FUNCTION(FZSIMULATE), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {nullptr, nullptr, 0, nullptr}};

ModuleDescriptor descriptor = {0, 0, rows, kErrorKey};

} // namespace

ModuleDescriptor* FuzzyModuleRegister(const HostServices* services)
{
    if (services) {
        host.isCompiling = services->isCompiling;
        host.alwaysFalse = services->alwaysFalse;
        host.requestErrorStop = services->requestErrorStop;
        host.moduleMessage = services->moduleMessage;
        host.stringConstant = services->stringConstant;
        host.localLibraryDirectory = services->localLibraryDirectory;
    }
    return &descriptor;
}

int FuzzyHandleAlloc(FuzzyKernel* kernel, const char* fileName, const char* path)
{
    FuzzyBlockTable& table = fuzzyBlockTable();
    int slot = table.store(kernel, fileName, path);
    if (slot < 0) {
        table.freeKernel(kernel);
        fail("More than 100 Fuzzy-Blocks are in use !");
    }
    return slot;
}

double FZINIT(double nameIndex)
{
    int index;
    if (!fuzzyCutToInt(nameIndex, &index))
        index = -1;
    // The host reports a bad index itself and stops the run.
    const char* constant = host.stringConstant ? host.stringConstant(index) : nullptr;
    if (!constant)
        return 0.0;
    String name(constant);
    const char* dir = host.localLibraryDirectory ? host.localLibraryDirectory() : "";
    if (!dir || !*dir) {
        // The host has shown why already.
        fail(nullptr);
        return 0.0;
    }
    String path = joinPath(dir, name.text());

    FuzzyReadResult result;
    String detail;
    FuzzyKernel* kernel = readFuzzyBlockFile(path.text(), kFuzzyCheckTexts, &result, &detail);
    char message[kMessageRoom];
    message[0] = 0;
    switch (result) {
    case FZ_READ_OK:
        break;
    case FZ_READ_CANNOT_OPEN:
        formatBounded(message, sizeof message, "Unable to open \"%.*s\" !", kNameInMessage, name.text());
        break;
    case FZ_READ_NO_MEMORY:
        formatBounded(message, sizeof message, "Fuzzy-Kernel: Memory-allocation failed!");
        break;
    case FZ_READ_SYNTAX:
        formatBounded(message, sizeof message, "Fuzzy-Grammar: %s", detail.text());
        break;
    case FZ_READ_AMBIGUOUS:
        // The kernel's findings follow, so that the user sees which names clash.
        formatBounded(message, sizeof message,
                      "Fuzzy-Compiler: File %.*s was ambiguous !\nUse Fuzzy-Editor for elimination of ambiguity!\n%s",
                      kNameInMessage, name.text(), detail.text());
        break;
    case FZ_READ_DAMAGED:
        formatBounded(message, sizeof message,
                      "Fuzzy-Compiler: File %.*s is damaged !\nUse Fuzzy-Editor to eliminate errors.\n%s",
                      kNameInMessage, name.text(), detail.text());
        break;
    }
    if (!kernel) {
        fail(message);
        return 0.0;
    }
    fuzzyBlockTable().setCurrent(kernel);
    int slot = FuzzyHandleAlloc(kernel, name.text(), path.text());
    return slot < 0 ? 0.0 : static_cast<double>(slot);
}

void FZREINIT(double)
{
}

void FZEXIT(double handle)
{
    int slot;
    if (selectHandle(handle, &slot))
        fuzzyBlockTable().release(slot);
}

void FZSETINPUT(double handle, double index, double value)
{
    if (FuzzyKernel* k = selectHandle(handle))
        setFuzzyInputAt(k, index, value);
}

double FZGETOUTPUT(double handle, double index)
{
    FuzzyKernel* k = selectHandle(handle);
    return k ? getFuzzyOutputAt(k, index) : 0.0;
}

void FZSIMULATE(double handle)
{
    if (FuzzyKernel* k = selectHandle(handle))
        SimulateStep(k);
}

int fuzzyLoadHook()
{
    // Blocks left by an earlier program are freed, not only forgotten.
    fuzzyBlockTable().releaseAll();
    return 0;
}

void fuzzyStartHook()
{
}

void fuzzyUnloadHook()
{
    fuzzyBlockTable().releaseAll();
}
