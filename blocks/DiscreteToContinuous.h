// Conversion of an identified G(z) into a continuous G(s), assuming a
// zero-order hold (output mode 2, shown as Gh0) or a first-order hold, i.e.
// linear interpolation between the samples (output mode 3, shown as Ghp).
//
// Both realise G(z) in controllable canonical form, take the matrix
// logarithm of the transition matrix augmented by the input column, and turn
// the continuous realisation, reduced to its controllable and observable
// part, back into polynomials. All of it runs under one MeschachGuard, and
// every iteration in it has a bound: the conversion always returns.
#ifndef KYT_BLOCKS_DISCRETETOCONTINUOUS_H
#define KYT_BLOCKS_DISCRETETOCONTINUOUS_H

#include <vector>

// The output modes of the result window that convert.
const int kZeroOrderHold = 2;
const int kFirstOrderHold = 3;

// G(z) is given as the estimators' parameter vector: a1 .. an, then
// b_m .. b_0 (nb = m + 1 <= na + 1 numerator coefficients), na >= 1.
//
// On success the result holds 2r + 1 numbers for the G(s) of order r:
// elements 0 .. r-1 the denominator coefficients below the leading 1
// (s^r + c0 s^(r-1) + ... + c(r-1)), elements r .. 2r the numerator
// coefficients from s^r down to s^0. False (result empty) when the
// conversion fails: a pole at z = 0, a theta that is not finite, an
// augmented matrix without a real logarithm (a real pole at z < 0 without
// its twin; the principal logarithm would be complex) or whose logarithm
// does not reproduce it, or a realisation that reduces to order 0.
bool convertToContinuous(int hold, const double* theta, int nb, int na, double tsamp,
                         std::vector<double>& result);

#endif
