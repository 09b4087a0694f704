// The texts of an identification result: the two-line fraction the result
// window shows, and the one-line transfer function that goes to the
// clipboard and to the outside program over DDE.
#ifndef KYT_BLOCKS_IDENTTEXTS_H
#define KYT_BLOCKS_IDENTTEXTS_H

#include <string>

// G(z) from theta (a1 .. an, then b_m .. b_0), nb = m + 1 numerator and na
// denominator coefficients, d dead steps. allDigits writes every digit
// instead of four decimals.
std::string identDiscreteDisplay(const double* theta, int nb, int na, int d, bool allDigits);

// G(s) from the conversion's vector of count = 2r + 1 coefficients (r
// denominator coefficients below the leading 1, then r + 1 numerator
// coefficients from s^r down) and the dead time.
std::string identContinuousDisplay(const double* coefficients, int count, double deadTime, bool allDigits);

// A polynomial of length coefficients, highest power first, in letter:
// "1.*z^2-1.5*z+0.7"; zero terms are left out, so all zeros give "".
std::string identPolynomialText(const double* p, int length, char letter);

// "(numerator)/(denominator)" of G(z) from theta, or of G(s) from the
// converted vector.
std::string identDiscreteTransfer(const double* theta, int nb, int na);
std::string identContinuousTransfer(const double* coefficients, int count);

// The command the outside program "KYTWork" gets:
// "CREATE Ident <transfer> <dead time> <Tsamp>".
std::string identHandOverCommand(const std::string& transfer, double deadTime, double tsamp);

#endif
