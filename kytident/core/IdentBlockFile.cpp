#include "IdentBlockFile.h"

#include "FileLayer.h"
#include "FuzzyParser.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "strings/KytidentStrings.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {


// A line longer than this is no data line of ours; the rest of it is
// skipped, so that a broken file costs no more memory than this.
const size_t kMaxLineKept = 1 << 20;

// One whole line without its line end (CR and LF only are stripped; the
// last line needs none). False at the end of the file.
bool readWholeLine(FILE* f, std::string& line)
{
    line.clear();
    int c;
    bool any = false;
    while ((c = getc(f)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        if (line.size() < kMaxLineKept)
            line += static_cast<char>(c);
    }
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return any;
}

std::vector<std::string> blankWords(const std::string& s)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ')
            ++i;
        size_t start = i;
        while (i < s.size() && s[i] != ' ')
            ++i;
        if (i > start)
            words.push_back(s.substr(start, i - start));
    }
    return words;
}

// The words of a data line after its "#"; none for other lines.
std::vector<std::string> dataWords(const std::string& line)
{
    if (line.empty() || line[0] != '#')
        return {};
    return blankWords(line.substr(1));
}

// "%d": a sign and digits, whatever follows.
bool readInteger(const std::string& word, int* value)
{
    const char* s = word.c_str();
    char* end = nullptr;
    errno = 0;
    long v = strtol(s, &end, 10);
    if (end == s || errno == ERANGE || v < -1000000 || v > 1000000)
        return false;
    *value = static_cast<int>(v);
    return true;
}

// A number as the conventions read it: none gives 0.
double readNumber(const std::string& word)
{
    double v = 0.0;
    if (parseNumber(word.c_str(), &v) == 0)
        return 0.0;
    return v;
}

bool answer(const IdentAsk& ask, const IdentMessage& message)
{
    return ask ? ask(message) : false;
}

// Damaged data: the user chooses between the defaults and keeping the file.
IdentReadResult defaultsIfWanted(IdentBlockData* doc, const IdentAsk& ask, unsigned int question)
{
    if (!answer(ask, identMessage(IDENT_BOX_QUESTION, question, kIdentCaptionWarning)))
        return IDENT_READ_DECLINED;
    doc->setDefaults();
    return IDENT_READ_OK;
}

// Values that the dialog and the writer cannot stand for count as missing:
// an order of a million would write a block of a million lines.
bool wholeIn(double v, int low, int high)
{
    return v >= low && v < high + 1.0;
}

bool keysFit(const std::vector<IdentKey>& keys)
{
    for (const IdentKey& key : keys)
        if (!key.found || !std::isfinite(key.value))
            return false;
    return wholeIn(keys[0].value, 0, kMaxIdentWizardOrder) && wholeIn(keys[1].value, 0, kMaxIdentWizardOrder) &&
           wholeIn(keys[4].value, 0, 1) && wholeIn(keys[5].value, 0, 3);
}

IdentReadResult readOpenBlock(FILE* f, IdentBlockData* doc, const IdentAsk& ask)
{
    std::string line;
    bool wizard = false;
    while (!wizard && readWholeLine(f, line))
        wizard = isWizardLine(line.c_str());
    if (!wizard)
        return defaultsIfWanted(doc, ask, kIdentNotWizardBlock);

    // Data lines before ALGO are not read: their keys count as missing.
    bool algoLine = false;
    int algo = -1;
    while (!algoLine && readWholeLine(f, line)) {
        std::vector<std::string> words = dataWords(line);
        if (!words.empty() && words[0] == "ALGO") {
            algoLine = true;
            if (words.size() < 2 || !readInteger(words[1], &algo))
                algo = -1;
        }
    }
    // Methods 1 and 5 are damaged data too: the dialog cannot show them and
    // IDOPEN refuses them.
    if (!algoLine || !isOfferedIdentMethod(algo))
        return defaultsIfWanted(doc, ask, kIdentDamagedAsk);

    std::vector<IdentKey> keys = buildIdentKeyTable(algo);
    bool blockLine = false;
    while (!blockLine && readWholeLine(f, line)) {
        std::vector<std::string> lineWords = blankWords(line);
        if (!lineWords.empty() && lineWords[0] == "BLOCK") {
            blockLine = true;
            continue;
        }
        std::vector<std::string> words = dataWords(line);
        if (words.empty())
            continue;
        for (IdentKey& key : keys) {
            if (key.name == words[0]) {
                key.value = readNumber(words.size() > 1 ? words[1] : "");
                key.found = true;
            }
        }
    }
    if (!blockLine)
        return defaultsIfWanted(doc, ask, kIdentDamagedAsk);
    if (!keysFit(keys)) {
        answer(ask, identMessage(IDENT_BOX_NOTICE, kIdentDamagedReplaced, kIdentCaptionWarning));
        doc->setDefaults();
        return IDENT_READ_OK;
    }

    doc->algo = algo;
    doc->numDeg = static_cast<int>(keys[0].value);
    doc->denDeg = static_cast<int>(keys[1].value);
    doc->sample = keys[2].value;
    doc->dead = keys[3].value;
    doc->pOutput = static_cast<int>(keys[4].value);
    doc->gOutput = static_cast<int>(keys[5].value);
    for (int i = 0; i < kMaxIdentParameters; ++i)
        doc->params[i] = kIdentFixedKeys + i < static_cast<int>(keys.size()) ? keys[kIdentFixedKeys + i].value : 0.0;
    return IDENT_READ_OK;
}

