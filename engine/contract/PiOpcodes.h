// The instructions of the PI-code stack machine: one table of opcode, text,
// operand kind and stack effect. The loader takes the FUNC words and the
// operand kinds from it, checks the stack depth of every loaded section with
// its effects, and the interpreter's switch follows its numbering.
#ifndef KYT_ENGINE_PIOPCODES_H
#define KYT_ENGINE_PIOPCODES_H

enum PiOpcode {
    PI_PUSH_T = 0,
    PI_PUSH_S = 1,
    PI_PUSH_D = 2,
    PI_PUSH_V = 3,      // PUSH V i and PUSH P i: both address the value array
    PI_PUSH_NUMBER = 4,
    PI_POP_S = 5,
    PI_POP_D = 6,
    PI_POP_V = 7,       // POP V i and POP P i
    PI_ADD = 8,
    PI_SUB = 9,
    PI_MUL = 10,
    PI_DIV = 11,
    PI_AND = 12,
    PI_OR = 13,
    PI_NOT = 14,
    PI_CHS = 15,
    PI_EQ = 16,
    PI_NE = 17,
    PI_GT = 18,
    PI_GE = 19,
    PI_LT = 20,
    PI_LE = 21,
    PI_SCHED = 22,
    PI_EVENT = 23,
    PI_ABORT = 24,
    PI_IFT = 25,
    PI_IFF = 26,
    PI_NIFT = 27,
    PI_NIFF = 28,
    PI_GOTO = 29,
    PI_LABEL = 30,      // a label line; never in a linked code array
    PI_CALL = 31,
    PI_DDELAY = 32,
    PI_SDELAY = 33,
    PI_DELAY = 34,
    PI_UFUNC0 = 35,     // .. PI_UFUNC0 + 9: a library function of k arguments
    PI_UPROC0 = 45,     // .. PI_UPROC0 + 9: a library procedure of k arguments
    PI_END = 55
};

const int kPiOpcodeCount = 56;
// Most arguments of one library call.
const int kPiMaxArguments = 9;

// What an instruction carries besides its opcode.
enum PiOperandKind {
    PI_OPERAND_NONE,
    PI_OPERAND_STATE,       // an index below the state count
    PI_OPERAND_VALUE,       // a slot of the value array (resolved to its address)
    PI_OPERAND_NUMBER,      // a constant
    PI_OPERAND_TARGET,      // a jump target (resolved to the instruction)
    PI_OPERAND_SECTION,     // a DISCRET section number
    PI_OPERAND_FUNCTION     // a library row's function
};

struct PiOpcodeInfo {
    const char* text;       // as a listing prints it
    const char* funcWord;   // the word after FUNC, null when not a FUNC
    PiOperandKind operand;
    int pops;               // values taken from the stack
    int pushes;             // values put back
};

// Indexed by opcode.
extern const PiOpcodeInfo kPiOpcodes[kPiOpcodeCount];

// The FUNC opcode of a word (ADD, SUB, ..., DELAY), or -1.
int piFuncOpcode(const char* word);

#endif
