// What the tests and the benchmark of the integration methods share: a
// method selected for a native right-hand side of n states (no PI program
// loaded), a driver loop that steps like the simulator's states 4 and 5, and
// a recorder of the messages that moduleMessage queues.
#ifndef KYT_TESTS_ENGINE_INTEGRATORTESTSUPPORT_H
#define KYT_TESTS_ENGINE_INTEGRATORTESTSUPPORT_H

#include "DiscreteFlags.h"
#include "HostServices.h"
#include "Integrators.h"
#include "PiProgram.h"
#include "RunState.h"
#include "SimParams.h"

#include <functional>
#include <string>
#include <vector>

namespace inttest {

// Messages that moduleMessage queued, with the error reporter's level
// (ERR_ERROR for level 1, ERR_MESSAGE for level 2).
struct Queued {
    int level;
    std::string text;
};
inline std::vector<Queued> queued;
inline void recordQueued(int level, const char* text) { queued.push_back({level, text}); }

// The right-hand side of a test: f(t, y) into D.
using Rhs = std::function<void(double t, const double* y, double* D)>;
inline Rhs rhs;
inline long evaluations = 0;

inline int nativeModel(double t, double* S, double*, double*, double* D)
{
    ++evaluations;
    rhs(t, S, D);
    return 0;
}

// Settings that accept every step of a variable-step method.
inline SimParams acceptingEverything()
{
    SimParams s = defaultSimParams();
    s.RELERR = 1e300;
    return s;
}

// A method selected for a native right-hand side of n states; undone at
// the end of the scope.
class SelectedMethod {
public:
    SelectedMethod(int method, int n, Rhs f, const SimParams& settings = defaultSimParams())
        : methodNumber(method), stateWork(static_cast<size_t>(n)), savedStates(piProgram.nstates),
          savedWork(piProgram.stateWork)
    {
        queued.clear();
        HostSeams seams = {};
        seams.queueDeferredMessage = recordQueued;
        setHostSeams(&seams);
        rhs = std::move(f);
        evaluations = 0;
        piProgram.nstates = n;
        piProgram.stateWork = stateWork.data();
        setModelFunction(nativeModel);
        runState.phase = 0;
        clearStepFlagChanged();
        step = selectIntegrator(settings, method);
        integratorShared.rejected = false;
    }
    ~SelectedMethod()
    {
        if (step)
            freeIntegrator(methodNumber);
        setModelFunction(nullptr);
        setHostSeams(nullptr);
        piProgram.nstates = savedStates;
        piProgram.stateWork = savedWork;
        clearStepFlagChanged();
        runState.phase = 0;
    }
    SelectedMethod(const SelectedMethod&) = delete;
    SelectedMethod& operator=(const SelectedMethod&) = delete;

    StepFunction step = nullptr;

private:
    int methodNumber;
    std::vector<double> stateWork;
    int savedStates;
    double* savedWork;
};

struct RunFigures {
    std::vector<double> y;
    double t = 0;
    long accepted = 0;
    long rejected = 0;
    bool ended = false;        // reached tEnd
    int lastResult = 0;
};

// What happens at an accepted point before the next step: may change the
// states (an event). Gets t and the states.
using PointHook = std::function<void(double t, double* y)>;

// Steps like the simulator: h starts at INITSTEP, a step ends on the next
// landing time (and on tEnd), h is clamped to MAXSTEP, a rejection retries
// with the proposal, and the derivatives at each accepted point come from
// the right-hand side. Stops at tEnd, after maxSteps tries, when h falls
// below MINSTEP or when the method gives up (result 2).
inline RunFigures drive(StepFunction step, const SimParams& s, std::vector<double> y0,
                        double tEnd, std::vector<double> landings = {},
                        PointHook atPoint = nullptr, long maxSteps = 1000000)
{
    const size_t n = y0.size();
    RunFigures r;
    std::vector<double> y = std::move(y0), yNew(n), D(n);
    double dc[1] = {0}, dn[1] = {0};
    double t = 0, h = s.INITSTEP;
    size_t nextLanding = 0;
    rhs(t, y.data(), D.data());
    for (long tries = 0; tries < maxSteps; ++tries) {
        while (nextLanding < landings.size() && landings[nextLanding] <= t + kTimeEpsilon)
            ++nextLanding;
        const double target = nextLanding < landings.size() ? landings[nextLanding] : tEnd;
        const double d = (target < tEnd ? target : tEnd) - t;
        if (d - kTimeEpsilon < h)
            h = d;
        else if (d - s.MINSTEP < h)
            h = d / 2;
        if (h > s.MAXSTEP)
            h = s.MAXSTEP;
        double proposal = h;
        runState.phase = 0;
        const int result = step(t, h, y.data(), D.data(), dc, dn, &proposal, yNew.data());
        r.lastResult = result;
        if (result != 0) {
            ++r.rejected;
            if (result == 2 || !(proposal >= s.MINSTEP))
                break;
            h = proposal;
            continue;
        }
        ++r.accepted;
        t = t + h;
        y.swap(yNew);
        h = proposal;
        if (atPoint)
            atPoint(t, y.data());
        rhs(t, y.data(), D.data());
        if (t >= tEnd - kTimeEpsilon) {
            r.ended = true;
            break;
        }
    }
    r.t = t;
    r.y = y;
    return r;
}

} // namespace inttest

#endif
