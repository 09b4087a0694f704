// Speed of the PI-code interpreter: a fixed-step RK4 over the CONT code of a
// two-mass oscillator (4 states, one SIN call), against the same model in
// native code. Prints figures; asserts nothing about time.
//
//   bench_interpreter [steps]
#include "ModuleRegistry.h"
#include "PiInterpreter.h"
#include "PiLoader.h"
#include "PiOpcodes.h"
#include "PiTextBuffer.h"
#include "RunState.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// x1' = x2, x2' = -k1 x1 - c1 x2 + k2 e, x3' = x4, x4' = -k2 e - c2 x4 + f
// with e = x3 - x1 and f = F sin(w t).
const char kModel[] = R"PI(// PI-code for the interpreter benchmark
EXAMPLE "bench"

INDEP
   "t"   0.0 SAVE
STATES   4
   "m_x1"  1.  SAVE // 0
   "m_x2"  0.   // 1
   "m_x3"  0.  SAVE // 2
   "m_x4"  0.   // 3
DERIV
   "dm_x1"   // 0
   "dm_x2"   // 1
   "dm_x3"   // 2
   "dm_x4"   // 3
DSTATES  0
VARS     4
   "m_e"   // 0
   "m_f"   // 1
   // return of INIT  2
   // return of CONT  3
PARAMS   6
   "m_k1"  4.   // 0
   "m_c1"  0.1   // 1
   "m_k2"  2.   // 2
   "m_c2"  0.2   // 3
   "m_F"  0.5   // 4
   "m_w"  1.3   // 5
EVENTS   0
DELAYS   0
INIT
   PUSH  0
   POP   V 2  // return
   PUSH  V 2  // return
   END

CONT
   PUSH  0
   POP   V 3  // return

#line 10
   PUSH  S 2  // m_x3
   PUSH  S 0  // m_x1
   FUNC  SUB
   POP   V 0  // m_e

#line 11
   PUSH  P 4  // m_F
   PUSH  P 5  // m_w
   PUSH  T
   FUNC  MUL
   FUNC  UFUNC 1 "SIN"
   FUNC  MUL
   POP   V 1  // m_f

#line 12
   PUSH  S 1  // m_x2
   POP   D 0  // m_x1

#line 13
   PUSH  P 0  // m_k1
   PUSH  S 0  // m_x1
   FUNC  MUL
   FUNC  CHS
   PUSH  P 1  // m_c1
   PUSH  S 1  // m_x2
   FUNC  MUL
   FUNC  SUB
   PUSH  P 2  // m_k2
   PUSH  V 0  // m_e
   FUNC  MUL
   FUNC  ADD
   POP   D 1  // m_x2

#line 14
   PUSH  S 3  // m_x4
   POP   D 2  // m_x3

#line 15
   PUSH  P 2  // m_k2
   PUSH  V 0  // m_e
   FUNC  MUL
   FUNC  CHS
   PUSH  P 3  // m_c2
   PUSH  S 3  // m_x4
   FUNC  MUL
   FUNC  SUB
   PUSH  V 1  // m_f
   FUNC  ADD
   POP   D 3  // m_x4

   PUSH  V 3  // return
   END

DISCRET  0
)PI";

const int N = 4;

// The parameters of the native model, read through a pointer as the
// interpreter reads its value array.
double nativeParameters[6] = {4, 0.1, 2, 0.2, 0.5, 1.3};
double nativeVariables[2];

__attribute__((noinline)) int nativeModel(double t, const double* S, double* D)
{
    const double* p = nativeParameters;
    double* v = nativeVariables;
    v[0] = S[2] - S[0];
    v[1] = p[4] * std::sin(p[5] * t);
    D[0] = S[1];
    D[1] = -(p[0] * S[0]) - p[1] * S[1] + p[2] * v[0];
    D[2] = S[3];
    D[3] = -(p[2] * v[0]) - p[3] * S[3] + v[1];
    return 0;
}

int interpretedModel(double t, const double* S, double* D)
{
    return runContCode(t, const_cast<double*>(S), nullptr, nullptr, D);
}

// Classic RK4 with the model evaluated four times per step.
template <class Model>
void rk4(Model model, double* y, double h, long steps)
{
    double k1[N], k2[N], k3[N], k4[N], w[N];
    double t = 0;
    for (long s = 0; s < steps; ++s) {
        model(t, y, k1);
        for (int i = 0; i < N; ++i)
            w[i] = y[i] + 0.5 * h * k1[i];
        model(t + 0.5 * h, w, k2);
        for (int i = 0; i < N; ++i)
            w[i] = y[i] + 0.5 * h * k2[i];
        model(t + 0.5 * h, w, k3);
        for (int i = 0; i < N; ++i)
            w[i] = y[i] + h * k3[i];
        model(t + h, w, k4);
        for (int i = 0; i < N; ++i)
            y[i] += h / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]);
        t += h;
    }
}

double seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

} // namespace

int main(int argc, char** argv)
{
    const long steps = argc > 1 ? atol(argv[1]) : 1000000;
    const double h = 1e-3;

    if (ModuleRegistryLoad() != 0)
        return 1;
    codeBufferPrintf(&piTextBuffer, "%s", kModel);
    flushCodeBuffer(&piTextBuffer);
    if (!loadPICode("bench", 1024))
        return 1;
    runState.phase = 0;
    const int perEvaluation = piProgram.cont.count;

    double yi[N] = {1, 0, 0, 0};
    double yn[N] = {1, 0, 0, 0};
    auto t0 = std::chrono::steady_clock::now();
    rk4(interpretedModel, yi, h, steps);
    auto t1 = std::chrono::steady_clock::now();
    rk4(nativeModel, yn, h, steps);
    auto t2 = std::chrono::steady_clock::now();

    const double ti = seconds(t0, t1);
    const double tn = seconds(t1, t2);
    const double evaluations = 4.0 * static_cast<double>(steps);
    double difference = 0;
    for (int i = 0; i < N; ++i)
        difference = std::fmax(difference, std::fabs(yi[i] - yn[i]));

    printf("RK4, %ld steps of %g, %d instructions per CONT run (one SIN call)\n", steps, h,
           perEvaluation);
    printf("interpreted: %8.3f s  %7.1f ns per CONT run  %7.1f million instructions/s\n", ti,
           1e9 * ti / evaluations, evaluations * perEvaluation / ti / 1e6);
    printf("native:      %8.3f s  %7.1f ns per model call\n", tn, 1e9 * tn / evaluations);
    printf("ratio interpreted/native: %.2f\n", ti / tn);
    printf("largest state difference at the end: %.3g (x1 = %.12f)\n", difference, yi[0]);

    unloadPICode();
    ModuleRegistryFree();
    return 0;
}
