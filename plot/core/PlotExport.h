// The plot's points as text files: ASCII columns (a header of names, one
// line per point) and a MATLAB command file (one vector per name and a
// plot call), and the check of a scale typed into the options dialog.
#ifndef KYT_PLOT_CORE_PLOTEXPORT_H
#define KYT_PLOT_CORE_PLOTEXPORT_H

#include "PlotModel.h"
#include "String.h"

#include <cstdio>
#include <vector>

// Both write nothing at all when there are no points. Every signal is
// written, shown or not; a value missing from a point is written as 0.
// false when a write failed.
bool exportAscii(const PlotModel& model, FILE* f);
bool exportMatlab(const PlotModel& model, FILE* f);

// A number as the exports write it: formatDouble, but "Inf", "-Inf" and
// "NaN" for the values that MATLAB and Octave read back.
String exportNumber(double v);

// The variable names of a MATLAB file: the x title first, then each
// signal; every one a valid name that is no keyword, none twice.
std::vector<String> matlabNames(const PlotModel& model);

// A scale text of the options dialog: it must read as a number field does
// (NumberField.h: a decimal comma counts as a point), must not be negative and
// must be at least kPlotMinScale. True with the value stored.
const double kPlotMinScale = 2.220446049250313e-16;
bool parseScaleText(const char* text, double* value);

#endif
