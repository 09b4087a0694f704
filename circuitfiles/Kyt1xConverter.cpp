#include "Kyt1xConverter.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "strings/Kyt1xStrings.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {


const int kMaxKind = 25;
const int kControlSource = 100;
const int kOffsetSave = 5;
const int kOffsetLimit = 6;
const int kOffsetParameters = 12;
const int kOffsetHasValues = 54;

// One kind of component: its block, parameters in file order (AB is the
// limit at offset 6, the others take the reals from offset 12 on), the
// block text and its inputs ("" is the single input u).
struct ComponentKind {
    const char* type;
    std::vector<const char*> parameters;
    const char* text;
    std::vector<const char*> inputs;
};

const ComponentKind kKinds[kMaxKind + 1] = {
    {nullptr, {}, nullptr, {}},
    {"APT1", {"k", "T1", "AB"}, "PT1", {""}},
    {"APT2", {"k", "D", "wn"}, "PT2", {""}},
    {"ASprung", {"A", "T"}, "Sprungfunktion", {}},
    {"ARampe", {"k"}, "Rampenfunktion", {}},
    {"AAdd2", {"k1", "k2"}, "Addierer 2", {"1", "2"}},
    {"AAdd3", {"k1", "k2", "k3"}, "Addierer 3", {"1", "2", "3"}},
    {"AZPunkt", {"k", "s1", "s2", "AB"}, "2-Punkt-Regler", {""}},
    {"ADPunkt", {"k", "a1", "a2", "AB"}, "3-Punkt-Regler", {""}},
    {"ABgrenz", {"k1", "k2"}, "Begrenzer", {""}},
    {"APID", {"k", "kn", "Tv"}, "PID Regler", {""}},
    {"AInteg", {"Ti", "AB"}, "Integrator", {""}},
    {"ADiff", {"Td"}, "Differenzierer", {""}},
    {"ATotzeit", {"Tt"}, "Totzeit", {""}},
    {"ASinus", {"A", "wn", "Dw"}, "Sinusfunktion", {}},
    {"AMult3", {"k"}, "Multipl. 3", {"1", "2", "3"}},
    {"ASundH", {"T"}, "Sample & Hold", {""}},
    {"ADivide", {"k"}, "Dividierer", {"1", "2"}},
    {"ALose", {"A", "AB"}, "Lose", {""}},
    {"AMathTas", {"T"}, "math. Taster", {""}},
    {"ATotzone", {"a"}, "Totzone", {""}},
    {"AMPlex", {"k"}, "Multiplexer", {"1", "2", "3"}},
    {"ADiffg", {"T", "b0", "b1", "b2", "a0", "a1", "a2"}, "G(1/z)", {""}},
    {"APReg", {"k"}, "P-Regler", {""}},
    {"ABreak", {"AB"}, "Break", {""}},
    {"APID", {"k", "kn", "Tv"}, "PID-Regler", {""}},
};

// The kind whose kn is written as its reciprocal.
const int kPidWithReciprocal = 10;

const uint8_t* record(const uint8_t* records, int i)
{
    return records + i * kKyt1xRecordSize;
}

char letterOf(int i)
{
    return static_cast<char>('A' + i);
}

// Which byte holds the source of an input: the single input at 3; of two
// inputs at 2 and 4; of three at 2, 3 and 4.
int sourceOffset(const ComponentKind& kind, size_t input)
{
    if (kind.inputs.size() == 1)
        return 3;
    if (kind.inputs.size() == 2)
        return input == 0 ? 2 : 4;
    return 2 + static_cast<int>(input);
}

// "%#18.11g" with the blanks and the mantissa's trailing zeros dropped.
std::string valueText(double v)
{
    char text[kMaxNumberText + 1];
    formatNumberDigits(v, 11, text);
    return text;
}

// The name of a circuit the reader can read back: a blank, tab, ";", ",",
// '"', "=" or "#" of the file's base name would end the CIRCUIT line's word.
std::string circuitBaseName(const char* name)
{
    const char* start = name;
    for (const char* p = name; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            start = p + 1;
    std::string base(start);
    base = base.substr(0, base.find('.'));
    for (char& c : base) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        if (strchr(" \t;,\"=#", c))
            c = '_';
    }
    return base;
}

bool put(FILE* out, const std::string& text)
{
    return fputs(text.c_str(), out) >= 0;
}

std::string parameterLines(const uint8_t* r, const ComponentKind& kind, int kindNumber)
{
    std::string text;
    int next = kOffsetParameters;
    for (const char* name : kind.parameters) {
        double v;
        if (strcmp(name, "AB") == 0) {
            v = decodeReal48(r + kOffsetLimit);
        } else {
            v = decodeReal48(r + next);
            next += 6;
        }
        std::string padded(name);
        if (padded.size() < 2)
            padded += ' ';
        text += "   " + padded + " = ";
        if (kindNumber == kPidWithReciprocal && strcmp(name, "kn") == 0)
            text += "1./";
        text += valueText(v) + ";\n";
    }
    return text;
}

} // namespace

double decodeReal48(const uint8_t b[6])
{
    if (b[0] == 0)
        return 0.0;
    uint64_t fraction = 0;
    for (int i = 5; i >= 1; --i)
        fraction = (fraction << 8) | b[i];
    fraction &= (uint64_t(1) << 39) - 1;
    bool negative = (b[5] & 0x80) != 0;
    double v = std::ldexp(1.0 + std::ldexp(static_cast<double>(fraction), -39), b[0] - 129);
    return negative ? -v : v;
}

