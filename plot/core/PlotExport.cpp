#include "PlotExport.h"

#include "NumberField.h"
#include "NumberFormat.h"
#include "TextHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

// Octave's iskeyword list, and "plot", which the file calls at its end.
const char* const kReservedNames[] = {
    "__FILE__", "__LINE__", "break", "case", "catch", "classdef", "continue", "do", "else", "elseif", "end",
    "end_try_catch", "end_unwind_protect", "endclassdef", "endenumeration", "endevents", "endfor", "endfunction",
    "endif", "endmethods", "endparfor", "endproperties", "endspmd", "endswitch", "endwhile", "enumeration",
    "events", "for", "function", "global", "if", "methods", "otherwise", "parfor", "persistent", "properties",
    "return", "spmd", "switch", "try", "until", "unwind_protect", "unwind_protect_cleanup", "while", "plot"};

bool reserved(const std::string& name)
{
    for (const char* r : kReservedNames)
        if (name == r)
            return true;
    return false;
}

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isNameChar(char c)
{
    return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_';
}

// A name that Octave reads as one variable of its own: other characters
// (umlauts, brackets, blanks) become "_", and a name that does not start
// with a letter, or is a keyword, gets "v" in front.
std::string validName(const char* text)
{
    std::string name = text ? text : "";
    for (char& c : name)
        if (!isNameChar(c))
            c = '_';
    if (name.empty() || !isAsciiLetter(name[0]) || reserved(name))
        name = "v" + name;
    return name;
}

double valueAt(const PlotPoint& p, size_t i)
{
    return i < p.values.size() ? p.values[i] : 0.0;
}

bool put(FILE* f, const char* text)
{
    return std::fputs(text, f) >= 0;
}

} // namespace

String exportNumber(double v)
{
    if (std::isnan(v))
        return String("NaN");
    if (std::isinf(v))
        return String(v > 0 ? "Inf" : "-Inf");
    return formatDouble(v);
}

std::vector<String> matlabNames(const PlotModel& model)
{
    std::vector<std::string> used;
    std::vector<String> names;
    auto add = [&](const char* text) {
        std::string base = validName(text);
        std::string name = base;
        for (int n = 2; std::find(used.begin(), used.end(), name) != used.end(); ++n)
            name = base + "_" + std::to_string(n);
        used.push_back(name);
        names.push_back(String(name.c_str()));
    };
    add(model.title().text());
    for (int i = 0; i < model.nSignals; ++i)
        add(model.signalName(i).text());
    return names;
}

bool exportAscii(const PlotModel& model, FILE* f)
{
    const std::vector<PlotPoint>& points = model.points();
    if (points.empty())
        return true;
    bool ok = put(f, "#") && put(f, blanksToUnderscores(model.title().text()).text());
    for (int i = 0; i < model.nSignals; ++i)
        ok = ok && put(f, " ") && put(f, blanksToUnderscores(model.signalName(i).text()).text());
    ok = ok && put(f, "\n");
    for (const PlotPoint& p : points) {
        ok = ok && put(f, exportNumber(p.t).text());
        for (int i = 0; i < model.nSignals; ++i)
            ok = ok && put(f, " ") && put(f, exportNumber(valueAt(p, static_cast<size_t>(i))).text());
        ok = ok && put(f, "\n");
        if (!ok)
            break;
    }
    return ok;
}

bool exportMatlab(const PlotModel& model, FILE* f)
{
    const std::vector<PlotPoint>& points = model.points();
    if (points.empty())
        return true;
    const std::vector<String> names = matlabNames(model);
    bool ok = true;
    // Column -1 is t, the others the signals.
    for (int column = -1; ok && column < model.nSignals; ++column) {
        ok = put(f, names[static_cast<size_t>(column + 1)].text()) && put(f, " = [\n");
        for (size_t k = 0; ok && k < points.size(); ++k) {
            const PlotPoint& p = points[k];
            double v = column < 0 ? p.t : valueAt(p, static_cast<size_t>(column));
            ok = (k == 0 || put(f, ",\n")) && put(f, exportNumber(v).text());
        }
        ok = ok && put(f, "];\n");
    }
    ok = ok && put(f, "plot(");
    for (int i = 0; ok && i < model.nSignals; ++i)
        ok = (i == 0 || put(f, ", ")) && put(f, names[0].text()) && put(f, ",") &&
             put(f, names[static_cast<size_t>(i + 1)].text());
    return ok && put(f, ");\n");
}

bool parseScaleText(const char* text, double* value)
{
    // The number fields' one rule: a decimal comma is a point.
    double v = 0;
    if (!readNumberField(text, &v) || v < 0 || std::fabs(v) < kPlotMinScale)
        return false;
    *value = v;
    return true;
}
