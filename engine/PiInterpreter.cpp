#include "PiInterpreter.h"

#include "Assert.h"
#include "DelayLines.h"
#include "DiscreteFlags.h"
#include "ErrorReporter.h"
#include "EventQueue.h"
#include "PiOpcodes.h"
#include "ResString.h"
#include "RunState.h"
#include "strings/EngineStrings.h"
#include "strings/PiStrings.h"

#include <cstdint>
#include <cstdlib>

namespace {

// execPICode frames on the native stack: 1 in a run, one more per CALL.
int runNesting = 0;
// Set while a code run is given up: every frame returns at once.
bool abandoned = false;

inline int toInteger(double x)
{
    // The range test also sends NaN to 0: the conversion itself would be
    // undefined there.
    if (!(x > -9223372036854775808.0 && x < 9223372036854775808.0))
        return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(x))));
}

[[noreturn]] void fatalMessage(unsigned int id)
{
    reportError(ERR_FATAL, "%s", getResString(id));
    abort();
}

__attribute__((noinline)) void divisionByZero()
{
    runState.mathErrors |= kMathErrorDivision;
    if (!runState.divisionReported) {
        runState.divisionReported = true;
        reportError(ERR_ERROR, "%s", getResString(kStrDivisionByZero));
    }
}

__attribute__((noinline)) void abortWith(int index)
{
    PiProgram& p = piProgram;
    if (index >= 0 && index < p.nstrings) {
        p.exitString = index;
        return;
    }
    p.exitString = -1;
    reportError(ERR_ERROR, getResString(kStrStringIndexOutOfRange), index);
    runState.errorFlag = kRunErrorStop;
}

// Gives up the whole code run (every nested frame comes through here): the
// message once, the error stop, and the stack pointer where this frame found
// it, which for the outermost frame is where the run started.
__attribute__((noinline)) int abandonRun(unsigned int messageId, double* base)
{
    if (!abandoned) {
        abandoned = true;
        reportError(ERR_ERROR, "%s", getResString(messageId));
    }
    runState.errorFlag = kRunErrorStop;
    piProgram.stackPointer = static_cast<int>(base - piProgram.stack);
    if (--runNesting == 0)
        abandoned = false;
    return kRunErrorStop;
}

typedef double (*Function0)();
typedef double (*Function1)(double);
typedef double (*Function2)(double, double);
typedef double (*Function3)(double, double, double);
typedef double (*Function4)(double, double, double, double);
typedef double (*Function5)(double, double, double, double, double);
typedef double (*Function6)(double, double, double, double, double, double);
typedef double (*Function7)(double, double, double, double, double, double, double);
typedef double (*Function8)(double, double, double, double, double, double, double, double);
typedef double (*Function9)(double, double, double, double, double, double, double, double,
                            double);
typedef void (*Procedure0)();
typedef void (*Procedure1)(double);
typedef void (*Procedure2)(double, double);
typedef void (*Procedure3)(double, double, double);
typedef void (*Procedure4)(double, double, double, double);
typedef void (*Procedure5)(double, double, double, double, double);
typedef void (*Procedure6)(double, double, double, double, double, double);
typedef void (*Procedure7)(double, double, double, double, double, double, double);
typedef void (*Procedure8)(double, double, double, double, double, double, double, double);
typedef void (*Procedure9)(double, double, double, double, double, double, double, double,
                           double);