void encodeReal48(double v, uint8_t b[6])
{
    memset(b, 0, 6);
    if (v == 0 || !std::isfinite(v))
        return;
    int exponent;
    double mantissa = std::frexp(std::fabs(v), &exponent);  // [0.5, 1)
    // v = 2^(exponent - 1) * (2 * mantissa), 2 * mantissa in [1, 2).
    uint64_t fraction = static_cast<uint64_t>(std::llround(std::ldexp(2 * mantissa - 1, 39)));
    if (fraction >> 39) {
        fraction = 0;
        ++exponent;
    }
    int biased = exponent - 1 + 129;
    if (biased < 1 || biased > 255)
        return;
    b[0] = static_cast<uint8_t>(biased);
    for (int i = 1; i <= 5; ++i) {
        b[i] = static_cast<uint8_t>(fraction & 0xFF);
        fraction >>= 8;
    }
    if (v < 0)
        b[5] |= 0x80;
}

bool writeConvertedComponent(FILE* out, const uint8_t* records, const char* baseName)
{
    bool good = put(out, std::string("CIRCUIT A") + baseName + ";\n");
    good = put(out, "USE AControl AS Control\n$ BLOCKLIB KYT1.x_KompLib.\n   te = 10.;\n   h = 0.01;\n"
                    "$ BLOCKDIM 3 26 5 5\n$ TEXT \"\"\n$ TEXTALIG 1 2 0 1\n$ ICONNAME \"control\"\n"
                    "$ ICONDIM 2 2\n$ ICONALIG 1 0 0\n$ SIGNAMES\n$    \"Y\"\n$ ENDSIGNAMES\nENDUSE\n") && good;
    for (int i = 0; i < kKyt1xRecords; ++i) {
        const uint8_t* r = record(records, i);
        int kindNumber = r[0];
        if (kindNumber == 0)
            continue;
        const ComponentKind& kind = kKinds[kindNumber];
        char layout[400];
        snprintf(layout, sizeof layout,
                 "$ BLOCKDIM %d %d 6 5\n$ TEXT \"%s\"\n$ TEXTALIG 1 1 1 1\n$ ICONNAME \"*** NO PIC ***\"\n"
                 "$ ICONDIM 4 2\n$ ICONALIG 1 1 1\n$ SIGNAMES\n$    \"%c\"\n$ ENDSIGNAMES\n",
                 (i % 6) * 9 + 3, (i / 6) * 6 + 2, kind.text, letterOf(i));
        std::string text = std::string("USE ") + kind.type + " AS " + letterOf(i) + "\n$ BLOCKLIB KYT1.x_KompLib.\n";
        if (r[kOffsetHasValues])
            text += parameterLines(r, kind, kindNumber);
        text += layout;
        text += "ENDUSE\n";
        good = put(out, text) && good;
    }
    return good;
}

Kyt1xResult writeConvertedCircuit(const char* name, const char* outPath)
{
    // Step 1: exactly one record of 3480 bytes.
    FILE* in = openFile(name, "rb");
    if (!in)
        return KYT1X_NOT_OLD;
    std::vector<uint8_t> bytes(kKyt1xFileSize + 1);
    size_t n = fread(bytes.data(), 1, bytes.size(), in);
    bool readError = ferror(in) != 0;
    if (n != static_cast<size_t>(kKyt1xFileSize) && !readError) {
        fclose(in);
        return KYT1X_NOT_OLD;
    }
    // Step 2: a text file has a first byte above 25.
    if (!readError && (bytes[0] > kMaxKind || bytes[1] > 3)) {
        fclose(in);
        return KYT1X_NOT_OLD;
    }
    if (fclose(in) != 0 || readError) {
        reportError(ERR_ERROR, getResString(kStrKyt1xCannotRead), name);
        return KYT1X_FAILED;
    }
    // A damaged or foreign record is refused before anything is written,
    // and the program goes on.
    for (int i = 0; i < kKyt1xRecords; ++i)
        if (record(bytes.data(), i)[0] > kMaxKind) {
            reportError(ERR_ERROR, "%s", getResString(kStrKyt1xUnknownBlock));
            return KYT1X_FAILED;
        }

    const std::string base = circuitBaseName(name);
    const uint8_t* records = bytes.data();
    // The writer runs only once its file is open.
    bool opened = false;
    bool written = writeFileChecked(outPath, "wt", [&](FILE* out) {
        opened = true;
        bool good = writeConvertedComponent(out, records, base.c_str());
        // Connections: a source outside the components and the control
        // block, or one naming an empty record, connects nothing.
        for (int i = 0; i < kKyt1xRecords; ++i) {
            const uint8_t* r = record(records, i);
            if (r[0] == 0)
                continue;
            const ComponentKind& kind = kKinds[r[0]];
            for (size_t input = 0; input < kind.inputs.size(); ++input) {
                int source = r[sourceOffset(kind, input)];
                std::string target = std::string(1, letterOf(i)) + ".u" + kind.inputs[input] + ";\n";
                if (source == kControlSource)
                    good = put(out, "CONNECT Control.y TO " + target) && good;
                else if (source >= 1 && source <= kKyt1xRecords && record(records, source - 1)[0] != 0)
                    good = put(out, std::string("CONNECT ") + letterOf(source - 1) + ".y TO " + target) && good;
            }
        }
        for (int i = 0; i < kKyt1xRecords; ++i) {
            const uint8_t* r = record(records, i);
            if (r[0] != 0 && r[kOffsetSave] != 0)
                good = put(out, std::string("SAVE ") + letterOf(i) + ".y;\n") && good;
        }
        return put(out, "ENDCIRCUIT A" + base + ";\n") && good;
    });
    if (written)
        return KYT1X_CONVERTED;
    reportError(ERR_ERROR, getResString(opened ? kStrKyt1xWriteError : kStrKyt1xCannotCreate), outPath);
    return KYT1X_FAILED;
}
