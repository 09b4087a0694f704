#include "RuleText.h"

#include "FileLayer.h"
#include "FuzzyModel.h"
#include "FuzzyParsers.h"

#include <cstdio>

namespace {

const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void appendVariables(std::string& out, const char* heading, const FuzzyVariable* list)
{
    out += heading;
    for (const FuzzyVariable* v = list; v; v = v->next) {
        out += "\t" + std::string(v->name ? v->name : "") + ":\r\n";
        for (const FuzzyMember* m = v->members; m; m = m->next)
            out += "\t\t" + std::string(m->name ? m->name : "") + "\r\n";
    }
    if (list)
        out += "\r\n";
}

} // namespace

std::string rebuildRuleText(const std::string& fileText)
{
    std::string out;
    size_t start = 0;
    while (start < fileText.size()) {
        size_t end = fileText.find('\n', start);
        if (end == std::string::npos)
            end = fileText.size();
        std::string line = fileText.substr(start, end - start);
        const size_t cut = line.find_first_of("\r\n");
        if (cut != std::string::npos)
            line.erase(cut);
        out += line + "\r\n";
        start = end + 1;
    }
    if (out.size() > 2)
        while (!out.empty() && (out.back() == '\r' || out.back() == '\n'))
            out.pop_back();
    return out + "\r\n";
}

std::string ruleDateText(std::time_t when)
{
    const std::tm* t = std::localtime(&when);
    if (!t)
        return std::string();
    char text[64];
    snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %d", kWeekdays[t->tm_wday % 7], kMonths[t->tm_mon % 12],
             t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec, t->tm_year + 1900);
    return text;
}

std::string rulePrintLayout(const std::string& title, const std::string& date, const std::string& comment,
                            const std::string& rules)
{
    std::string out = "\n\n\n\n\t" + title + "\n\n\t" + date + "\n\t" + comment + "\n\n\n\n";
    int column = 0;
    for (char c : rules) {
        if (c == '\r')
            continue;
        out += c;
        if (c == '\n') {
            column = 0;
            continue;
        }
        if (++column == kRulePrintColumns) {
            out += "\n\t\t";
            column = kRuleContinuationColumn;
        }
    }
    return out;
}

std::string blockInformation(const FuzzyBlock* block)
{
    std::string out = "Achtung:\r\nInformation ist nur solange g\xfcltig,\r\n"
                      "bis eine \xc4nderung an den Variablen\r\nvorgenommen wird!\r\n\r\n";
    appendVariables(out, "EINGANGSVARIABLEN:\r\n", block ? block->inputs : nullptr);
    appendVariables(out, "AUSGANGSVARIABLEN:\r\n", block ? block->outputs : nullptr);
    return out;
}

RuleFileResult applyRuleFile(FuzzyKernel* kernel, const std::string& path, std::string* message)
{
    FILE* f = openFile(path.c_str(), "rt");
    if (!f)
        return RULES_UNREADABLE;
    std::string parserText;
    const int syntax = checkRuleBase(f, &parserText);
    fclose(f);
    if (syntax != 0) {
        *message = "Rulebase : " + parserText;
        return RULES_SYNTAX_ERROR;
    }
    f = openFile(path.c_str(), "rt");
    if (!f)
        return RULES_UNREADABLE;
    parseRuleBase(kernel, f, &parserText);
    fclose(f);
    if (!checkCompleteness(kernel)) {
        *message = kernel->message.text();
        return RULES_SEMANTIC_ERROR;
    }
    message->clear();
    return RULES_CORRECT;
}
