// What a run-time library and the simulator hand each other: the library's
// rows of functions, procedures and hooks, and the table of host services
// that the library receives when it is attached.
//
// A library is written as
//
//     static const HostServices* host;   // or copies of the entries it needs
//     static ModuleEntry rows[] = {
//         {"BASE", MODULE_FUNCTION(baseLoad), MODULE_LOAD_HOOK, nullptr},
//         {"SQR", MODULE_FUNCTION(sqrFunction), 0x301, "dd", MODULE_FREE},
//         {nullptr, nullptr, 0, nullptr}};
//     static ModuleDescriptor descriptor = {0, 0, rows, "BASE"};
//     ModuleDescriptor* BaseModuleRegister(const HostServices* services)
//     { ...copy what is needed...; return &descriptor; }
//
// The services table lives only during the registration call: copy the
// entries, never keep the pointer.
#ifndef KYT_ENGINE_MODULEDESCRIPTOR_H
#define KYT_ENGINE_MODULEDESCRIPTOR_H

// Kind bits of a row. Other bits (BASE marks its mathematical functions
// 0x301) are carried along and not looked at.
enum ModuleKind {
    MODULE_FUNCTION_ROW = 1,   // returns a double
    MODULE_PROCEDURE_ROW = 2,  // returns nothing
    MODULE_LOAD_HOOK = 4,      // int hook(void): non-zero = the load fails
    MODULE_START_HOOK = 8,     // void hook(void): set-up of a new run
    MODULE_UNLOAD_HOOK = 16,   // void hook(void): the PI program is unloaded
    MODULE_FOURTH_HOOK = 32    // filed, never run
};

// Whether a function or procedure row may be run again, or left out, at the
// same arguments without anyone noticing: a free row draws no random
// numbers, reads or writes no files, keeps no state between calls and
// touches no fuzzy, identification or net slot. The simulator reuses the
// derivatives of CONT code that calls only free rows. A row without the
// column has side effects.
enum ModuleEffects {
    MODULE_SIDE_EFFECTS = 0,
    MODULE_FREE = 1
};

// The address of a row's code. The interpreter calls a function row as
// double f(double a1, ..., double ak) with k = strlen(signature) - 1 and a
// procedure row as void f(double a1, ..., double ak) with k = strlen(signature);
// the first argument is the first parameter of the model-language call. A
// string argument arrives as the double of its string-constant index.
typedef void (*ModuleFunction)();
#define MODULE_FUNCTION(f) reinterpret_cast<ModuleFunction>(f)

struct ModuleEntry {
    const char* name;       // upper case; null ends the array
    ModuleFunction function;
    int kind;               // ModuleKind bits
    const char* signature;  // 'd' number, 's' string; a function's starts with
                            // its result 'd'; null for hook rows
    int effects = MODULE_SIDE_EFFECTS;   // ModuleEffects of a function or
                                         // procedure row
};

struct ModuleDescriptor {
    int reserved0;          // 0
    int reserved1;          // 0
    ModuleEntry* entries;   // ended by a row whose name is null
    const char* errorKey;   // the library's key for isCompiling/alwaysFalse;
                            // the registry does not look at it
};

// The eight services, in this order.
struct HostServices {
    // Non-zero while a model text is being compiled: the library is called
    // for a check, not for a run, and skips run-time work.
    int (*isCompiling)(const char* errorKey);
    // Always 0 (it looks at the compile phase and ignores it).
    int (*alwaysFalse)(const char* errorKey);
    // Outside a compile: the running code ends with an error stop (64).
    // Returns the compile-phase test. The argument is not used.
    int (*requestErrorStop)(int unused);
    // printf-style, up to 1024 characters. Silent while compiling; level 1
    // queues an error for the main window, level 2 a plain message; any other
    // level is fatal (the program ends).
    void (*moduleMessage)(int level, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // The text of string constant index of the loaded PI program, or null
    // after an error message (the run then ends with an error stop).
    const char* (*stringConstant)(int index);
    // The directory of the block library "Local", "" (after an error
    // message) when none is installed. Valid until the next call.
    const char* (*localLibraryDirectory)();
    // The time of the code run in progress.
    double (*currentTime)();
    // The directory of the current circuit file. Valid until the next call.
    const char* (*circuitDirectory)();
};

typedef ModuleDescriptor* (*ModuleRegisterFunction)(const HostServices* services);

#endif
