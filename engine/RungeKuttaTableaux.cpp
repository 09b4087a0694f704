#include "RungeKuttaTableaux.h"

namespace {

// Classical Runge-Kutta: y + h/6·(k1 + 2·k2 + 2·k3 + k4).
const double kRk4A[4][kMaxStages] = {
    {0},
    {1.0 / 2},
    {0, 1.0 / 2},
    {0, 0, 1},
};
const double kRk4C[] = {0, 1.0 / 2, 1.0 / 2, 1};
const double kRk4B[] = {1.0 / 6, 1.0 / 3, 1.0 / 3, 1.0 / 6};

// Fehlberg 2(3): y + h/6·(k1 + k2 + 4·k3); the error h/3·(k1 + k2 − 2·k3) is
// the third-order state less the second-order one (the trapezoidal rule).
const double kF23A[3][kMaxStages] = {
    {0},
    {1},
    {1.0 / 4, 1.0 / 4},
};
const double kF23C[] = {0, 1, 1.0 / 2};
const double kF23B[] = {1.0 / 6, 1.0 / 6, 4.0 / 6};
const double kF23E[] = {1.0 / 3, 1.0 / 3, -2.0 / 3};

// England (1969): the fourth-order state advances; the error is the
// fifth-order state (14, 0, 0, 35, 162, 125)/336 less it.
const double kEnglandA[6][kMaxStages] = {
    {0},
    {1.0 / 2},
    {1.0 / 4, 1.0 / 4},
    {0, -1, 2},
    {7.0 / 27, 10.0 / 27, 0, 1.0 / 27},
    {28.0 / 625, -125.0 / 625, 546.0 / 625, 54.0 / 625, -378.0 / 625},
};
const double kEnglandC[] = {0, 1.0 / 2, 1.0 / 2, 1, 2.0 / 3, 1.0 / 5};
const double kEnglandB[] = {1.0 / 6, 0, 4.0 / 6, 1.0 / 6, 0, 0};
const double kEnglandE[] = {-42.0 / 336, 0, -224.0 / 336, -21.0 / 336, 162.0 / 336, 125.0 / 336};

// Runge-Kutta-Fehlberg 4(5): the fifth-order state advances (local
// extrapolation); the error is it less the fourth-order state.
const double kF45A[6][kMaxStages] = {
    {0},
    {1.0 / 4},
    {3.0 / 32, 9.0 / 32},
    {1932.0 / 2197, -7200.0 / 2197, 7296.0 / 2197},
    {439.0 / 216, -8, 3680.0 / 513, -845.0 / 4104},
    {-8.0 / 27, 2, -3544.0 / 2565, 1859.0 / 4104, -11.0 / 40},
};
const double kF45C[] = {0, 1.0 / 4, 3.0 / 8, 12.0 / 13, 1, 1.0 / 2};
const double kF45B[] = {16.0 / 135, 0, 6656.0 / 12825, 28561.0 / 56430, -9.0 / 50, 2.0 / 55};
const double kF45E[] = {1.0 / 360, 0, -128.0 / 4275, -2197.0 / 75240, 1.0 / 50, 2.0 / 55};

// Dormand-Prince 5(4): the seventh stage is the derivative at the new state.
const double kDp54A[7][kMaxStages] = {
    {0},
    {1.0 / 5},
    {3.0 / 40, 9.0 / 40},
    {44.0 / 45, -56.0 / 15, 32.0 / 9},
    {19372.0 / 6561, -25360.0 / 2187, 64448.0 / 6561, -212.0 / 729},
    {9017.0 / 3168, -355.0 / 33, 46732.0 / 5247, 49.0 / 176, -5103.0 / 18656},
    {35.0 / 384, 0, 500.0 / 1113, 125.0 / 192, -2187.0 / 6784, 11.0 / 84},
};
const double kDp54C[] = {0, 1.0 / 5, 3.0 / 10, 4.0 / 5, 8.0 / 9, 1, 1};
const double kDp54B[] = {35.0 / 384, 0, 500.0 / 1113, 125.0 / 192, -2187.0 / 6784, 11.0 / 84, 0};
const double kDp54E[] = {71.0 / 57600,      0,           -71.0 / 16695, 71.0 / 1920,
                         -17253.0 / 339200, 22.0 / 525, -1.0 / 40};

// Dormand-Prince 8: the stage weights and solution weights of the published
// DOP853 table (Hairer, Nørsett, Wanner, Solving ODE I).
const double kDp86A[12][kMaxStages] = {
    {0},
    {5.26001519587677318785587544488e-2},
    {1.97250569845378994544595329183e-2, 5.91751709536136983633785987549e-2},
    {2.95875854768068491816892993775e-2, 0, 8.87627564304205475450678981324e-2},
    {2.41365134159266685502369798665e-1, 0, -8.84549479328286085344864962717e-1,
     9.24834003261792003115737966543e-1},
    {3.7037037037037037037037037037e-2, 0, 0, 1.70828608729473871279604482173e-1,
     1.25467687566822425016691814123e-1},
    {3.7109375e-2, 0, 0, 1.70252211019544039314978060272e-1, 6.02165389804559606850219397283e-2,
     -1.7578125e-2},
    {3.70920001185047927108779319836e-2, 0, 0, 1.70383925712239993810214054705e-1,
     1.07262030446373284651809199168e-1, -1.53194377486244017527936158236e-2,
     8.27378916381402288758473766002e-3},
    {6.24110958716075717114429577812e-1, 0, 0, -3.36089262944694129406857109825e0,
     -8.68219346841726006818189891453e-1, 2.75920996994467083049415600797e1,
     2.01540675504778934086186788979e1, -4.34898841810699588477366255144e1},
    {4.77662536438264365890433908527e-1, 0, 0, -2.48811461997166764192642586468e0,
     -5.90290826836842996371446475743e-1, 2.12300514481811942347288949897e1,
     1.52792336328824235832596922938e1, -3.32882109689848629194453265587e1,
     -2.03312017085086261358222928593e-2},
    {-9.3714243008598732571704021658e-1, 0, 0, 5.18637242884406370830023853209e0,
     1.09143734899672957818500254654e0, -8.14978701074692612513997267357e0,
     -1.85200656599969598641566180701e1, 2.27394870993505042818970056734e1,
     2.49360555267965238987089396762e0, -3.0467644718982195003823669022e0},
    {2.27331014751653820792359768449e0, 0, 0, -1.05344954667372501984066689879e1,
     -2.00087205822486249909675718444e0, -1.79589318631187989172765950534e1,
     2.79488845294199600508499808837e1, -2.85899827713502369474065508674e0,
     -8.87285693353062954433549289258e0, 1.23605671757943030647266201528e1,
     6.43392746015763530355970484046e-1},
};
const double kDp86B[kMaxStages] = {
    5.42937341165687622380535766363e-2, 0, 0, 0, 0,
    4.45031289275240888144113950566e0,  1.89151789931450038304281599044e0,
    -5.8012039600105847814672114227e0,  3.1116436695781989440891606237e-1,
    -1.52160949662516078556178806805e-1, 2.01365400804030348374776537501e-1,
    4.47106157277725905176885569043e-2};

// Filled by prepareDormandPrince86.
double dp86C[kMaxStages];

// The error weights of the fifth-order estimate of the published DOP853
// code (the solution weights less a fifth-order row on the same stages).
// They annihilate every elementary weight up to the fifth order.
const double kDp86E5[kMaxStages] = {
    0.1312004499419488073250102996e-01, 0, 0, 0, 0,
    -0.1225156446376204440720569753e+01, -0.4957589496572501915214079952e+00,
    0.1664377182454986536961530415e+01,  -0.3503288487499736816886487290e+00,
    0.3341791187130174790297318841e+00,  0.8192320648511571246570742613e-01,
    -0.2235530786388629525884427845e-01};

} // namespace

