#include "PiOpcodes.h"

#include <cstring>

#define UFUNC_ROW(k) {"FUNC UFUNC " #k, nullptr, PI_OPERAND_FUNCTION, k, 1}
#define UPROC_ROW(k) {"FUNC UPROC " #k, nullptr, PI_OPERAND_FUNCTION, k, 0}

const PiOpcodeInfo kPiOpcodes[kPiOpcodeCount] = {
    {"PUSH T", nullptr, PI_OPERAND_NONE, 0, 1},
    {"PUSH S", nullptr, PI_OPERAND_STATE, 0, 1},
    {"PUSH D", nullptr, PI_OPERAND_STATE, 0, 1},
    {"PUSH V", nullptr, PI_OPERAND_VALUE, 0, 1},
    {"PUSH", nullptr, PI_OPERAND_NUMBER, 0, 1},
    {"POP S", nullptr, PI_OPERAND_STATE, 1, 0},
    {"POP D", nullptr, PI_OPERAND_STATE, 1, 0},
    {"POP V", nullptr, PI_OPERAND_VALUE, 1, 0},
    {"FUNC ADD", "ADD", PI_OPERAND_NONE, 2, 1},
    {"FUNC SUB", "SUB", PI_OPERAND_NONE, 2, 1},
    {"FUNC MUL", "MUL", PI_OPERAND_NONE, 2, 1},
    {"FUNC DIV", "DIV", PI_OPERAND_NONE, 2, 1},
    {"FUNC AND", "AND", PI_OPERAND_NONE, 2, 1},
    {"FUNC OR", "OR", PI_OPERAND_NONE, 2, 1},
    {"FUNC NOT", "NOT", PI_OPERAND_NONE, 1, 1},
    {"FUNC CHS", "CHS", PI_OPERAND_NONE, 1, 1},
    {"FUNC EQ", "EQ", PI_OPERAND_NONE, 2, 1},
    {"FUNC NE", "NE", PI_OPERAND_NONE, 2, 1},
    {"FUNC GT", "GT", PI_OPERAND_NONE, 2, 1},
    {"FUNC GE", "GE", PI_OPERAND_NONE, 2, 1},
    {"FUNC LT", "LT", PI_OPERAND_NONE, 2, 1},
    {"FUNC LE", "LE", PI_OPERAND_NONE, 2, 1},
    {"FUNC SCHED", "SCHED", PI_OPERAND_NONE, 3, 0},
    {"FUNC EVENT", "EVENT", PI_OPERAND_NONE, 2, 1},
    {"FUNC ABORT", "ABORT", PI_OPERAND_NONE, 1, 0},
    {"IFT", nullptr, PI_OPERAND_TARGET, 1, 0},
    {"IFF", nullptr, PI_OPERAND_TARGET, 1, 0},
    // NIFT and NIFF keep the value when they jump (the depth check knows).
    {"NIFT", nullptr, PI_OPERAND_TARGET, 1, 0},
    {"NIFF", nullptr, PI_OPERAND_TARGET, 1, 0},
    {"GOTO", nullptr, PI_OPERAND_TARGET, 0, 0},
    {"label", nullptr, PI_OPERAND_NONE, 0, 0},
    {"CALL", nullptr, PI_OPERAND_SECTION, 0, 1},
    {"FUNC DDELAY", "DDELAY", PI_OPERAND_NONE, 2, 0},
    {"FUNC SDELAY", "SDELAY", PI_OPERAND_NONE, 2, 0},
    {"FUNC DELAY", "DELAY", PI_OPERAND_NONE, 2, 1},
    UFUNC_ROW(0), UFUNC_ROW(1), UFUNC_ROW(2), UFUNC_ROW(3), UFUNC_ROW(4),
    UFUNC_ROW(5), UFUNC_ROW(6), UFUNC_ROW(7), UFUNC_ROW(8), UFUNC_ROW(9),
    UPROC_ROW(0), UPROC_ROW(1), UPROC_ROW(2), UPROC_ROW(3), UPROC_ROW(4),
    UPROC_ROW(5), UPROC_ROW(6), UPROC_ROW(7), UPROC_ROW(8), UPROC_ROW(9),
    // END takes the section's result; the interpreter checks the balance.
    {"END", nullptr, PI_OPERAND_NONE, 1, 0},
};

int piFuncOpcode(const char* word)
{
    for (int op = 0; op < kPiOpcodeCount; ++op)
        if (kPiOpcodes[op].funcWord && strcmp(kPiOpcodes[op].funcWord, word) == 0)
            return op;
    return -1;
}
