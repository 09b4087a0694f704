// Helpers of the transfer-function tests: a fixed clock, text views of trees
// and polynomials, and runs of the parser and of the block generator in a
// scratch directory (error boxes recorded in an ErrorBoxScope).
#ifndef KYT_TESTS_LAPLACE_TRANSFERTESTSUPPORT_H
#define KYT_TESTS_LAPLACE_TRANSFERTESTSUPPORT_H

#include "CaNode.h"
#include "ErrorReporter.h"
#include "PolyGrammarParser.h"
#include "Polynomial.h"

#include "FileBytes.h"
#include "TestSinks.h"
#include "TextLines.h"

#include <string>
#include <vector>

// The clock of the golden files: Tue Mar  4 09:05:07 1997.
void fixedClock(struct tm* now);

// The text that print writes for node, through a work file in memory; the
// driver d must be live.
std::string printNode(PolyGrammarParser& d, const CaNode& node);

// "c0 | c1 | ... @s" (or @z, @-), each coefficient as print writes it.
std::string polyText(PolyGrammarParser& d, const Polynomial& p);

struct ParseRun {
    int rc;
    std::string numerator;
    std::string denominator;
    unsigned int messageId;
    std::string message;
    std::vector<std::string> parameters;
    std::vector<std::string> boxes;
    unsigned long nodesMade;
    int leftRegistered;
};

// Parses text with a fresh driver.
ParseRun parseTransfer(const char* text);

// A scratch directory, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    std::string path(const char* name) const { return dir + "/" + name; }
    const std::string& root() const { return dir; }

private:
    std::string dir;
};

bool fileExists(const std::string& path);

struct BlockRun {
    int rc;
    unsigned int messageId;
    std::string message;
    std::vector<std::string> boxes;
    bool blockWritten;
    std::string block;
    bool workFileLeft;
    bool temporaryLeft;
};

// generateBlock on text into dir/<name>.blk through dir/laplace.tmp.
BlockRun generateInto(const ScratchDir& dir, const char* text, const char* blockName = "G1");

#endif
