#include "FuzzyParser.h"

#include "FuzzyKernel.h"

#include "FileLayer.h"
#include "ResString.h"
#include "strings/FuzzyStrings.h"

#include <cstdlib>
#include <cstring>
#include <new>

// Generated grammar and scanner.
int fzyyparse(FuzzyParser* parser);
const char* fuzzyTokenName(int token);
int fuzzyStartToken(bool rulesOnly);
void* fuzzyScannerCreate(FuzzyParser* parser);
void fuzzyScannerDestroy(void* scanner);
int fuzzyScannerNext(void* scanner);
int fuzzyErrorToken();

namespace {


} // namespace

FuzzyLineSource::FuzzyLineSource(FILE* s, bool embeddedText, int first, size_t limit)
    : stream(s), embedded(embeddedText), ended(s == nullptr), tooLong(false), firstLine(first), maxText(limit),
      taken(0), pos(0)
{
}

bool FuzzyLineSource::nextLine()
{
    if (ended)
        return false;
    std::string line;
    LineReadResult r = readBoundedLine(stream, line, maxText - taken);
    // The line feed each line gets counts as well.
    if (r == LINE_TOO_LONG || (r == LINE_READ && line.size() + 1 > maxText - taken)) {
        tooLong = true;
        ended = true;
        return false;
    }
    if (r == LINE_AT_END) {
        ended = true;
        return false;
    }
    size_t skip = 0;
    if (embedded) {
        // The first line without "#" ends the embedded text.
        if (line.empty() || line[0] != '#') {
            ended = true;
            return false;
        }
        skip = 1;
    }
    // A mended fault: the line was taken as a C string, and a NUL byte
    // dropped the rest of it. The scanner skips a NUL like every character
    // that starts no token.
    current.assign(line, skip, std::string::npos);
    current += '\n';
    taken += line.size() + 1;
    pos = 0;
    return true;
}

size_t FuzzyLineSource::read(char* buf, size_t max)
{
    if (pos >= current.size() && !nextLine())
        return 0;
    size_t n = current.size() - pos;
    if (n > max)
        n = max;
    memcpy(buf, current.data() + pos, n);
    pos += n;
    return n;
}

bool isWizardLine(const char* t)
{
    if (t[0] != '$')
        return false;
    ++t;
    while (*t == ' ')
        ++t;
    // The word must be followed by a blank: "$WIZARD" alone does not count.
    return strncmp(t, "WIZARD ", 7) == 0;
}

bool skipToWizardLine(FILE* stream, int* lineNumber, bool* tooLong)
{
    if (tooLong)
        *tooLong = false;
    // Beyond the limit of a fuzzy-block text there is no wizard line to find;
    // the whole text is then read, and refused at the same limit.
    std::string line;
    size_t taken = 0;
    int n = 0;
    while (taken < kMaxFuzzyText) {
        LineReadResult r = readBoundedLine(stream, line, kMaxFuzzyText - taken);
        if (r == LINE_TOO_LONG && tooLong)
            *tooLong = true;
        if (r != LINE_READ)
            return false;
        taken += line.size() + 1;
        ++n;
        if (isWizardLine(line.c_str())) {
            if (lineNumber)
                *lineNumber = n;
            return true;
        }
    }
    return false;
}

FuzzyLineSource positionFuzzyInput(FILE* stream)
{
    int wizardLine = 0;
    bool tooLong = false;
    if (skipToWizardLine(stream, &wizardLine, &tooLong))
        return FuzzyLineSource(stream, true, wizardLine + 1);
    // A plain fuzzy-block file has no wizard line and is read whole; one
    // beyond the limit is not read again.
    rewind(stream);
    FuzzyLineSource whole(stream, false, 1);
    if (tooLong)
        whole.markTooLong();
    return whole;
}

FuzzyParser::FuzzyParser(bool build)
    : scanLine(1), startTokenPending(false), building(build), rulesOnly(false), input(nullptr),
      kernel(nullptr), scanner(nullptr), tokenText(nullptr), rules(nullptr)
{
}