// The text of a block, line by line.
class BlockText {
public:
    void put(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        va_list copy;
        va_copy(copy, args);
        int n = vsnprintf(nullptr, 0, format, copy);
        va_end(copy);
        if (n > 0) {
            std::vector<char> buf(static_cast<size_t>(n) + 1);
            vsnprintf(buf.data(), buf.size(), format, args);
            text.append(buf.data(), static_cast<size_t>(n));
        }
        va_end(args);
    }
    // A text of the string table used as the format.
    void putText(unsigned int id, const char* argument)
    {
        std::string format = getResString(id);
        size_t at = format.find("%s");
        if (at != std::string::npos)
            format.replace(at, 2, argument);
        text += format;
    }
    std::string text;
};

std::string number(double v)
{
    return formatDouble(v).text();
}

} // namespace

IdentReadResult readIdentBlock(IdentBlockData* doc, const IdentAsk& ask)
{
    FILE* f = openFile(doc->blockPath().c_str(), "rt");
    if (!f) {
        doc->setDefaults();
        return IDENT_READ_OK;
    }
    IdentReadResult result = readOpenBlock(f, doc, ask);
    fclose(f);
    return result;
}

std::string identBlockText(const IdentBlockData& doc, const std::string& date)
{
    const IdentMethodRow& method = IdentMethodTable[doc.algo];
    const char* name = doc.blockName.c_str();
    const char* methodName = getResString(method.nameId);
    const int n = doc.denDeg;
    const int m = doc.numDeg;
    const bool extended = doc.algo == 3;
    // Filtergrad: a whole number 0 .. n after the checks; anything else
    // writes no filter coefficients rather than an endless list.
    const double filter = extended ? doc.params[2] : -1.0;
    const int f = filter >= 0 && filter <= kMaxIdentWizardOrder ? static_cast<int>(filter) : -1;
    const bool outputs = doc.pOutput != 0;

    BlockText o;
    o.putText(kStrIdBlockHeader, name);
    o.put("#  G(z) = (b0+b1*z+...+bm*z^m) / (a0+a1*z+...+z^n)\n");
    o.putText(kStrIdGeneratedBy, "");
    o.put("#  %s\n", date.c_str());
    o.put("#\n");
    o.put("# %s\n", getResString(kStrIdWizardLineNote));
    o.put("#\n");

    o.put("$ WIZARD Ident\n");
    o.put("# ALGO %d\n", doc.algo);
    std::vector<IdentKey> keys = buildIdentKeyTable(doc.algo);
    o.put("# %s %d\n", keys[0].name.c_str(), m);
    o.put("# %s %d\n", keys[1].name.c_str(), n);
    o.put("# %s %s\n", keys[2].name.c_str(), number(doc.sample).c_str());
    o.put("# %s %s\n", keys[3].name.c_str(), number(doc.dead).c_str());
    o.put("# %s %d\n", keys[4].name.c_str(), doc.pOutput);
    o.put("# %s %d\n", keys[5].name.c_str(), doc.gOutput);
    for (int i = 0; i < method.parameterCount; ++i)
        o.put("# %s %s\n", keys[kIdentFixedKeys + i].name.c_str(), number(doc.params[i]).c_str());

    o.put("BLOCK %s;\n", name);
    o.put("$ BLOCKDIM -1 -1 10 11\n");
    o.put("$ TEXT \"%s\"\n", methodName);
    o.put("$ TEXTALIG 1 2 1 1 \n");
    o.put("$ ICONNAME \"ident.bmp\"\n");
    o.put("$ ICONDIM 5 3\n");
    o.put("$ ICONALIG 1 0 0\n\n");

    o.put("INPUT\n");
    o.put("   u \"[1] %s\";\n", getResString(kStrIdInput));
    o.put("   y \"[1] %s\";\n\n", getResString(kStrIdOutputSignal));

    o.put("OUTPUT\n");
    o.put("   err \"[1] %s\";\n", getResString(kStrIdError));
    if (outputs) {
        for (int i = n - 1; i >= 0; --i)
            o.put("   a%d \"[1] %s a%d*z^%d\";\n", i, getResString(kStrIdDenominator), i, i);
        for (int i = m; i >= 0; --i)
            o.put("   b%d \"[1] %s b%d*z^%d\";\n", i, getResString(kStrIdNumerator), i, i);
        for (int i = f; i >= 0; --i)
            o.put("   c%d \"[1]\";\n", i);
    }

    o.put("\nPARAMETER\n");
    o.put("   Tsamp = %s;\n", number(doc.sample).c_str());
    for (int i = 0; i < method.parameterCount; ++i)
        o.put("   %s = %s;\n", getResString(method.parameterNameIds[i]), number(doc.params[i]).c_str());

    o.put("\nVAR\n");
    o.put("   idhandle DISCRETE;\n");
    o.put("   e DISCRETE;\n");
    if (outputs) {
        for (int i = n - 1; i >= 0; --i)
            o.put("   out_a%d DISCRETE;\n", i);
        for (int i = m; i >= 0; --i)
            o.put("   out_b%d DISCRETE;\n", i);
        for (int i = f; i >= 0; --i)
            o.put("   out_c%d DISCRETE;\n", i);
    }

    o.put("SIM\n");
    o.put("   err = e <- id_step(u, y);\n");
    if (outputs) {
        for (int i = n - 1; i >= 0; --i)
            o.put("   a%d = out_a%d <- id_step(u, y);\n", i, i);
        for (int i = m; i >= 0; --i)
            o.put("   b%d = out_b%d <- id_step(u, y);\n", i, i);
        for (int i = f; i >= 0; --i)
            o.put("   c%d = out_c%d <- id_step(u, y);\n", i, i);
    }
    o.put("ENDSIM\n\n");

    // IDGET indexes the parameter vector: a1 .. an, bm .. b0, then the
    // noise filter's coefficients.
    o.put("PROCEDURE id_step;\n");
    o.put("   e = IDSTEP(idhandle, u, y);\n");
    if (doc.gOutput != 0)
        o.put("   IDWINPUT(idhandle);\n");
    if (outputs) {
        for (int i = n - 1; i >= 0; --i)
            o.put("   out_a%d = IDGET(idhandle, %d);\n", i, n - 1 - i);
        for (int i = m; i >= 0; --i)
            o.put("   out_b%d = IDGET(idhandle, %d);\n", i, m - i + n);
        for (int i = f; i >= 0; --i)
            o.put("   out_c%d = IDGET(idhandle, %d);\n", i, f - i + m + n + 1);
    }
    o.put("   STORE ALL;\n");
    o.put("   SCHEDULE id_step AT NOW+Tsamp;\n");
    o.put("ENDPROCEDURE\n\n");

    o.put("PROCEDURE id_ende;\n");
    o.put("   IDCLOSE(idhandle);\n");
    o.put("ENDPROCEDURE\n\n");

    o.put("INIT\n");
    o.put("   e = 0;\n");
    if (outputs) {
        for (int i = n - 1; i >= 0; --i)
            o.put("   out_a%d = 0;\n", i);
        for (int i = m; i >= 0; --i)
            o.put("   out_b%d = 0;\n", i);
        for (int i = f; i >= 0; --i)
            o.put("   out_c%d = 0;\n", i);
    }
    // The dead steps as a whole number of any size: a dead time far beyond
    // the sampling time is IDOPEN's to refuse, not an overflow here.
    const double deadSteps = std::trunc((0.5 * doc.sample + doc.dead) / doc.sample);
    o.put("   idhandle = IDOPEN(%d, %d, %d, Tsamp, %.0f);\n", doc.algo, m, n, deadSteps);
    for (int i = 0; i < method.parameterCount; ++i)
        o.put("   IDSET(idhandle, %d, %s);\n", i, getResString(method.parameterNameIds[i]));
    o.put("   IDSETUP(idhandle);\n");
    if (doc.gOutput != 0)
        o.put("   IDWINOPEN(idhandle, %d, TYPENAME, \"%s\");\n", doc.gOutput, methodName);
    o.put("   SCHEDULE id_step AT NOW;\n");
    o.put("   SCHEDULE id_ende AT EXIT;\n");
    o.put("ENDINIT\n\n");

    o.put("ENDBLOCK %s;\n", name);
    return o.text;
}

bool writeIdentBlock(const IdentBlockData& doc, const std::string& date)
{
    const std::string text = identBlockText(doc, date);
    return writeFileChecked(doc.blockPath().c_str(), "wt", [&](FILE* f) {
        return fwrite(text.data(), 1, text.size(), f) == text.size();
    });
}

std::string identDateText(std::time_t date)
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
