// The loaded PI program: symbol rows, values in three buffers, string
// constants, the linked code arrays of the INIT, CONT and DISCRET sections
// and the interpreter stack. Built by loadPICode, read and run by the
// interpreter, the simulator, the integrators and the result file, freed by
// unloadPICode.
#ifndef KYT_ENGINE_PIPROGRAM_H
#define KYT_ENGINE_PIPROGRAM_H

#include "ModuleDescriptor.h"
#include "String.h"

// Kinds of a symbol row. Bit 0 marks the kinds whose value lives in three
// buffers.
enum PiSymbolKind {
    PI_INDEPENDENT = 3,
    PI_STATE = 5,
    PI_DISCRETE_STATE = 9,
    PI_DERIVATIVE = 16,
    PI_VARIABLE = 32,
    PI_PARAMETER = 64
};

enum PiSymbolFlag {
    PI_SAVE = 1,     // an output: recorded, plotted and saved
    PI_INPUT = 2,
    PI_OUTPUT = 4
};

struct PiSymbol {
    char* name;
    String label;        // empty after loading; the editor names marked signals here
    int kind;            // PiSymbolKind
    int flags;           // PiSymbolFlag bits
    double* value[3];    // buffers 0, 1, 2 for the three-buffer kinds, else
                         // only value[0]
};

// One instruction of a linked code array. The operand is resolved by the
// loader: a value slot is its address, a jump its target instruction, a
// library call its function.
struct PiInstruction {
    int opcode;          // PiOpcode
    int line;            // the source line (#line) for messages
    union {
        double number;                 // PUSH number
        double* value;                 // PUSH/POP V and P
        int index;                     // PUSH/POP S and D, CALL
        const PiInstruction* target;   // IFT IFF NIFT NIFF GOTO
        ModuleFunction function;       // UFUNC, UPROC
    } u;
};

// Room of a procedure's name, the NUL included.
const int kSectionNameSize = 32;

struct PiCode {
    PiInstruction* code;
    int count;
    // A DISCRET section: its procedure's name from the writer's comment
    // (empty when it has none), for the messages of a run.
    char name[kSectionNameSize];
    // Set by the loader for the interpreter: the most values a run of the
    // section pushes (0 when not proven), and a copy of code in which the
    // commonest sequences are fused into one instruction each (null when
    // there is none). The copy runs when the stack has room for the proven
    // depth, so it needs no checks per push.
    int maxDepth = 0;
    PiInstruction* fused = nullptr;
};

struct PiProgram {
    // The independent variable t in buffers 0, 1, 2 (0 holds the start value).
    double t[3];

    // STATES count and the five state-sized arrays: derivatives, buffers 0
    // (initial values), 1 and 2, and a work array.
    int nstates;
    double* derivative;
    double* state[3];
    double* stateWork;

    // DSTATES count: always 0 (discrete states are refused by the loader).
    int ndstates;
    double* dstate[3];

    // PARAMS count plus VARS count values, parameters first.
    int nparameters;
    int nvariables;
    double* value;

    int nstrings;
    char** strings;

    PiCode init;
    PiCode cont;
    // Set by the loader: a run of the CONT code may be repeated, or left
    // out, at the same time and states without anyone noticing (it has no
    // side effects); the simulator then reuses derivatives it already has.
    bool contRepeatable;
    int ndiscr;
    PiCode* discrete;    // ndiscr sections

    int nsymbols;
    PiSymbol* symbols;   // in file order

    int stackSize;
    double* stack;
    int stackPointer;    // number of values on the stack

    int exitString;      // string index of the last ABORT, -1 when none
};

extern PiProgram piProgram;

#endif
