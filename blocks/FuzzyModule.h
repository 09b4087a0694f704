// The FUZZY run-time library: model-language programs load fuzzy blocks with
// FZINIT and drive them through handles (FZSETINPUT, FZSIMULATE,
// FZGETOUTPUT, FZEXIT). Its table of 100 block slots and the current kernel
// object are one object, which the DDE topic "Fuzzy" shares.
#ifndef KYT_BLOCKS_FUZZYMODULE_H
#define KYT_BLOCKS_FUZZYMODULE_H

#include "FuzzyKernel.h"
#include "ModuleDescriptor.h"

class FuzzyBlockTable {
public:
    static constexpr int kSlots = 100;

    FuzzyBlockTable();
    ~FuzzyBlockTable();

    // Stores the kernel, a copy of the file name and the path the block was
    // read from (the file name when none is given) in the first free slot
    // and returns its number; -1 when every slot is used (the kernel is then
    // left to the caller).
    int store(FuzzyKernel* kernel, const char* fileName, const char* path = nullptr);
    // The slot a handle addresses: the double cut toward zero. -1 for NaN,
    // for a handle outside -1 < h < 100 and for a free slot.
    int slotOf(double handle) const;
    FuzzyKernel* kernelAt(int slot) const;
    const char* fileNameAt(int slot) const;
    const char* pathAt(int slot) const;
    // Frees the kernel and the file name of a slot and clears it.
    void release(int slot);
    void releaseAll();
    int usedCount() const;

    // The kernel object being worked on; freeing a kernel clears it.
    FuzzyKernel* current() const { return currentKernel; }
    void setCurrent(FuzzyKernel* kernel) { currentKernel = kernel; }
    void freeKernel(FuzzyKernel* kernel);

private:
    FuzzyBlockTable(const FuzzyBlockTable&) = delete;
    FuzzyBlockTable& operator=(const FuzzyBlockTable&) = delete;

    struct Slot {
        char* fileName;
        char* path;
        FuzzyKernel* kernel;      // null: the slot is free
    };
    Slot slots[kSlots];
    FuzzyKernel* currentKernel;
};

// The program's one table.
FuzzyBlockTable& fuzzyBlockTable();

// Stores a read kernel in the first free slot; all slots used: the message
// "More than 100 Fuzzy-Blocks are in use !", the kernel is freed, result -1.
int FuzzyHandleAlloc(FuzzyKernel* kernel, const char* fileName, const char* path = nullptr);

// Keeps the host services the library needs and returns its descriptor.
ModuleDescriptor* FuzzyModuleRegister(const HostServices* services);

// The library's functions and hooks, as the interpreter calls them.
double FZINIT(double nameIndex);
void FZREINIT(double handle);
void FZEXIT(double handle);
void FZSETINPUT(double handle, double index, double value);
double FZGETOUTPUT(double handle, double index);
void FZSIMULATE(double handle);
int fuzzyLoadHook();
void fuzzyStartHook();
void fuzzyUnloadHook();

#endif
