#include "IdentTexts.h"

#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// "%.4lf" in the C locale, or every digit.
std::string coefficientText(double v, bool allDigits)
{
    if (allDigits)
        return formatDouble(v).text();
    char text[400];
    snprintf(text, sizeof text, "%.4f", v);
    // A German C library would write a comma.
    for (char* c = text; *c; ++c)
        if (*c == ',')
            *c = '.';
    return text;
}

std::string term(double v, char letter, int power, bool allDigits)
{
    return std::string(v < 0 ? " - " : " + ") + coefficientText(std::fabs(v), allDigits) + letter + "^" +
           std::to_string(power);
}

// Numerator line, fraction line, denominator line, then four empty lines.
std::string fraction(const std::vector<double>& numerator, const std::vector<double>& denominator, char letter,
                     const std::string& delay, bool allDigits)
{
    std::string top(7, ' ');
    int nb = static_cast<int>(numerator.size());
    for (int i = 0; i < nb; ++i)
        top += term(numerator[static_cast<size_t>(i)], letter, nb - 1 - i, allDigits);
    int na = static_cast<int>(denominator.size());
    std::string bottom(allDigits ? 19 : 13, ' ');
    bottom += std::string(1, letter) + "^" + std::to_string(na);
    for (int i = 0; i < na; ++i)
        bottom += term(denominator[static_cast<size_t>(i)], letter, na - 1 - i, allDigits);
    size_t longer = std::max(top.size(), bottom.size());
    std::string line = std::string("G(") + letter + ") = " + std::string(longer - 6, '-') + delay;
    return top + "\r\n" + line + "\r\n" + bottom + "\r\n\r\n\r\n\r\n\r\n";
}

std::string bracketed(const std::vector<double>& numerator, const std::vector<double>& denominator, char letter)
{
    return "(" + identPolynomialText(numerator.data(), static_cast<int>(numerator.size()), letter) + ")/(" +
           identPolynomialText(denominator.data(), static_cast<int>(denominator.size()), letter) + ")";
}

} // namespace

std::string identDiscreteDisplay(const double* theta, int nb, int na, int d, bool allDigits)
{
    std::vector<double> denominator(theta, theta + na);
    std::vector<double> numerator(theta + na, theta + na + nb);
    std::string delay = d != 0 ? "*z^(-" + std::to_string(d) + ")" : "";
    return fraction(numerator, denominator, 'z', delay, allDigits);
}

std::string identContinuousDisplay(const double* coefficients, int count, double deadTime, bool allDigits)
{
    // The conversion may return a lower order than asked for: its count
    // says which, and nothing past it is read.
    int r = count > 0 ? (count - 1) / 2 : 0;
    std::vector<double> denominator(coefficients, coefficients + r);
    std::vector<double> numerator(coefficients + r, coefficients + 2 * r + 1);
    std::string delay = deadTime > 0 ? "*exp(-s*" + coefficientText(deadTime, allDigits) + ")" : "";
    return fraction(numerator, denominator, 's', delay, allDigits);
}

std::string identPolynomialText(const double* p, int length, char letter)
{
    std::string text;
    for (int k = 0; k < length; ++k) {
        int power = length - 1 - k;
        if (p[k] == 0)
            continue;
        if (p[k] < 0)
            text += "-";
        else if (!text.empty())
            text += "+";
        text += formatDouble(std::fabs(p[k])).text();
        if (power > 1)
            text += std::string("*") + letter + "^" + std::to_string(power);
        else if (power == 1)
            text += std::string("*") + letter;
    }
    return text;
}

std::string identDiscreteTransfer(const double* theta, int nb, int na)
{
    std::vector<double> denominator(1, 1.0);
    denominator.insert(denominator.end(), theta, theta + na);
    std::vector<double> numerator(theta + na, theta + na + nb);
    return bracketed(numerator, denominator, 'z');
}

std::string identContinuousTransfer(const double* coefficients, int count)
{
    int r = count > 0 ? (count - 1) / 2 : 0;
    std::vector<double> denominator(1, 1.0);
    denominator.insert(denominator.end(), coefficients, coefficients + r);
    std::vector<double> numerator(coefficients + r, coefficients + 2 * r + 1);
    return bracketed(numerator, denominator, 's');
}

std::string identHandOverCommand(const std::string& transfer, double deadTime, double tsamp)
{
    return "CREATE Ident " + transfer + " " + formatDouble(deadTime).text() + " " + formatDouble(tsamp).text();
}
