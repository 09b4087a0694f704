// Readers of the fuzzy-block text: one grammar (bison) and one scanner
// (flex, fzyylook) on the parser base, in two passes. The check pass only
// accepts or rejects; the build pass runs the builder actions and hangs the
// block on its kernel object.
#ifndef KYT_BLOCKS_FUZZYPARSER_H
#define KYT_BLOCKS_FUZZYPARSER_H

#include "FuzzyBlock.h"

#include "String.h"
#include "YaccParser.h"

#include <cstddef>
#include <cstdio>
#include <string>

// Most bytes of fuzzy-block text one read takes. A block written by hand or
// by the wizard is some kilobytes; 16 MB hold rule bases of a hundred
// thousand rules. A longer input is no fuzzy block (a device such as
// /dev/zero, a wrong file) and is refused before it costs more time and
// memory than this.
const size_t kMaxFuzzyText = 16u << 20;

// The text the scanner reads, one line at a time: the whole file, or only
// the "#" lines after the wizard line, without their "#". Each line reaches
// the scanner with a line feed, also the last one of a file that lacks it.
// Every byte of a line reaches it, a NUL byte too.
class FuzzyLineSource {
public:
    // Reads the whole stream, numbering lines from firstLine, up to
    // maxText bytes.
    explicit FuzzyLineSource(FILE* stream, bool embedded = false, int firstLine = 1,
                             size_t maxText = kMaxFuzzyText);

    // Copies at most max bytes of the text into buf; 0 at its end, and when
    // the text is longer than its limit.
    size_t read(char* buf, size_t max);
    int getFirstLine() const { return firstLine; }
    // The text went on beyond the limit: it was cut there.
    bool isTooLong() const { return tooLong; }
    // Known to be too long before it is read: it gives no text.
    void markTooLong() { tooLong = ended = true; }
    size_t getLimit() const { return maxText; }

private:
    bool nextLine();

    FILE* stream;
    bool embedded;
    bool ended;
    bool tooLong;
    int firstLine;
    size_t maxText;
    size_t taken;
    std::string current;
    size_t pos;
};

// The wizard line of a wizard block: it begins with "$", and its first
// blank-separated word after the "$" (blanks right after the "$" skipped)
// is "WIZARD" followed by a blank.
bool isWizardLine(const char* line);

// Reads lines until the wizard line (within kMaxFuzzyText bytes; *tooLong,
// when given, tells that the search stopped there): it begins with "$", and
// its first blank-separated word after the "$" (blanks right after the "$"
// skipped) is "WIZARD" followed by a blank. True when found; *lineNumber
// then holds its line number (from 1).
bool skipToWizardLine(FILE* stream, int* lineNumber = nullptr, bool* tooLong = nullptr);

// Positions an open fuzzy-block file: after its wizard line when it has one
// (only the "#" lines that follow are read), else at its start (the whole
// file is read).
FuzzyLineSource positionFuzzyInput(FILE* stream);

class FuzzyKernel;

class FuzzyParser : public YaccParser {
public:
    ~FuzzyParser() override;

    // The next token of the input (the scanner fzyylook).
    int yylex() override;
    const char* tokenName(int token) override;
    // 0 accepted, 1 syntax error or a full parser stack.
    int parse() override;

    void setInput(FuzzyLineSource* source) { input = source; }
    // Parse a rule base alone (IF ... ; lines) instead of a whole block.
    void setRulesOnly(bool on) { rulesOnly = on; }
    bool isBuilding() const { return building; }

    // Build pass: the kernel object that receives the block.
    void setKernel(FuzzyKernel* k) { kernel = k; }
    FuzzyKernel* getKernel() const { return kernel; }
    // Rules built by a rules-only parse; the caller owns them.
    FuzzyRuleNode* takeRules();

    // For the generated grammar and scanner.
    char* takeTokenText();
    void setTokenText(char* text);
    void keepRules(FuzzyRuleNode* rules);
    int scanLine;                 // line of the text the scanner is in
    FuzzyLineSource* getInput() const { return input; }

protected:
    explicit FuzzyParser(bool build);

private:
    bool startTokenPending;       // the start token goes out first
    bool building;
    bool rulesOnly;
    FuzzyLineSource* input;
    FuzzyKernel* kernel;
    void* scanner;
    char* tokenText;
    FuzzyRuleNode* rules;
};

// The check pass: accepts or rejects, builds nothing.
class FuzzyCheckParser : public FuzzyParser {
public:
    FuzzyCheckParser() : FuzzyParser(false) {}
};

// The build pass: builds the block into its kernel object.
class FuzzyFileParser : public FuzzyParser {
public:
    FuzzyFileParser() : FuzzyParser(true) {}
};

// Reading a fuzzy-block file as the FUZZY library and the DDE topic do it:
// check pass, build pass on a new kernel object, then the two checks and
// the method slots.
enum FuzzyReadResult {
    FZ_READ_OK = 0,
    FZ_READ_CANNOT_OPEN,
    FZ_READ_NO_MEMORY,
    FZ_READ_SYNTAX,               // detail: the parser's message
    FZ_READ_AMBIGUOUS,            // detail: the kernel's message text
    FZ_READ_DAMAGED               // detail: the kernel's message text
};

struct FuzzyCheckTexts;

// The kernel object of the file at path, or null with the result and its
// detail text. The checks write the texts named by texts.
FuzzyKernel* readFuzzyBlockFile(const char* path, const FuzzyCheckTexts& texts, FuzzyReadResult* result,
                                String* detail);

#endif
