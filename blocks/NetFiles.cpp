#include "NetFiles.h"

#include "FileLayer.h"
#include "NetHost.h"
#include "NetKernel.h"
#include "NumberFormat.h"
#include "ResString.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

void reportSaveFailed(const char* name)
{
    netHostServices().moduleMessage(1, getResString(kTextSaveFailed), name ? name : "");
}

std::string printed(const char* format, int value)
{
    char buf[32];
    snprintf(buf, sizeof buf, format, value);
    return buf;
}

// The line end the file already uses.
const char* lineEndOf(const std::string& bytes)
{
    size_t lf = bytes.find('\n');
    return lf != std::string::npos && lf > 0 && bytes[lf - 1] == '\r' ? "\r\n" : "\n";
}

struct Edit {
    NetSpan span;
    std::string text;
};

// The rows of NEURONCONNECTIONS, one per neuron that has a connection. A
// neuron without any gets no row: a row without targets would not read back.
// Every row but the last ends in two blanks; the last one ends with its last
// weight, because what followed it in the file (its blanks too) stays. A
// mended fault: the last row got two more blanks with every write-back.
std::string connectionRows(const NeuralNet* net, const char* lineEnd)
{
    std::string rows;
    for (int i = 0; i < net->n; ++i) {
        std::string row = printed("%i     ", i + 1);
        bool any = false;
        for (int j = 0; j < net->n; ++j)
            if (net->isConnected(i, j)) {
                if (any)
                    row += "  ";
                row += printed("| %i : ", j + 1);
                row += netNumber(net->getWeight(i, j)).text();
                any = true;
            }
        if (!any)
            continue;
        if (!rows.empty()) {
            rows += "  ";
            rows += lineEnd;
        }
        rows += row;
    }
    return rows;
}

// A byte the scanner may read as part of a number or a name.
bool isWordByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == ':' ||
           c == '_' || c == '\\' || c == '-';
}

// The new text of an edit, with a blank on a side where it would otherwise
// touch a word byte of the old text: "5-ERRORLIMIT:" read as "5-" and the
// keyword, but "5000ERRORLIMIT:" reads as one name (a mended fault that lost
// trained nets).
std::string separated(const std::string& in, const NetSpan& span, const std::string& text)
{
    if (text.empty())
        return text;
    std::string out;
    if (span.begin > 0 && isWordByte(in[static_cast<size_t>(span.begin) - 1]) && isWordByte(text.front()))
        out += ' ';
    out += text;
    if (static_cast<size_t>(span.end) < in.size() && isWordByte(in[static_cast<size_t>(span.end)]) &&
        isWordByte(text.back()))
        out += ' ';
    return out;
}

bool validSpan(const NetSpan& s, size_t size)
{
    return s.begin >= 0 && s.end >= s.begin && static_cast<size_t>(s.end) <= size;
}

// Formats one value of a pattern file's lists.
void appendValue(std::string& out, const char* before, double v, const char* after)
{
    out += before;
    out += netNumber(v).text();
    out += after;
}

double limited(double v)
{
    return netOverflowed(v) ? kNetOverflowLimit : v;
}

} // namespace

size_t netNumberText(double v, char* out)
{
    if (!std::isfinite(v))
        v = std::signbit(v) ? -kNetOverflowLimit : kNetOverflowLimit;
    size_t len = formatNumber(v, out);
    // "1.e+030" would scan as the number "1.e", a skipped "+" and "030".
    char* plus = strstr(out, "e+");
    if (plus) {
        char* digits = plus + 2;
        while (*digits == '0' && digits[1] != 0)
            ++digits;
        memmove(plus + 1, digits, strlen(digits) + 1);
        len = strlen(out);
    }
    return len;
}

String netNumber(double v)
{
    char buf[kMaxNumberText + 1];
    netNumberText(v, buf);
    return String(buf);
}

bool netReadStream(FILE* stream, std::string* bytes, bool* tooLarge, size_t maxBytes)
{
    bytes->clear();
    if (tooLarge)
        *tooLarge = false;
    if (!stream)
        return false;
    char buf[8192];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, stream)) > 0) {
        if (got > maxBytes - bytes->size()) {
            bytes->clear();
            if (tooLarge)
                *tooLarge = true;
            return false;
        }
        bytes->append(buf, got);
    }
    return !ferror(stream);
}

