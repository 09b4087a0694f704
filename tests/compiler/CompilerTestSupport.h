// Running the scanner and the parser on model text given in the test, with
// the message viewer and the error boxes recorded.
#ifndef KYT_TESTS_COMPILERTESTSUPPORT_H
#define KYT_TESTS_COMPILERTESTSUPPORT_H

#include "FileBytes.h"
#include "TestSinks.h"

#include "AllocationRegistry.h"
#include "Grammar.hpp"
#include "ModelListing.h"
#include "ModuleRegistry.h"
#include "Scanner.h"
#include "SymbolTables.h"

#include "MessageLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

// Death tests: the fatal report's box text goes to standard error, where
// EXPECT_EXIT can match it.
class StderrBoxSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { fprintf(stderr, "BOX[%s]\n", text); }
    [[noreturn]] void endProcess(int exitCode) override { _exit(exitCode); }
};

inline void showBoxesOnStderr()
{
    static StderrBoxSink sink;
    setErrorSink(&sink);
}

// An open stream holding the bytes; the caller closes it.
inline FILE* streamOf(const std::string& bytes)
{
    FILE* f = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), f);
    rewind(f);
    return f;
}

struct ScannedToken {
    int token;
    double number;
    std::string text;
};

// Every token of the text up to the end of the input.
inline std::vector<ScannedToken> scanStream(FILE* f)
{
    std::vector<ScannedToken> tokens;
    kytfil = f;
    if (scanreset() != 0)
        return tokens;
    for (int i = 0; i < 100000; ++i) {
        int t = mdllex();
        if (t == 0)
            break;
        ScannedToken s = {t, 0, ""};
        if (t == TOK_Number)
            s.number = mdllval.number;
        if (t == TOK_Identifier || t == TOK_String)
            s.text = mdllval.text;
        tokens.push_back(s);
    }
    ModuleRegistryFree();
    return tokens;
}

inline std::vector<ScannedToken> scanText(const std::string& text)
{
    FILE* f = streamOf(text);
    std::vector<ScannedToken> tokens = scanStream(f);
    fclose(f);
    return tokens;
}

// One message as the user sees it: the line the text names and the text
// after the position part.
struct ShownMessage {
    int line;
    std::string text;
};

inline ShownMessage splitMessage(const std::string& message)
{
    ShownMessage m = {-1, message};
    std::smatch match;
    static const std::regex position("^In oder vor Zeile (\\d+)[^\\n]*:\\n");
    if (std::regex_search(message, match, position)) {
        m.line = atoi(match[1].str().c_str());
        m.text = match.suffix();
    }
    return m;
}

// A library of test rows that the registry attaches in place of the real
// ones: the function POW(x, y), the procedure SHOW(text) and the function
// LEN(text).
double testFunction();
extern const ModuleRegisterFunction testLibraryList[];

class CompilerTest : public ::testing::Test {
protected:
    void SetUp() override { setModuleLibraryList(testLibraryList); }
    void TearDown() override
    {
        freeRegisteredPointers();
        freeSymbolTables();
        setModuleLibraryList(nullptr);
    }

    // The front half of a compile on the text: 0 when accepted.
    int parse(const std::string& text)
    {
        FILE* f = streamOf(text);
        int result = parseModelText(f);
        fclose(f);
        return result;
    }

    // The messages the viewer showed, position split off.
    std::vector<ShownMessage> messages() const
    {
        std::vector<ShownMessage> out;
        for (const ViewerCall& c : scope.viewer.calls)
            out.push_back(splitMessage(c.message));
        return out;
    }

    // The listing of tables and code after the rewrites.
    std::string listing(int* failed = nullptr)
    {
        FILE* f = tmpfile();
        int r = writeModelListing(f);
        if (failed)
            *failed = r;
        return bytesWrittenTo(f);
    }

    RecordingScope scope;
};

#endif
