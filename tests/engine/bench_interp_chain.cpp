// Cost of one evaluation of interpreted CONT code against native code, on a
// chain of 50 first-order blocks compiled from model text: the engine's RK4
// step and the evaluation at the new point, once with the CONT code and once
// with the same equations written in C++. Prints the cost per evaluation and
// the ratio; asserts nothing about time. Meant for an optimised build.
//
//   bench_interp_chain [steps] [listing file or -] [rounds]
//
// The chain: a source of 1, then 50 blocks x' = (u - x)/T with y = x, each
// block's y the next one's u, every T = 0.5. After 2*10^5 steps of 0.001
// (t = 200) both runs agree to 1e-12.
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
#include <string>
#include <vector>
#include <algorithm>

namespace {

const int N = 50;

std::string chainModel()
{
    std::string m = "BLOCK Quelle;\n"
                    "OUTPUT y;\n"
                    "SIM\n"
                    "  y = 1.;\n"
                    "ENDSIM\n"
                    "ENDBLOCK Quelle;\n"
                    "\n"
                    "BLOCK Glied;\n"
                    "INPUT u;\n"
                    "OUTPUT y;\n"
                    "PARAMETER T = 0.5;\n"
                    "STATE x = 0.;\n"
                    "SIM\n"
                    "  x .= (u - x)/T;\n"
                    "  y = x;\n"
                    "ENDSIM\n"
                    "ENDBLOCK Glied;\n"
                    "\n"
                    "CIRCUIT Kette;\n"
                    "USE Quelle AS q\n"
                    "ENDUSE\n";
    for (int i = 1; i <= N; ++i)
        m += "USE Glied AS g" + std::to_string(i) + "\nENDUSE\n";
    m += "CONNECT q.y TO g1.u;\n";
    for (int i = 1; i < N; ++i)
        m += "CONNECT g" + std::to_string(i) + ".y TO g" + std::to_string(i + 1) + ".u;\n";
    m += "SAVE g" + std::to_string(N) + ".y;\n";
    m += "ENDCIRCUIT Kette;\n";
    return m;
}

// The same equations; the states in the order the compiler gives them,
// which is the order of the blocks (checked in main).
// The time constants are the loaded program's parameters, as a program of
// these equations would read them.
double T[N];

__attribute__((noinline)) int nativeChain(double, double* S, double*, double*, double* D)
{
    double u = 1.;
    for (int i = 0; i < N; ++i) {
        D[i] = (u - S[i]) / T[i];
        u = S[i];
    }
    return 0;
}


// steps of the engine's RK4 from the initial states, each followed by the
// evaluation at the new point (which gives the next step its derivatives).
// The end states go into end.
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

// The native run costs almost nothing besides the step's own arithmetic;
// a run with an empty model gives that share, which both runs contain.
__attribute__((noinline)) int emptyModel(double, double*, double*, double*, double* D)
{
    for (int i = 0; i < N; ++i)
        D[i] = 0;
    return 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const long steps = argc > 1 ? atol(argv[1]) : 200000;
    const double h = 1e-3;

    disableErrorLog();
    const std::string model = chainModel();
    FILE* text = fmemopen(const_cast<char*>(model.data()), model.size(), "r");
    CompileRequest request;
    if (argc > 2 && strcmp(argv[2], "-") != 0)
        request.listingFile = argv[2];
    if (!text || compileModelStream(text, request) != COMPILE_LOADED) {
        fprintf(stderr, "the chain model does not compile\n");
        return 1;
    }
    fclose(text);
    if (piProgram.nstates != N) {
        fprintf(stderr, "the chain model has %d states\n", piProgram.nstates);
        return 1;
    }
    // The native function relies on the states in block order.
    for (int i = 0, k = 0; i < piProgram.nsymbols; ++i) {
        const PiSymbol& s = piProgram.symbols[i];
        if (s.kind != PI_STATE)
            continue;
        const std::string want = "g" + std::to_string(k + 1) + "_x";
        if (want != s.name) {
            fprintf(stderr, "state %d is %s, not %s\n", k, s.name, want.c_str());
            return 1;
        }
        ++k;
    }
    for (int i = 0; i < N; ++i)
        T[i] = piProgram.value[i];
    // The integrator evaluates the model (phase 0).
    runState.phase = 0;

    // Rounds of the four runs in turn, each figure the median of its
    // rounds: the machine is shared, and a round may be slowed down.
    const int rounds = argc > 3 ? atoi(argv[3]) : 5;
    double interpreted[N], native[N], empty[N], plain[N];
    std::vector<double> fusedTimes, plainTimes, nativeTimes, emptyTimes;
    const int instructions = piProgram.cont.count;
    for (int round = 0; round < rounds; ++round) {
        setModelFunction(nullptr);
        fusedTimes.push_back(run(steps, h, interpreted));
        // The same code as loaded, without the loader's fused copy.
        PiInstruction* fused = piProgram.cont.fused;
        piProgram.cont.fused = nullptr;
        plainTimes.push_back(run(steps, h, plain));
        piProgram.cont.fused = fused;
        setModelFunction(nativeChain);
        nativeTimes.push_back(run(steps, h, native));
        setModelFunction(emptyModel);
        emptyTimes.push_back(run(steps, h, empty));
        setModelFunction(nullptr);
    }
    const double ti = median(fusedTimes);
    const double tp = median(plainTimes);
    const double tn = median(nativeTimes);
    const double te = median(emptyTimes);

    double difference = 0;
    for (int i = 0; i < N; ++i) {
        difference = std::fmax(difference, std::fabs(interpreted[i] - native[i]));
        difference = std::fmax(difference, std::fabs(plain[i] - native[i]));
    }
    const double evaluationsPerRun = 4.0 * steps;
    printf("%d-state chain, %ld RK4 steps of %g, 4 evaluations each, CONT code of %d "
           "instructions\n",
           N, steps, h, instructions);
    printf("whole run (median of %d rounds): interpreted %.3f s (without fusing %.3f s), native "
           "%.3f s, empty model %.3f s\n",
           rounds, ti, tp, tn, te);
    printf("per evaluation (step arithmetic included): interpreted %.1f ns, native %.1f ns\n",
           ti / evaluationsPerRun * 1e9, tn / evaluationsPerRun * 1e9);
    printf("end states: x%d interpreted %.15f, native %.15f\n", N, interpreted[N - 1],
           native[N - 1]);
    printf("largest difference %.3g (%s 1e-12)\n", difference,
           difference <= 1e-12 ? "within" : "NOT within");
    printf("ratio interpreted/native = %.2f (target at most 4); without fusing %.2f\n",
           tn > 0 ? ti / tn : 0.0, tn > 0 ? tp / tn : 0.0);
    releaseCompiledModel();
    return difference <= 1e-12 ? 0 : 1;
}
