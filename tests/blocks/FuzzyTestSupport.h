// Shared helpers of the fuzzy-block tests: fixture files, a recorder of
// error boxes, and reading a block from text (in a ScratchDir).
#ifndef KYT_TESTS_BLOCKS_FUZZYTESTSUPPORT_H
#define KYT_TESTS_BLOCKS_FUZZYTESTSUPPORT_H

#include "ErrorReporter.h"
#include "FuzzyKernel.h"
#include "FuzzyParser.h"

#include "FileBytes.h"
#include "TempDirFixture.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#ifndef FUZZY_FIXTURE_DIR
#error FUZZY_FIXTURE_DIR names the folder of the fuzzy fixtures
#endif

namespace fuzzytest {

inline std::string fixturePath(const std::string& name)
{
    return std::string(FUZZY_FIXTURE_DIR) + "/" + name;
}

inline std::string replaceAll(std::string s, const std::string& from, const std::string& to)
{
    for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
    return s;
}

// Every line with a "#" in front, as a wizard block embeds a text.
inline std::string prefixLines(const std::string& text)
{
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart)
            out += '#';
        out += c;
        lineStart = c == '\n';
    }
    return out;
}

// A wizard block around an embedded fuzzy-block text.
inline std::string wizardBlock(const std::string& text, const std::string& wizardLine = "$WIZARD Fuzzy \"x.kyb\"")
{
    return "#  Fuzzy-Block w1\n#\n" + wizardLine + "\n" + prefixLines(text) + "BLOCK w1;\nINPUT\n   e;\nENDBLOCK w1;\n";
}

// Reads a fuzzy-block text as FZINIT does; null with the result otherwise.
inline FuzzyKernel* readText(const std::string& text, FuzzyReadResult* result = nullptr,
                             std::string* detail = nullptr)
{
    ScratchDir dir;
    std::string path = dir.write("block.kyb", text);
    FuzzyReadResult r;
    String d;
    ErrorBoxScope boxes;
    FuzzyKernel* k = readFuzzyBlockFile(path.c_str(), kFuzzyCheckTexts, &r, &d);
    if (result)
        *result = r;
    if (detail)
        *detail = d.text();
    return k;
}

// Owner of a kernel in a test.
struct KernelHolder {
    explicit KernelHolder(FuzzyKernel* k) : kernel(k) {}
    ~KernelHolder() { freeFuzzyBlock(kernel); }
    FuzzyKernel* operator->() const { return kernel; }
    FuzzyKernel* kernel;
};

inline double evaluate(FuzzyKernel* k, double e, double de)
{
    setFuzzyInputAt(k, 0, e);
    setFuzzyInputAt(k, 1, de);
    SimulateStep(k);
    return getFuzzyOutputAt(k, 0);
}

// The pd9 variants: output sets S (singletons) or T (trapezoids) with the
// given inference and defuzzification words.
inline std::string pd9Text(char sets, const char* inference, const char* defuzzification)
{
    std::string t = readFileBytes(fixturePath(sets == 'S' ? "pd9S.kyb" : "pd9T.kyb"));
    t = replaceAll(t, "INFERENCE_METHOD = max_prod;", std::string("INFERENCE_METHOD = ") + inference + ";");
    t = replaceAll(t, "INFERENCE_METHOD = max_min;", std::string("INFERENCE_METHOD = ") + inference + ";");
    t = replaceAll(t, "DEFUZZIFICATION_METHOD = centroid;",
                   std::string("DEFUZZIFICATION_METHOD = ") + defuzzification + ";");
    return t;
}

} // namespace fuzzytest

#endif
