// The six recursive estimators of a discrete transfer function with dead time
//
//     G(z) = (b_m z^m + ... + b_0) / (z^n + a1 z^(n-1) + ... + an) * z^(-d)
//
// from one input/output sample pair per step. The parameter vector theta is
// a1 .. an, then b_m .. b_0, then (extended least squares only) the noise
// filter coefficients; IDGET, the result window and the wizard block index it
// in this order.
//
// The IDENT library drives the estimators through one table, `identMethods`,
// a row per method in method-number order. Every Meschach call of an
// estimator runs inside a MeschachGuard: a numerical failure of a step is
// reported as "ID_STEP : Mathematischer Fehler!" and stops the run.
#ifndef KYT_BLOCKS_ESTIMATORS_H
#define KYT_BLOCKS_ESTIMATORS_H

#include "Meschach.h"
#include "strings/IdentStrings.h"

// Texts of the estimators.
const unsigned int kTextParameterOutOfRange = kStrIdentParameterOutOfRange;
const unsigned int kTextMathError = kStrIdentMathError;
const unsigned int kTextIllegalParameter = kStrIdentIllegalParameter;

// The largest model order (denominator, and so numerator) and the most dead
// steps an estimator is made for; IDOPEN refuses more. A mended fault: an
// order of 100000 ended the program in a failed allocation, and 1e8 dead
// steps took seconds per step (the input history is shifted every step).
// The wizard offers orders up to 99; 10000 dead steps are a dead time of
// 10000 sampling periods, far beyond what a recursive estimator identifies.
const int kMaxIdentOrder = 99;
const int kMaxDeadSteps = 10000;

// One estimator as the IDENT library holds it: the model orders, the method
// parameters and the method's state.
struct EstimatorRecord {
    int method;      // row of identMethods
    int nb;          // numerator coefficients (numerator order + 1)
    int na;          // denominator order
    int d;           // dead steps
    double* params;  // paramInfo(-1) values, in the method's order
    void* state;     // from the method's create
};

// A row of the method table.
struct IdentMethod {
    unsigned int nameId;  // string id of the method's name
    // 1 when value is allowed for parameter index (na bounds some limits);
    // else reports " %s\n %s : %s" (method, parameter, 26967), asks for the
    // stop and returns 0. An index beyond the parameters gives 0 silently.
    int (*check)(int index, double value, int na);
    // The state for the orders; a failed allocation is a fatal assertion
    // naming the member.
    void* (*create)(int nb, int na, int d);
    // Initial state from the current parameters; full (1 from IDSETUP) lets
    // methods 2 and 3 re-create what depends on a parameter. Every parameter
    // is checked first: a refusal is reported, asks for the stop, keeps the
    // old state and gives 0; else 1.
    int (*reset)(EstimatorRecord* record, int full);
    // One update; the a-priori prediction error, 0 after a numerical failure
    // (reported, stop requested).
    double (*step)(EstimatorRecord* record, double u, double y);
    // The current parameter vector (owned by the state).
    const VEC* (*getTheta)(const EstimatorRecord* record);
    // Frees the state (record->state becomes null).
    void (*free)(EstimatorRecord* record);
    // -1: the parameter count; 0 .. count-1: the parameter's name id; any
    // other value: 26912.
    unsigned int (*paramInfo)(int i);
};

const int kIdentMethodCount = 6;
extern const IdentMethod identMethods[kIdentMethodCount];

// The default of parameter index of a method for denominator order na (the
// wizard's method table: Lambda 1; Alpha 10000 for methods 0, 2, 3 and 100
// for 1, 4, 5; Gamma 0.9; d 2; Filtergrad min(2, na)).
double defaultParameter(int method, int index, int na);

// Creates the state, sets the default parameters and resets, so that a step
// works without any parameter set. The record must be empty; the orders and
// dead steps within the bounds above (checked by the caller).
void openEstimator(EstimatorRecord* record, int method, int nb, int na, int d);
// Frees state and parameters; the record is empty afterwards.
void closeEstimator(EstimatorRecord* record);

#endif
