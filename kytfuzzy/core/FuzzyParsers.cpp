#include "FuzzyParsers.h"

namespace {

// Files saved on Windows end their lines with CR LF; the scanner takes LF
// only (a CR would end up in a comment's text), so a CR before LF goes.
// The text stays bounded by the reader's own limit.
std::string plainText(FILE* stream)
{
    std::string text;
    char buf[8192];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, stream)) > 0) {
        text.append(buf, n);
        if (text.size() > kMaxFuzzyText)
            break;
    }
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

int runPlain(FuzzyParser& parser, FILE* stream, std::string* message)
{
    if (message)
        message->clear();
    if (!stream)
        return 1;
    std::string text = plainText(stream);
    FILE* plain = text.empty() ? nullptr : fmemopen(&text[0], text.size(), "rb");
    FuzzyLineSource source(plain ? plain : stream, false);
    // The editor shows the message itself, in German and once, in the box
    // that names the file or the rule base; the parser only keeps it.
    parser.setReporting(false);
    parser.setInput(&source);
    int result = parser.parse();
    parser.setInput(nullptr);
    if (plain)
        fclose(plain);
    if (result != 0 && message && parser.getMessage())
        *message = parser.getMessage();
    return result;
}

} // namespace

int checkFuzzyText(FILE* stream, std::string* message)
{
    FuzzyCheckParser parser;
    return runPlain(parser, stream, message);
}

int parseFuzzyBlock(FuzzyKernel* kernel, FILE* stream, std::string* message)
{
    FuzzyFileParser parser;
    parser.setKernel(kernel);
    return runPlain(parser, stream, message);
}

int checkRuleBase(FILE* stream, std::string* message)
{
    RuleCheckParser parser;
    return runPlain(parser, stream, message);
}

int parseRuleBase(FuzzyKernel* kernel, FILE* stream, std::string* message)
{
    RuleBaseParser parser;
    parser.setKernel(kernel);
    int result = runPlain(parser, stream, message);
    FuzzyBlock* block = kernel ? kernel->getBlock() : nullptr;
    if (result != 0 || !block)
        return result != 0 ? result : 1;
    freeRuleList(block->rules);
    block->rules = parser.takeRules();
    return 0;
}