FuzzyParser::~FuzzyParser()
{
    fuzzyScannerDestroy(scanner);
    free(tokenText);
    freeRuleList(rules);
}

int FuzzyParser::yylex()
{
    free(tokenText);
    tokenText = nullptr;
    if (startTokenPending) {
        startTokenPending = false;
        return fuzzyStartToken(rulesOnly);
    }
    int token = scanner ? fuzzyScannerNext(scanner) : 0;
    if (token == 0 && input && input->isTooLong()) {
        // The text was cut at its limit: the parse ends here with this
        // message, not with a syntax error at a cut the file does not have.
        setMessageLine(scanLine);
        YaccParser::error(this, getResString(kStrFuzzyTextTooLong), static_cast<unsigned long>(input->getLimit() >> 20));
        return fuzzyErrorToken();
    }
    return token;
}

const char* FuzzyParser::tokenName(int token)
{
    return fuzzyTokenName(token);
}

int FuzzyParser::parse()
{
    reset();
    freeRuleList(rules);
    rules = nullptr;
    scanLine = input ? input->getFirstLine() : 1;
    startTokenPending = true;
    fuzzyScannerDestroy(scanner);
    scanner = fuzzyScannerCreate(this);
    if (!scanner)
        return 1;
    int result = fzyyparse(this);
    fuzzyScannerDestroy(scanner);
    scanner = nullptr;
    free(tokenText);
    tokenText = nullptr;
    return result == 0 ? 0 : 1;
}

char* FuzzyParser::takeTokenText()
{
    char* t = tokenText;
    tokenText = nullptr;
    return t;
}

void FuzzyParser::setTokenText(char* text)
{
    free(tokenText);
    tokenText = text;
}

void FuzzyParser::keepRules(FuzzyRuleNode* list)
{
    freeRuleList(rules);
    rules = list;
}

FuzzyRuleNode* FuzzyParser::takeRules()
{
    FuzzyRuleNode* r = rules;
    rules = nullptr;
    return r;
}

namespace {

// One pass over the file at path; 0 accepted.
int runPass(FuzzyParser& parser, const char* path, bool* opened)
{
    FILE* f = openFile(path, "rt");
    *opened = f != nullptr;
    if (!f)
        return 1;
    FuzzyLineSource source = positionFuzzyInput(f);
    parser.setInput(&source);
    int result = parser.parse();
    parser.setInput(nullptr);
    fclose(f);
    return result;
}

} // namespace

FuzzyKernel* readFuzzyBlockFile(const char* path, const FuzzyCheckTexts& texts, FuzzyReadResult* result,
                                String* detail)
{
    *result = FZ_READ_OK;
    if (detail)
        *detail = "";
    bool opened = false;

    FuzzyCheckParser check;
    if (runPass(check, path, &opened) != 0) {
        *result = opened ? FZ_READ_SYNTAX : FZ_READ_CANNOT_OPEN;
        if (detail && opened)
            *detail = check.getMessage();
        return nullptr;
    }

    FuzzyKernel* kernel = new (std::nothrow) FuzzyKernel;
    if (!kernel) {
        *result = FZ_READ_NO_MEMORY;
        return nullptr;
    }
    FuzzyFileParser build;
    build.setKernel(kernel);
    int built = runPass(build, path, &opened);
    if (built != 0 || !kernel->getBlock()) {
        // The file changed between the passes, or vanished.
        *result = opened ? FZ_READ_SYNTAX : FZ_READ_CANNOT_OPEN;
        if (detail && opened)
            *detail = build.getMessage();
        freeFuzzyBlock(kernel);
        return nullptr;
    }

    if (!checkFuzzyBlock(kernel, texts)) {
        *result = FZ_READ_AMBIGUOUS;
        if (detail)
            *detail = kernel->message.text();
        freeFuzzyBlock(kernel);
        return nullptr;
    }
    if (!checkFuzzyCompleteness(kernel, texts)) {
        *result = FZ_READ_DAMAGED;
        if (detail)
            *detail = kernel->message.text();
        freeFuzzyBlock(kernel);
        return nullptr;
    }
    FuzzyMethodsSet(kernel);
    return kernel;
}