bool netReplaceFile(const char* path, const std::string& bytes)
{
    if (!path || !*path)
        return false;
    // A device or directory under the net's name is not replaced.
    struct stat original;
    if (stat(mapPath(path).text(), &original) == 0 && !S_ISREG(original.st_mode))
        return false;
    return writeFileChecked(path, "wb", [&bytes](FILE* stream) {
        return bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    });
}

std::string netFileText(const NeuralNet* net, const NetFileImage& image)
{
    const std::string& in = image.bytes;
    std::vector<Edit> edits;
    if (image.hasCycles)
        edits.push_back({image.cycles, printed("%i", net->cycles)});
    if (image.hasRate)
        edits.push_back({image.rate, netNumber(net->learningRate).text()});
    for (const NetBiasField& b : image.biases)
        if (b.neuron >= 0 && b.neuron < net->n && net->neurons)
            edits.push_back({b.span, netNumber(net->neurons[b.neuron].bias).text()});
    if (image.hasConnections) {
        std::string rows = connectionRows(net, lineEndOf(in));
        // Without any connection the old rows stay: nothing of them was
        // trained, and an empty list would not read back.
        if (!rows.empty())
            edits.push_back({image.connections, rows});
    }
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit& a, const Edit& b) { return a.span.begin < b.span.begin; });

    std::string out;
    out.reserve(in.size() + 256);
    size_t pos = 0;
    for (const Edit& e : edits) {
        if (!validSpan(e.span, in.size()) || static_cast<size_t>(e.span.begin) < pos)
            continue;
        out.append(in, pos, static_cast<size_t>(e.span.begin) - pos);
        out += separated(in, e.span, e.text);
        pos = static_cast<size_t>(e.span.end);
    }
    out.append(in, pos, std::string::npos);
    return out;
}

bool NetFileIO(NeuralNet* net)
{
    if (!net)
        return false;
    if (!net->image) {
        // A net that was not read from a file has nowhere to go.
        reportSaveFailed(net->fileName);
        return false;
    }
    if (!netReplaceFile(net->image->path.text(), netFileText(net, *net->image))) {
        reportSaveFailed(net->image->path.text());
        return false;
    }
    return true;
}

bool PatternFileWrite(NeuralNet* net, const char* path, const char* directoryText)
{
    if (!net)
        return false;
    std::string out = "Patternfile\n";
    out += "FILENAME: ";
    out += directoryText ? directoryText : "";
    out += "\n";
    out += "FILETYPE: Inclusive_Sollwert\n";
    out += printed("NOOFPATTERN: %i\n\n", net->patternCount);
    out += "NETPARAMETER\n\n";
    out += printed("INPUTNEURONS: %i\n", net->inputs);
    out += printed("OUTPUTNEURONS: %i\n", net->outputs);
    out += printed("HIDDENNEURONS: %i\n\n", net->hiddenNeurons());
    const int firstOutput = net->n - net->outputs;
    for (int p = 0; p < net->patternCount; ++p) {
        out += printed("PATTERN %i\n", p + 1);
        out += "INPUT:            ";
        for (int i = 0; i < net->inputs; ++i)
            appendValue(out, "", net->getInputPattern(i, p), " ");
        out += "\n";
        net->feedForward(p);
        out += "OUTPUT_REF:      ";
        for (int k = 0; k < net->outputs; ++k)
            appendValue(out, "", net->getReferenceOutput(k, p), "     ");
        out += "\n";
        out += "OUTPUT:       ";
        for (int i = firstOutput; i < net->n && net->neurons; ++i)
            appendValue(out, "", limited(net->neurons[i].outputValue), "     ");
        out += "\n";
        out += "HIDDENACTIVATION:\n";
        for (int i = net->inputs; i < firstOutput && net->neurons; ++i)
            appendValue(out, "       ", limited(net->neurons[i].outputValue), "     \n");
        out += "\n";
    }
    if (!netReplaceFile(path, out)) {
        reportSaveFailed(path);
        return false;
    }
    return true;
}

String patternFileName(const char* fileNameText)
{
    String file;
    splitPath(fileNameText ? fileNameText : "", nullptr, &file);
    const char* name = file.text();
    const char* dot = strchr(name, '.');
    std::string base = dot ? std::string(name, static_cast<size_t>(dot - name) + 1) : std::string(name);
    base += "pat";
    return String(base.c_str());
}
