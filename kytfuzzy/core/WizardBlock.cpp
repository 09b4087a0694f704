#include "WizardBlock.h"

#include "FileLayer.h"
#include "FuzzyBlockWriter.h"
#include "ResString.h"
#include "strings/KytfuzzyStrings.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {


// Writes and remembers whether every write went through.
class Out {
public:
    explicit Out(FILE* f) : f(f) {}
    void put(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        if (vfprintf(f, format, args) < 0)
            good = false;
        va_end(args);
    }
    FILE* f;
    bool good = true;
};

// Www Mmm dd hh:mm:ss yyyy in English, whatever the locale.
std::string dateText(std::time_t date)
{
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t{};
    if (!localtime_r(&date, &t))
        return "";
    char buf[64];
    snprintf(buf, sizeof buf, "%s %s %2d %02d:%02d:%02d %d", days[t.tm_wday % 7], months[t.tm_mon % 12], t.tm_mday,
             t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
    return buf;
}

bool writeBlock(FILE* f, const FuzzyBlock* b, const char* currentFile, const char* blockName, const char* ruleText,
                const std::string& date)
{
    Out o(f);
    o.put(getResString(kStrFzBlockHeader), blockName);
    o.put("#\n");
    if (b->comment)
        o.put("#  %s\n#\n", b->comment);
    o.put("%s", getResString(kStrFzGeneratedBy));
    o.put("#  %s\n", date.c_str());
    o.put("#\n");
    o.put("%s", getResString(kStrFzScriptInBlock));
    o.put("#\n");
    o.put("$WIZARD Fuzzy \"%s\"\n", currentFile);
    if (!o.good || FuzzyBlockWrite(b, nullptr, ruleText, f) != 1)
        return false;

    int inputs = 0, outputs = 0;
    for (FuzzyVariable* v = b->inputs; v; v = v->next)
        ++inputs;
    for (FuzzyVariable* v = b->outputs; v; v = v->next)
        ++outputs;
    o.put("BLOCK %s;\n", blockName);
    o.put("$ BLOCKDIM -1 -1 8 %d\n", inputs + outputs + 6);
    o.put("$ TEXT \"%s\"\n", b->name ? b->name : "");
    o.put("$ TEXTALIG 1 2 1 1\n$ ICONNAME \"fuzzy\"\n$ ICONDIM 5 3 \n$ ICONALIG 1 0 0 \n\n");
    int i = 0;
    o.put("INPUT\n");
    for (FuzzyVariable* v = b->inputs; v; v = v->next, ++i)
        o.put("   %s \"[1] Eingang%i\";\n", v->name, i);
    i = 0;
    o.put("\nOUTPUT\n");
    for (FuzzyVariable* v = b->outputs; v; v = v->next, ++i)
        o.put("   %s \"[1] Ausgang%i\";\n", v->name, i);
    o.put("\nPARAMETER\n");
    i = 0;
    for (FuzzyVariable* v = b->inputs; v; v = v->next, ++i)
        o.put("   k%s = 1.0 \"[1] Verstaerkung Eingang%i\";\n", v->name, i);
    i = 0;
    for (FuzzyVariable* v = b->outputs; v; v = v->next, ++i)
        o.put("   k%s = 1.0 \"[1] Verstaerkung Ausgang%i\";\n", v->name, i);
    o.put("   Tr = 0.05 \"[s] Abtastzeit\";\n");
    o.put("\nVAR\n");
    i = 0;
    for (FuzzyVariable* v = b->outputs; v; v = v->next, ++i)
        o.put("   %sd DISCRETE \"Fuzzy-Ausgang %i\";\n", v->name, i);
    o.put("   blockhandle DISCRETE;\n");
    o.put("\nSIM\n");
    for (FuzzyVariable* v = b->outputs; v; v = v->next)
        o.put("   %s = k%s*%sd;\n", v->name, v->name, v->name);
    o.put("ENDSIM\n");
    o.put("\nPROCEDURE simulate_step;\n");
    i = 0;
    for (FuzzyVariable* v = b->inputs; v; v = v->next, ++i)
        o.put("   FZSETINPUT(blockhandle,%i,%s*k%s);\n", i, v->name, v->name);
    o.put("   FZSIMULATE(blockhandle);\n");
    i = 0;
    for (FuzzyVariable* v = b->outputs; v; v = v->next, ++i)
        o.put("   %sd = FZGETOUTPUT(blockhandle,%i);\n", v->name, i);
    o.put("   STORE ALL;\n   SCHEDULE simulate_step AT NOW+Tr;\nENDPROCEDURE\n");
    o.put("\nPROCEDURE exit_simulation;\n   FZEXIT(blockhandle);\nENDPROCEDURE\n");
    o.put("\nINIT\n   blockhandle = FZINIT(TYPENAME);\n");
    for (FuzzyVariable* v = b->outputs; v; v = v->next)
        o.put("   %sd = 0;\n", v->name);
    o.put("   SCHEDULE simulate_step AT NOW;\n   SCHEDULE exit_simulation AT EXIT;\nENDINIT\n");
    o.put("\nENDBLOCK %s;\n", blockName);
    return o.good;
}

} // namespace

std::string wizardBlockPath(const char* fileName, const char* directory)
{
    std::string name = fileName ? fileName : "";
    if (!directory || !*directory)
        return name;
    return std::string(directory) + "\\" + name;
}

int writeMdlBlock(FuzzyKernel* kernel, const char* currentFile, const char* blockName, const char* fileName,
                  const char* directory, const char* ruleText, std::time_t date)
{
    std::string target = wizardBlockPath(fileName, directory);
    FuzzyBlock* b = kernel ? kernel->getBlock() : nullptr;
    std::string when = dateText(date);
    // The rule editor's text has CR LF pairs; the block has plain line ends.
    std::string rules;
    if (ruleText)
        for (const char* c = ruleText; *c; ++c)
            if (!(c[0] == '\r' && c[1] == '\n'))
                rules += *c;
    // A mended fault: every write is checked, and only a complete block
    // replaces the old file (a cut one would be rebuilt by kyt).
    bool ok = b && writeFileChecked(target.c_str(), "wt", [&](FILE* f) {
        return writeBlock(f, b, currentFile ? currentFile : "", blockName ? blockName : "",
                          ruleText ? rules.c_str() : nullptr, when);
    });
    if (ok)
        return 1;
    if (kernel) {
        std::string m = std::string(getResString(kStrFzWritingScript)) + getResString(kStrFzOpeningFile) + target +
                        getResString(kStrFzFailed);
        kernel->message.reset();
        kernel->message.append(m.c_str(), "");
        kernel->findings = 1;
    }
    return 0;
}