// Instructions of the fused copy of a code array: each stands for the
// sequence it is named after and takes its operands from the instructions of
// that sequence, which stay in place after it (a jump into the sequence runs
// them as they are).
enum PiFusedOpcode {
    PI_MOVE_S_V = kPiOpcodeCount,   // PUSH S i, POP V a
    PI_MOVE_V_V,                    // PUSH V b, POP V a
    PI_MOVE_N_V,                    // PUSH number, POP V a
    PI_MOVE_S_D,                    // PUSH S i, POP D j
    PI_MOVE_V_D,                    // PUSH V b, POP D j
    PI_ADD_S, PI_SUB_S, PI_MUL_S, PI_DIV_S,   // PUSH S i, FUNC op
    PI_ADD_V, PI_SUB_V, PI_MUL_V, PI_DIV_V,   // PUSH V b, FUNC op
    PI_ADD_N, PI_SUB_N, PI_MUL_N, PI_DIV_N,   // PUSH number, FUNC op
    // The same twelve followed by POP D j, then by POP V a.
    PI_ADD_S_D, PI_SUB_S_D, PI_MUL_S_D, PI_DIV_S_D,
    PI_ADD_V_D, PI_SUB_V_D, PI_MUL_V_D, PI_DIV_V_D,
    PI_ADD_N_D, PI_SUB_N_D, PI_MUL_N_D, PI_DIV_N_D,
    PI_ADD_S_V, PI_SUB_S_V, PI_MUL_S_V, PI_DIV_S_V,
    PI_ADD_V_V, PI_SUB_V_V, PI_MUL_V_V, PI_DIV_V_V,
    PI_ADD_N_V, PI_SUB_N_V, PI_MUL_N_V, PI_DIV_N_V,
    kPiFusedOpcodeEnd
};

// A division as FUNC DIV does it: +0 and -0 are both zero; 0/0 gives the same
// stand-in.
inline double divide(double a, double b)
{
    if (b == 0.0) {
        divisionByZero();
        return 1e100;
    }
    return a / b;
}

// The fused opcode of the binary FUNC op after a push of the given kind
// (0 S, 1 V, 2 number), or -1.
int fusedBinary(int op, int pushKind)
{
    int k;
    switch (op) {
    case PI_ADD: k = 0; break;
    case PI_SUB: k = 1; break;
    case PI_MUL: k = 2; break;
    case PI_DIV: k = 3; break;
    default: return -1;
    }
    return PI_ADD_S + 4 * pushKind + k;
}

} // namespace

void fusePiCode(PiCode& code)
{
    delete[] code.fused;
    code.fused = new PiInstruction[static_cast<size_t>(code.count)];
    PiInstruction* f = code.fused;
    for (int i = 0; i < code.count; ++i) {
        f[i] = code.code[i];
        if (kPiOpcodes[f[i].opcode].operand == PI_OPERAND_TARGET)
            f[i].u.target = f + (code.code[i].u.target - code.code);
    }
    for (int i = 0; i + 1 < code.count; ++i) {
        const int op = f[i].opcode;
        const int next = f[i + 1].opcode;
        const int pushKind = op == PI_PUSH_S ? 0 : op == PI_PUSH_V ? 1 : op == PI_PUSH_NUMBER ? 2 : -1;
        if (pushKind < 0)
            continue;
        int fused = -1;
        if (next == PI_POP_V)
            fused = pushKind == 0 ? PI_MOVE_S_V : pushKind == 1 ? PI_MOVE_V_V : PI_MOVE_N_V;
        else if (next == PI_POP_D && pushKind != 2)
            fused = pushKind == 0 ? PI_MOVE_S_D : PI_MOVE_V_D;
        else
            fused = fusedBinary(next, pushKind);
        if (fused < 0)
            continue;
        int length = 2;
        if (fused >= PI_ADD_S && i + 2 < code.count) {
            if (f[i + 2].opcode == PI_POP_D) {
                fused += PI_ADD_S_D - PI_ADD_S;
                length = 3;
            } else if (f[i + 2].opcode == PI_POP_V) {
                fused += PI_ADD_S_V - PI_ADD_S;
                length = 3;
            }
        }
        f[i].opcode = fused;
        i += length - 1;
    }
}

int piInteger(double x)
{
    return toInteger(x);
}

// The value on top is the first argument of a library call.
#define ARGS1 sp[-1]
#define ARGS2 ARGS1, sp[-2]
#define ARGS3 ARGS2, sp[-3]
#define ARGS4 ARGS3, sp[-4]
#define ARGS5 ARGS4, sp[-5]
#define ARGS6 ARGS5, sp[-6]
#define ARGS7 ARGS6, sp[-7]
#define ARGS8 ARGS7, sp[-8]
#define ARGS9 ARGS8, sp[-9]

#define UFUNC_CASE(k)                                                                    \
    case PI_UFUNC0 + k: {                                                                \
        double r = reinterpret_cast<Function##k>(ip->u.function)(ARGS##k);              \
        sp -= k - 1;                                                                     \
        sp[-1] = r;                                                                      \
        ++ip;                                                                            \
        break;                                                                           \
    }
