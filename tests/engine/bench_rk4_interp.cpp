// Speed of a simulation step on interpreted PI code against native code:
// the engine's RK4 step and the evaluation at the new point, on a
// three-state loop compiled from model text, once with the CONT code and
// once with the same model written in C++. Prints figures; asserts nothing
// about time. Meant for an optimised build.
//
//   bench_rk4_interp [steps]
//
// The loop x1' = 2 (1 - x3) - x1, x2' = x1 - x2, x3' = x2 - x3 settles at
// x1 = x2 = x3 = 2/3 (x3 = 2 (1 - x3)); after 10^6 steps of 0.001 it is
// there to the last digits, and both runs agree to 1e-12.
#include "CompileRoad.h"

#include "Integrators.h"
#include "PiProgram.h"
#include "RunState.h"

#include "ErrorReporter.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kModel[] = "BLOCK Kette;\n"
                      "STATE x1 = 0.; x2 = 0.; x3 = 0.;\n"
                      "SIM\n"
                      "  x1 .= 2*(1 - x3) - x1;\n"
                      "  x2 .= x1 - x2;\n"
                      "  x3 .= x2 - x3;\n"
                      "ENDSIM\n"
                      "ENDBLOCK Kette;\n"
                      "\n"
                      "CIRCUIT Schleife;\n"
                      "USE Kette AS K\n"
                      "ENDUSE\n"
                      "SAVE K.x3;\n"
                      "ENDCIRCUIT Schleife;\n";

const int N = 3;

__attribute__((noinline)) int nativeLoop(double, double* S, double*, double*, double* D)
{
    D[0] = 2 * (1 - S[2]) - S[0];
    D[1] = S[0] - S[1];
    D[2] = S[1] - S[2];
    return 0;
}

// steps of the engine's RK4 from the initial states, each followed by the
// evaluation at the new point (which gives the next step its derivatives),
// as the simulator's states 5 and 2 do. The end states go into end.
double run(long steps, double h, double* end)
{
    PiProgram& p = piProgram;
    SimParams settings = defaultSimParams();
    settings.INITSTEP = h;
    StepFunction step = selectIntegrator(settings, kMethodRungeKutta4);
    ModelFunction model = modelFunction();
    double* y = p.state[1];
    double* yNew = p.state[2];
    double* D = p.derivative;
    memcpy(y, p.state[0], sizeof(double) * N);
    double t = 0, proposal = 0;
    model(t, y, nullptr, nullptr, D);

    auto start = std::chrono::steady_clock::now();
    for (long s = 0; s < steps; ++s) {
        step(t, h, y, D, nullptr, nullptr, &proposal, yNew);
        t += h;
        model(t, yNew, nullptr, nullptr, D);
        double* swap = y;
        y = yNew;
        yNew = swap;
    }
    auto stop = std::chrono::steady_clock::now();
    freeIntegrator(kMethodRungeKutta4);
    memcpy(end, y, sizeof(double) * N);
    return std::chrono::duration<double>(stop - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const long steps = argc > 1 ? atol(argv[1]) : 1000000;
    const double h = 1e-3;

    disableErrorLog();
    FILE* text = fmemopen(const_cast<char*>(kModel), strlen(kModel), "r");
    if (!text || compileModelStream(text) != COMPILE_LOADED) {
        fprintf(stderr, "the loop model does not compile\n");
        return 1;
    }
    fclose(text);
    if (piProgram.nstates != N) {
        fprintf(stderr, "the loop model has %d states\n", piProgram.nstates);
        return 1;
    }
    // The integrator evaluates the model (phase 0).
    runState.phase = 0;

    double interpreted[N], native[N];
    setModelFunction(nullptr);
    const double ti = run(steps, h, interpreted);
    const int instructions = piProgram.cont.count;
    setModelFunction(nativeLoop);
    const double tn = run(steps, h, native);
    setModelFunction(nullptr);

    double difference = 0;
    for (int i = 0; i < N; ++i)
        difference = std::fmax(difference, std::fabs(interpreted[i] - native[i]));
    printf("%ld RK4 steps of %g, 4 evaluations each, CONT code of %d instructions\n", steps, h,
           instructions);
    printf("interpreted: %.3f s    native: %.3f s\n", ti, tn);
    printf("end states interpreted: %.15f %.15f %.15f\n", interpreted[0], interpreted[1],
           interpreted[2]);
    printf("end states native:      %.15f %.15f %.15f\n", native[0], native[1], native[2]);
    printf("largest difference %.3g (%s 1e-12); x3 - 2/3 = %.3g\n", difference,
           difference <= 1e-12 ? "within" : "NOT within", native[2] - 2.0 / 3.0);
    printf("ratio interpreted/native = %.1f\n", tn > 0 ? ti / tn : 0.0);
    releaseCompiledModel();
    return difference <= 1e-12 ? 0 : 1;
}