// The sixth-order weight row whose difference from the solution weights is
// method 7's error estimate.
const double kDormandPrince86Alternative[kMaxStages] = {
    0.06331868142253823, 0, 0, 0, 0, 2.0, 1.1352628362511337, -2.715355126634072,
    0.05400729799378106, 0.20691433475418902, 0.21114136048465731, 0.04471061572777259};

const ButcherTableau kRungeKutta4 = {4, kRk4A, kRk4C, kRk4B, nullptr, false, 4};
const ButcherTableau kFehlberg23 = {3, kF23A, kF23C, kF23B, kF23E, false, 3};
const ButcherTableau kEngland45 = {6, kEnglandA, kEnglandC, kEnglandB, kEnglandE, false, 4};
const ButcherTableau kFehlberg45 = {6, kF45A, kF45C, kF45B, kF45E, false, 5};
const ButcherTableau kDormandPrince54 = {7, kDp54A, kDp54C, kDp54B, kDp54E, true, 5};
const ButcherTableau kDormandPrince86 = {12, kDp86A, dp86C, kDp86B, kDp86E5, false, 8};

double dormandPrince86ThirdOrder[kMaxStages];

void prepareDormandPrince86()
{
    for (int s = 0; s < kMaxStages; ++s) {
        double sum = 0;
        for (int j = 0; j < s; ++j)
            sum += kDp86A[s][j];
        dp86C[s] = sum;
        dormandPrince86ThirdOrder[s] = 0;
    }
    // w1 + w9 + w12 = 1, w9·c9 + w12 = 1/2, w9·c9² + w12 = 1/3 with c1 = 0
    // and c12 = 1: the quadrature of order 3 on these nodes (stages 9 and 12
    // satisfy the simplifying conditions, so it is of order 3 as a method).
    const double c9 = dp86C[8];
    const double w9 = 1.0 / (6 * c9 * (1 - c9));
    const double w12 = 0.5 - w9 * c9;
    dormandPrince86ThirdOrder[0] = 1 - w9 - w12;
    dormandPrince86ThirdOrder[8] = w9;
    dormandPrince86ThirdOrder[11] = w12;
}
