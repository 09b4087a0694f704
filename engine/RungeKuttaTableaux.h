// The coefficient tables of the explicit Runge-Kutta methods: the classical
// fourth-order method that the step doubling of method 2 runs, and the
// embedded pairs of methods 3 to 7. Compiled-in constants; the twelve-stage
// Dormand-Prince table derives its nodes and error weights when the method is
// selected.
#ifndef KYT_ENGINE_RUNGEKUTTATABLEAUX_H
#define KYT_ENGINE_RUNGEKUTTATABLEAUX_H

// Most stages of a table (Dormand-Prince 8(6)).
const int kMaxStages = 12;

struct ButcherTableau {
    int stages;
    // a[s][j]: the weight of stage j in the state of stage s (j < s), rows
    // and columns counted from 0.
    const double (*a)[kMaxStages];
    const double* c;       // nodes: stage s runs at t + c[s]·h
    const double* b;       // weights of the new state
    const double* e;       // error weights: the error is h·Σ e_j·k_j; null: none
    // The last stage runs at the new point (its row equals b, its node is
    // 1), so its evaluation is that of the new state (first same as last).
    bool lastStageAtNewPoint;
    int order;             // order of the new state
};

// Method 2's step: the classical fourth-order Runge-Kutta method.
extern const ButcherTableau kRungeKutta4;
// Method 3: the three-stage pair of orders 2 and 3.
extern const ButcherTableau kFehlberg23;
// Method 4: England's six-stage fourth-order method.
extern const ButcherTableau kEngland45;
// Method 5: Runge-Kutta-Fehlberg 4(5), advancing with the fifth order.
extern const ButcherTableau kFehlberg45;
// Method 6: Dormand-Prince 5(4).
extern const ButcherTableau kDormandPrince54;
// Method 7: Dormand-Prince 8(6). Its nodes are zero until
// prepareDormandPrince86 has run. Its error weights e are those of the
// fifth-order estimate of the published DOP853 estimator.
extern const ButcherTableau kDormandPrince86;

// The second weight row of method 7 (sixth order). Mended: its difference
// from the solution weights was the error estimate, but the row gives stage
// 12 the solution's own weight, so a step that blows up in its last stage
// measured as accurate (Robertson's problem took such a step). Method 7
// estimates its error as the published DOP853 code does, from a fifth- and
// a third-order estimate that both weigh stage 12.
extern const double kDormandPrince86Alternative[kMaxStages];

// The weights of the third-order estimate: on stages 1, 9 and 12 only;
// the third-order error weights are the solution weights less these.
// Filled by prepareDormandPrince86.
extern double dormandPrince86ThirdOrder[kMaxStages];

// Derives method 7's nodes (the row sums of its stage weights) and its
// third-order weights (the quadrature of order 3 on the nodes of stages 1, 9
// and 12).
void prepareDormandPrince86();

#endif