#define UPROC_CASE(k)                                                                    \
    case PI_UPROC0 + k:                                                                  \
        reinterpret_cast<Procedure##k>(ip->u.function)(ARGS##k);                         \
        sp -= k;                                                                         \
        ++ip;                                                                            \
        break;

#define BINARY_CASE(op, expression)                                                      \
    case op: {                                                                           \
        const double b = sp[-1];                                                         \
        const double a = sp[-2];                                                         \
        --sp;                                                                            \
        sp[-1] = (expression);                                                           \
        ++ip;                                                                            \
        break;                                                                           \
    }

// A push that the loader has not proven to fit checks the room first.
#define CHECK_ROOM                                                                       \
    if (!kProven && sp >= top)                                                           \
        return abandonRun(kStrStackOverflow, base);

// A fused opcode is only known in the loader's fused copy; anywhere else it
// is an unknown opcode.
#define FUSED_CASE(op)                                                                   \
    case op:                                                                             \
        if (!kProven)                                                                    \
            fatalMessage(kStrUnknownInstruction);

#define FUSED_BINARY_CASES(suffix, operand)                                              \
    FUSED_CASE(PI_ADD_##suffix)                                                          \
        sp[-1] += (operand);                                                             \
        ip += 2;                                                                         \
        break;                                                                           \
    FUSED_CASE(PI_SUB_##suffix)                                                          \
        sp[-1] -= (operand);                                                             \
        ip += 2;                                                                         \
        break;                                                                           \
    FUSED_CASE(PI_MUL_##suffix)                                                          \
        sp[-1] *= (operand);                                                             \
        ip += 2;                                                                         \
        break;                                                                           \
    FUSED_CASE(PI_DIV_##suffix)                                                          \
        sp[-1] = divide(sp[-1], (operand));                                              \
        ip += 2;                                                                         \
        break;

// The same, the result popped at once into target.
#define FUSED_BINARY_POP_CASES(suffix, operand, to, target)                              \
    FUSED_CASE(PI_ADD_##suffix##_##to)                                                   \
        target = *--sp + (operand);                                                      \
        ip += 3;                                                                         \
        break;                                                                           \
    FUSED_CASE(PI_SUB_##suffix##_##to)                                                   \
        target = *--sp - (operand);                                                      \
        ip += 3;                                                                         \
        break;                                                                           \
    FUSED_CASE(PI_MUL_##suffix##_##to)                                                   \
        target = *--sp * (operand);                                                      \
        ip += 3;                                                                         \
        break;                                                                           \
    FUSED_CASE(PI_DIV_##suffix##_##to)                                                   \
        target = divide(*--sp, (operand));                                               \
        ip += 3;                                                                         \
        break;

namespace {

// The run of one code array. kProven: the array is the loader's fused copy
// and the stack has room for the depth the loader proved, so pushes need no
// check and every opcode is known.
template <bool kProven>
int runCode(const PiInstruction* ip, double* const base, double t, double* S,
            double* discreteCurrent, double* discreteNext, double* D)
{
    PiProgram& p = piProgram;
    double* const top = p.stack + p.stackSize;
    double* sp = base;

    for (;;) {
        switch (ip->opcode) {
        case PI_PUSH_T:
            CHECK_ROOM
            *sp++ = t;
            ++ip;
            break;
        case PI_PUSH_S:
            CHECK_ROOM
            *sp++ = S[ip->u.index];
            ++ip;
            break;
        case PI_PUSH_D:
            CHECK_ROOM
            *sp++ = D[ip->u.index];
            ++ip;
            break;
        case PI_PUSH_V:
            CHECK_ROOM
            *sp++ = *ip->u.value;
            ++ip;
            break;
        case PI_PUSH_NUMBER:
            CHECK_ROOM
            *sp++ = ip->u.number;
            ++ip;
            break;
        case PI_POP_S:
            S[ip->u.index] = *--sp;
            ++ip;
            break;
        case PI_POP_D:
            D[ip->u.index] = *--sp;
            ++ip;
            break;
        case PI_POP_V:
            *ip->u.value = *--sp;
            ++ip;
            break;

        BINARY_CASE(PI_ADD, a + b)
        BINARY_CASE(PI_SUB, a - b)
        BINARY_CASE(PI_MUL, a * b)
        case PI_DIV: {
            const double b = sp[-1];
            --sp;
            // +0 and -0 are both zero; 0/0 gives the same stand-in.
            if (b == 0.0) {
                sp[-1] = 1e100;
                divisionByZero();
            } else {
                sp[-1] /= b;
            }
            ++ip;
            break;
        }
        BINARY_CASE(PI_AND, static_cast<double>(toInteger(a) & toInteger(b)))
        BINARY_CASE(PI_OR, static_cast<double>(toInteger(a) | toInteger(b)))
        case PI_NOT:
            sp[-1] = toInteger(sp[-1]) == 0 ? 1.0 : 0.0;
            ++ip;
            break;
        case PI_CHS:
            sp[-1] = -sp[-1];
            ++ip;
            break;
        BINARY_CASE(PI_EQ, a == b ? 1.0 : 0.0)
        BINARY_CASE(PI_NE, a != b ? 1.0 : 0.0)
        BINARY_CASE(PI_GT, a > b ? 1.0 : 0.0)
        BINARY_CASE(PI_GE, a >= b ? 1.0 : 0.0)
        BINARY_CASE(PI_LT, a < b ? 1.0 : 0.0)
        BINARY_CASE(PI_LE, a <= b ? 1.0 : 0.0)

        case PI_SCHED: {
            const int section = toInteger(sp[-1]);
            const int priority = toInteger(sp[-2]);
            const double time = sp[-3];
            sp -= 3;
            ScheduleEvent(time, 0, runDiscreteSection, priority, section, "discret");
            ++ip;
            break;
        }
        case PI_EVENT: {
            const int index = toInteger(sp[-1]);
            const int condition = toInteger(sp[-2]);
            --sp;
            sp[-1] = DiscreteFlag(index, condition);
            ++ip;
            break;
        }
        case PI_ABORT:
            abortWith(toInteger(*--sp));
            ++ip;
            break;

        case PI_IFT:
            ip = *--sp != 0.0 ? ip->u.target : ip + 1;
            break;
        case PI_IFF:
            ip = *--sp == 0.0 ? ip->u.target : ip + 1;
            break;
        case PI_NIFT:
            if (sp[-1] != 0.0) {
                ip = ip->u.target;
            } else {
                --sp;
                ++ip;
            }
            break;
        case PI_NIFF:
            if (sp[-1] == 0.0) {
                ip = ip->u.target;
            } else {
                --sp;
                ++ip;
            }
            break;
        case PI_GOTO:
            ip = ip->u.target;
            break;

        case PI_CALL: {
            CHECK_ROOM
            if (runState.phase != 2) {
                *sp++ = 0;
                ++ip;
                break;
            }
            // A procedure that schedules itself without a time recurses
            // without end; the native stack must not run out.
            if (runNesting > kMaxCallDepth)
                return abandonRun(kStrCallsTooDeep, base);
            p.stackPointer = static_cast<int>(sp - p.stack);
            const int r = execPICode(p.discrete[ip->u.index], t, S, discreteCurrent,
                                     discreteNext, D);
            if (abandoned)
                return abandonRun(kStrCallsTooDeep, base);
            runState.currentTime = t;
            *sp++ = r & ~PI_RESULT_DISCRETE;
            ++ip;
            break;
        }

        case PI_DDELAY: {
            const int line = toInteger(sp[-1]);
            const double delay = sp[-2];
            sp -= 2;
            setDelayTime(line, delay);
            ++ip;
            break;
        }
        case PI_SDELAY: {
            const int line = toInteger(sp[-1]);
            const double value = sp[-2];
            sp -= 2;
            DelayAppend(line, t, value);
            ++ip;
            break;
        }
        case PI_DELAY: {
            const int line = toInteger(sp[-1]);
            --sp;
            sp[-1] = DelayRead(line, sp[-1]);
            ++ip;
            break;
        }

        case PI_UFUNC0:
            CHECK_ROOM
            *sp++ = reinterpret_cast<Function0>(ip->u.function)();
            ++ip;
            break;
        UFUNC_CASE(1)
        UFUNC_CASE(2)
        UFUNC_CASE(3)
        UFUNC_CASE(4)
        UFUNC_CASE(5)
        UFUNC_CASE(6)
        UFUNC_CASE(7)
        UFUNC_CASE(8)
        UFUNC_CASE(9)
        case PI_UPROC0:
            reinterpret_cast<Procedure0>(ip->u.function)();
            ++ip;
            break;
        UPROC_CASE(1)
        UPROC_CASE(2)
        UPROC_CASE(3)
        UPROC_CASE(4)
        UPROC_CASE(5)
        UPROC_CASE(6)
        UPROC_CASE(7)
        UPROC_CASE(8)
        UPROC_CASE(9)

        case PI_END: {
            if (sp != base + 1)
                fatalMessage(kStrStackUnbalanced);
            const int result = toInteger(base[0]);
            p.stackPointer = static_cast<int>(base - p.stack);
            --runNesting;
            return result;
        }

        FUSED_CASE(PI_MOVE_S_V)
            *ip[1].u.value = S[ip->u.index];
            ip += 2;
            break;
        FUSED_CASE(PI_MOVE_V_V)
            *ip[1].u.value = *ip->u.value;
            ip += 2;
            break;
        FUSED_CASE(PI_MOVE_N_V)
            *ip[1].u.value = ip->u.number;
            ip += 2;
            break;
        FUSED_CASE(PI_MOVE_S_D)
            D[ip[1].u.index] = S[ip->u.index];
            ip += 2;
            break;
        FUSED_CASE(PI_MOVE_V_D)
            D[ip[1].u.index] = *ip->u.value;
            ip += 2;
            break;
        FUSED_BINARY_CASES(S, S[ip->u.index])
        FUSED_BINARY_CASES(V, *ip->u.value)
        FUSED_BINARY_CASES(N, ip->u.number)
        FUSED_BINARY_POP_CASES(S, S[ip->u.index], D, D[ip[2].u.index])
        FUSED_BINARY_POP_CASES(V, *ip->u.value, D, D[ip[2].u.index])
        FUSED_BINARY_POP_CASES(N, ip->u.number, D, D[ip[2].u.index])
        FUSED_BINARY_POP_CASES(S, S[ip->u.index], V, *ip[2].u.value)
        FUSED_BINARY_POP_CASES(V, *ip->u.value, V, *ip[2].u.value)
        FUSED_BINARY_POP_CASES(N, ip->u.number, V, *ip[2].u.value)

        default:
            if (kProven)
                __builtin_unreachable();
            fatalMessage(kStrUnknownInstruction);
        }
    }
}

} // namespace

int execPICode(const PiCode& code, double t, double* S, double* discreteCurrent,
               double* discreteNext, double* D)
{
    PiProgram& p = piProgram;
    runState.currentTime = t;
    double* const base = p.stack + p.stackPointer;
    ++runNesting;
    if (code.fused && code.maxDepth <= p.stackSize - p.stackPointer)
        return runCode<true>(code.fused, base, t, S, discreteCurrent, discreteNext, D);
    return runCode<false>(code.code, base, t, S, discreteCurrent, discreteNext, D);
}

namespace {
long contRuns = 0;
}

long contCodeRuns()
{
    return contRuns;
}

int runContCode(double t, double* S, double* discreteCurrent, double* discreteNext, double* D)
{
    ++contRuns;
    KYT_ASSERT(piProgram.cont.code != nullptr);
    return execPICode(piProgram.cont, t, S, discreteCurrent, discreteNext, D) |
           runState.errorFlag;
}

int runInitCode(double t, int mode)
{
    (void)mode;
    PiProgram& p = piProgram;
    KYT_ASSERT(p.init.code != nullptr);
    return execPICode(p.init, t, p.state[0], p.dstate[0], p.dstate[1], p.derivative) |
           runState.errorFlag;
}

int runDiscreteSection(double t, double* S, double* discreteCurrent, double* discreteNext,
                       int section)
{
    PiProgram& p = piProgram;
    if (section < 0 || section >= p.ndiscr) {
        reportError(ERR_FATAL, getResString(kStrCheckFailed), "KYT", static_cast<long>(__LINE__),
                    "arg >= 0 && arg < ndiscr", 0L);
        abort();
    }
    return execPICode(p.discrete[section], t, S, discreteCurrent, discreteNext, p.derivative) |
           runState.errorFlag;
}
