#include "BaseLibrary.h"

#include "Assert.h"
#include "DelayLines.h"
#include "ModuleRegistry.h"
#include "PiInterpreter.h"
#include "ResString.h"
#include "strings/PiStrings.h"

#include <cmath>
#include <ctime>

namespace {

// The services BASE keeps of the table it gets when attached.
struct BaseHost {
    int (*isCompiling)(const char*);
    int (*alwaysFalse)(const char*);
    int (*requestErrorStop)(int);
    void (*moduleMessage)(int, const char*, ...);
    const char* (*stringConstant)(int);
};

BaseHost host = {};
const char kErrorKey[] = "BASE";

double domainError(const char* name)
{
    if (host.moduleMessage)
        host.moduleMessage(1, getResString(kStrArgumentOutOfRange), name);
    if (host.requestErrorStop)
        host.requestErrorStop(0);
    return 0;
}

// ---- the uniform generator: three congruential generators and a shuffle
// table of 97 entries. All arithmetic in 64 bits with a modulo that is never
// negative: a positive time seed makes 54773 - s negative.

const int64_t M1 = 259200, A1 = 7141, C1 = 54773;
const int64_t M2 = 134456, A2 = 8121, C2 = 28411;
const int64_t M3 = 243000, A3 = 4561, C3 = 51349;
const int kTableSize = 97;

struct RandomState {
    int64_t x1, x2, x3;
    double table[kTableSize];
    bool seeded;
    int lastIndex;
    bool spareKept;
    double spare;
};

RandomState rng = {};

int64_t floorMod(int64_t a, int64_t m)
{
    int64_t r = a % m;
    return r < 0 ? r + m : r;
}

double tableEntry()
{
    // x2 / 134456 is a real fraction, not an integer division.
    return (static_cast<double>(rng.x1) + static_cast<double>(rng.x2) / M2) / M1;
}

int64_t systemClock()
{
    return static_cast<int64_t>(time(nullptr));
}

BaseClock clockSeam = systemClock;
BaseUniform uniformSeam = nullptr;

double nextUniform()
{
    return uniformSeam ? uniformSeam() : baseRandom(0);
}

// The integer of |s| in 64 bits; NaN and values beyond the range give 0.
int64_t wholeMagnitude(double s)
{
    double m = std::fabs(s);
    if (!(m < 9223372036854775808.0))
        return 0;
    return static_cast<int64_t>(m);
}

// ---- the rows

int baseLoad() { return 0; }
void baseStart() {}
void baseUnload() {}

double SQR(double x) { return x * x; }
double SQRT(double x) { return x < 0 ? domainError("SQRT") : std::sqrt(x); }
double SIGN(double x) { return x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0; }
double ABS(double x) { return std::fabs(x); }
double SIN(double x) { return std::sin(x); }
double COS(double x) { return std::cos(x); }
double TAN(double x) { return std::tan(x); }
double ASIN(double x) { return std::asin(x); }
double ACOS(double x) { return std::acos(x); }
double ATAN(double x) { return std::atan(x); }
double SINH(double x) { return std::sinh(x); }
double COSH(double x) { return std::cosh(x); }
double TANH(double x) { return std::tanh(x); }
// The library functions instead of the logarithm formulas, which lose every
// digit for large |x| (ASINH(-1e9) gave -inf).
double ASINH(double x) { return std::asinh(x); }
double ACOSH(double x) { return x < 1 ? domainError("ACOSH") : std::acosh(x); }
// |x| = 1 is outside as well: it gave an infinity without a message.
double ATANH(double x) { return std::fabs(x) >= 1 ? domainError("ATANH") : std::atanh(x); }
double EXP(double x) { return std::exp(x); }
double LN(double x) { return x <= 0 ? domainError("LN") : std::log(x); }
double LOG(double x) { return x <= 0 ? domainError("LOG") : std::log10(x); }

// A whole exponent takes any base; std::pow instead of n multiplications,
// which hung the run for POW(-1, 1e12).
double POW(double x, double y)
{
    if (std::trunc(y) == y)
        return std::pow(x, y);
    if (x < 0)
        return domainError("POW");
    return std::pow(x, y);
}

void RANDOMIZE(double s)
{
    if (s != 0)
        baseRandom(-wholeMagnitude(s));
    else
        baseRandom(clockSeam());
}

double RND() { return baseRandom(0); }
double RNDEXP() { return -std::log(baseRandom(0)); }

double RNDGAUSS()
{
    if (rng.spareKept) {
        rng.spareKept = false;
        return rng.spare;
    }
    double u, w, r;
    // r = 0 would give 0 * inf.
    do {
        u = 2 * nextUniform() - 1;
        w = 2 * nextUniform() - 1;
        r = u * u + w * w;
    } while (!(r > 0 && r < 1));
    double f = std::sqrt(-2 * std::log(r) / r);
    rng.spare = u * f;
    rng.spareKept = true;
    return w * f;
}

double ROUND(double x) { return x >= 0 ? std::floor(x + 0.5) : -std::floor(0.5 - x); }
double TRUNC(double x) { return x >= 0 ? std::floor(x) : -std::floor(-x); }

void DELAYINIT(double line, double value)
{
    if (host.isCompiling && host.isCompiling(kErrorKey))
        return;
    DelayInit(piInteger(line + 0.5), value);
}

const int kMath = 0x301;

ModuleEntry rows[] = {
    {"BASE", MODULE_FUNCTION(baseLoad), MODULE_LOAD_HOOK, nullptr},
    {"BASE", MODULE_FUNCTION(baseStart), MODULE_START_HOOK, nullptr},
    {"BASE", MODULE_FUNCTION(baseUnload), MODULE_UNLOAD_HOOK, nullptr},
    {"SQR", MODULE_FUNCTION(SQR), kMath, "dd", MODULE_FREE},
    {"SQRT", MODULE_FUNCTION(SQRT), kMath, "dd", MODULE_FREE},
    {"SIGN", MODULE_FUNCTION(SIGN), kMath, "dd", MODULE_FREE},
    {"ABS", MODULE_FUNCTION(ABS), kMath, "dd", MODULE_FREE},
    {"SIN", MODULE_FUNCTION(SIN), kMath, "dd", MODULE_FREE},
    {"COS", MODULE_FUNCTION(COS), kMath, "dd", MODULE_FREE},
    {"TAN", MODULE_FUNCTION(TAN), kMath, "dd", MODULE_FREE},
    {"ASIN", MODULE_FUNCTION(ASIN), kMath, "dd", MODULE_FREE},
    {"ACOS", MODULE_FUNCTION(ACOS), kMath, "dd", MODULE_FREE},
    {"ATAN", MODULE_FUNCTION(ATAN), kMath, "dd", MODULE_FREE},
    {"SINH", MODULE_FUNCTION(SINH), kMath, "dd", MODULE_FREE},
    {"COSH", MODULE_FUNCTION(COSH), kMath, "dd", MODULE_FREE},
    {"TANH", MODULE_FUNCTION(TANH), kMath, "dd", MODULE_FREE},
    {"ASINH", MODULE_FUNCTION(ASINH), kMath, "dd", MODULE_FREE},
    {"ACOSH", MODULE_FUNCTION(ACOSH), kMath, "dd", MODULE_FREE},
    {"ATANH", MODULE_FUNCTION(ATANH), kMath, "dd", MODULE_FREE},
    {"EXP", MODULE_FUNCTION(EXP), kMath, "dd", MODULE_FREE},
    {"LN", MODULE_FUNCTION(LN), kMath, "dd", MODULE_FREE},
    {"LOG", MODULE_FUNCTION(LOG), kMath, "dd", MODULE_FREE},
    {"POW", MODULE_FUNCTION(POW), kMath, "ddd", MODULE_FREE},
    {"RANDOMIZE", MODULE_FUNCTION(RANDOMIZE), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {"RND", MODULE_FUNCTION(RND), MODULE_FUNCTION_ROW, "d", MODULE_SIDE_EFFECTS},
    {"RNDEXP", MODULE_FUNCTION(RNDEXP), MODULE_FUNCTION_ROW, "d", MODULE_SIDE_EFFECTS},
    {"RNDGAUSS", MODULE_FUNCTION(RNDGAUSS), MODULE_FUNCTION_ROW, "d", MODULE_SIDE_EFFECTS},
    {"ROUND", MODULE_FUNCTION(ROUND), MODULE_FUNCTION_ROW, "dd", MODULE_FREE},
    {"TRUNC", MODULE_FUNCTION(TRUNC), MODULE_FUNCTION_ROW, "dd", MODULE_FREE},
    {"DELAYINIT", MODULE_FUNCTION(DELAYINIT), MODULE_PROCEDURE_ROW, "dd", MODULE_SIDE_EFFECTS},
    {nullptr, nullptr, 0, nullptr},
};

ModuleDescriptor descriptor = {0, 0, rows, kErrorKey};

} // namespace

ModuleDescriptor* BaseModuleRegister(const HostServices* services)
{
    host.isCompiling = services->isCompiling;
    host.alwaysFalse = services->alwaysFalse;
    host.requestErrorStop = services->requestErrorStop;
    host.moduleMessage = services->moduleMessage;
    host.stringConstant = services->stringConstant;
    return &descriptor;
}

double baseRandom(int64_t seed)
{
    if (seed < 0 || !rng.seeded) {
        rng.x1 = floorMod(C1 - seed, M1);
        rng.x1 = (A1 * rng.x1 + C1) % M1;
        rng.x2 = rng.x1 % M2;
        rng.x1 = (A1 * rng.x1 + C1) % M1;
        rng.x3 = rng.x1 % M3;
        for (double& entry : rng.table) {
            rng.x1 = (A1 * rng.x1 + C1) % M1;
            rng.x2 = (A2 * rng.x2 + C2) % M2;
            entry = tableEntry();
        }
        rng.seeded = true;
    }
    rng.x1 = (A1 * rng.x1 + C1) % M1;
    rng.x2 = (A2 * rng.x2 + C2) % M2;
    rng.x3 = (A3 * rng.x3 + C3) % M3;
    const int j = static_cast<int>((kTableSize * rng.x3) / M3);
    KYT_ASSERT(j >= 0 && j < kTableSize);
    rng.lastIndex = j;
    const double result = rng.table[j];
    rng.table[j] = tableEntry();
    return result;
}

int baseLastRandomIndex()
{
    return rng.lastIndex;
}

void resetBaseRandom()
{
    rng = RandomState();
}

void setBaseClock(BaseClock clock)
{
    clockSeam = clock ? clock : systemClock;
}

void setBaseGaussUniform(BaseUniform uniform)
{
    uniformSeam = uniform;
}
