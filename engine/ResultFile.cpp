#include "ResultFile.h"

#include "DiscreteFlags.h"
#include "ErrorReporter.h"
#include "EventQueue.h"
#include "FileLayer.h"
#include "NumberFormat.h"
#include "PiProgram.h"
#include "ResString.h"
#include "strings/SimulatorStrings.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

const char* const kSnapshotFileName = "simul.dat";

namespace {

FILE* resultFile = nullptr;
bool binaryForm = false;
bool deviceFile = false;
// The result file is the null device: nothing is formatted or written, since
// a character device is unbuffered and every record would be a system call.
bool nullDevice = false;
// Bytes handed to the result file since it was opened.
long bytesWritten = 0;
// A write or the close of the result file failed (a full disk, a lost
// medium); the name is kept for the message.
bool writeFailed = false;
std::string openedName;
// -1: no count from a run in progress.
int outputCount = -1;
double* records = nullptr;
// The symbol rows of the outputs, found once when the file is opened: a
// run fills the records at every point, and most rows are no output.
std::vector<int> outputRows;

const uint32_t kCurveColours[7] = {
    plotColour(255, 0, 0), plotColour(0, 128, 0),   plotColour(0, 0, 128),
    plotColour(0, 0, 255), plotColour(255, 0, 255), plotColour(128, 128, 0),
    plotColour(0, 255, 0),
};

// Size of one pending event in the snapshot, and where its fields lie.
const int kStoredEventSize = 56;

bool isOutput(const PiSymbol& s)
{
    return (s.flags & PI_SAVE) != 0;
}

// Kinds whose value lives in three buffers: time, states, discrete states.
bool inThreeBuffers(int kind)
{
    return (kind & 1) != 0;
}

// Rows whose first value the snapshot keeps: the three-buffer kinds and the
// parameters.
bool snapshotKeepsValue(int kind)
{
    return (kind & 1) != 0 || (kind & 64) != 0;
}

double valueOf(const PiSymbol& s, int buffer, int discreteBuffer)
{
    int b = 0;
    if (inThreeBuffers(s.kind))
        b = s.kind == 9 ? discreteBuffer : buffer;
    const double* v = s.value[b];
    return v ? *v : 0.0;
}

// Little-endian fields, whatever the machine.
void putBytes(std::string& out, uint64_t bits, int size)
{
    for (int i = 0; i < size; ++i)
        out += static_cast<char>((bits >> (8 * i)) & 0xff);
}

void putInt32(std::string& out, int32_t v)
{
    putBytes(out, static_cast<uint32_t>(v), 4);
}

void putDouble(std::string& out, double v)
{
    uint64_t bits;
    memcpy(&bits, &v, sizeof bits);
    putBytes(out, bits, 8);
}

uint64_t getBytes(const unsigned char* in, int size)
{
    uint64_t bits = 0;
    for (int i = 0; i < size; ++i)
        bits |= static_cast<uint64_t>(in[i]) << (8 * i);
    return bits;
}

int32_t getInt32(const unsigned char* in)
{
    return static_cast<int32_t>(static_cast<uint32_t>(getBytes(in, 4)));
}

double getDouble(const unsigned char* in)
{
    uint64_t bits = getBytes(in, 8);
    double v;
    memcpy(&v, &bits, sizeof v);
    return v;
}

void putSettings(std::string& out, const SimParams& settings)
{
    const char* base = reinterpret_cast<const char*>(&settings);
    for (int i = 0; i < kSimParamFieldCount; ++i) {
        const SimParamField& f = kSimParamFields[i];
        switch (f.kind) {
        case SIM_PARAM_TEXT: {
            // The name and zeros: what lies behind the NUL means nothing.
            const char* name = base + f.offset;
            size_t n = strnlen(name, kFileNameSize);
            out.append(name, n);
            out.append(kFileNameSize - n, '\0');
            break;
        }
        case SIM_PARAM_INT: {
            int32_t v;
            memcpy(&v, base + f.offset, sizeof v);
            putInt32(out, v);
            break;
        }
        case SIM_PARAM_DOUBLE: {
            double v;
            memcpy(&v, base + f.offset, sizeof v);
            putDouble(out, v);
            break;
        }
        }
    }
    putInt32(out, 0);   // padding after XVAR
}

void putEvent(std::string& out, const ScheduledEvent& e)
{
    putDouble(out, e.time);
    putInt32(out, e.kind);
    putInt32(out, 0);   // the handler's address means nothing outside the run
    putInt32(out, e.argument);
    putInt32(out, e.priority);
    out.append(e.name, kEventNameSize);
    putInt32(out, 0);
    putInt32(out, 0);   // next
    putInt32(out, 0);
}

// The size of the part of simul.dat that does not depend on the events.
long fixedSnapshotSize()
{
    const PiProgram& p = piProgram;
    long size = kStoredSimParamsSize + 16;
    for (int i = 0; i < p.nsymbols; ++i) {
        const int kind = p.symbols[i].kind;
        size += 4;
        if (snapshotKeepsValue(kind))
            size += 8;
        if (inThreeBuffers(kind))
            size += 8;
    }
    return size + 4L * discreteFlagCount();
}

bool isNullDevice(const struct stat& st)
{
    struct stat null;
    return stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) && st.st_rdev == null.st_rdev;
}

bool writeResult(const std::string& out)
{
    bytesWritten += static_cast<long>(out.size());
    if (fwrite(out.data(), 1, out.size(), resultFile) != out.size() || ferror(resultFile))
        writeFailed = true;
    return !writeFailed;
}

bool writeRecordValues(const double* values, int n)
{
    if (nullDevice)
        return true;
    const size_t count = static_cast<size_t>(n);
    if (binaryForm) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        // The file's little-endian doubles are the memory's own bytes here.
        bytesWritten += static_cast<long>(8 * count);
        if (fwrite(values, 8, count, resultFile) != count || ferror(resultFile))
            writeFailed = true;
        return !writeFailed;
#else
        std::string out;
        for (size_t i = 0; i < count; ++i)
            putDouble(out, values[i]);
        return writeResult(out);
#endif
    }
    // One buffer for every line of the run: no allocation per record.
    static std::string line;
    line.clear();
    char number[kMaxNumberText + 1];
    for (size_t i = 0; i < count; ++i) {
        if (i)
            line += ' ';
        formatNumber(values[i], number);
        line += number;
    }
    line += '\n';
    return writeResult(line);
}

} // namespace

uint32_t curveColour(int k)
{
    return kCurveColours[((k % 7) + 7) % 7];
}

int countOutputs()
{
    int n = 0;
    for (int i = 0; i < piProgram.nsymbols; ++i)
        if (isOutput(piProgram.symbols[i]))
            ++n;
    return n;
}

int ResultFileOpen(const SimParams& settings, int rmode, bool openResultFile)
{
    if (outputCount >= 0 || records) {
        reportError(ERR_FATAL, "%s", getResString(kStrInternalNoCache));
        abort();
    }
    binaryForm = rmode != 0;
    deviceFile = false;
    nullDevice = false;
    bytesWritten = 0;
    writeFailed = false;
    if (openResultFile) {
        char name[kFileNameSize + 1];
        memcpy(name, settings.FNAME, kFileNameSize);
        name[kFileNameSize] = 0;
        openedName = name;
        if (namesNullDevice(name)) {
            // The default result file "nul": no file is opened, under any
            // path mapping, and nothing is written. It stays a device, which
            // the binary form refuses.
            if (rmode == 1)
                return 2;
            deviceFile = true;
            nullDevice = true;
        } else {
            FILE* f = openFile(name, binaryForm ? "ab" : "at");
            if (!f)
                return 1;
            struct stat st;
            deviceFile = fstat(fileno(f), &st) == 0 && S_ISCHR(st.st_mode);
            if (deviceFile) {
                if (rmode == 1) {
                    fclose(f);
                    deviceFile = false;
                    return 2;
                }
                setvbuf(f, nullptr, _IONBF, 0);
                nullDevice = isNullDevice(st);
            }
            resultFile = f;
        }
    }
    outputCount = countOutputs();
    if (outputCount > 0)
        records = new double[static_cast<size_t>(outputCount)]();
    outputRows.clear();
    for (int i = 0; i < piProgram.nsymbols; ++i)
        if (isOutput(piProgram.symbols[i]))
            outputRows.push_back(i);
    return 0;
}

void ResultFileHeader(const SimParams& settings, PlotServices* plot, const char* circuitName)
{
    const PiProgram& p = piProgram;
    if (plot) {
        int signals = outputCount - 1 - (settings.XVAR != 0 ? 1 : 0);
        plot->setSignals(signals > 0 ? signals : 0);
        plot->setTitle(getResString(kStrResultTime));
        int output = 0;
        int curve = 0;
        for (int i = 0; i < p.nsymbols; ++i) {
            const PiSymbol& s = p.symbols[i];
            if (!isOutput(s))
                continue;
            if (output != 0) {
                if (output == settings.XVAR)
                    plot->setTitle(s.label.text());
                else {
                    plot->setSignal(curve, s.label.text(), curveColour(curve));
                    ++curve;
                }
            }
            ++output;
        }
        plot->setPagingMode(settings.XVAR == 0 ? kPlotPagingTime : kPlotPagingNone);
        plot->setRunState(0);
        plot->stampDateTime();
        plot->setStatusText(circuitName ? circuitName : "");
        plot->setRunState(1);
    }
    if (!resultFile || nullDevice)
        return;
    std::string header = "SIMUL 1.0:REAL*8:";
    header += binaryForm ? "BINARY" : "ASCII";
    header += ":VAR:";
    for (int i = 0; i < p.nsymbols; ++i) {
        if (isOutput(p.symbols[i])) {
            header += p.symbols[i].name;
            header += ':';
        }
    }
    header += '\n';
    writeResult(header);
}

void ResultFileFill(int buffer, int discreteBuffer)
{
    const PiProgram& p = piProgram;
    int k = 0;
    for (int i : outputRows)
        records[k++] = valueOf(p.symbols[i], buffer, discreteBuffer);
}

void ResultFileRecord(const SimParams& settings, PlotServices* plot)
{
    if (!records || settings.XVAR < 0 || settings.XVAR >= outputCount)
        return;
    if (plot) {
        static std::vector<double> values;
        values.clear();
        for (int i = 0; i < outputCount; ++i) {
            if (i == settings.XVAR || (i == 0 && settings.XVAR != 0))
                continue;
            values.push_back(records[i]);
        }
        plot->addPoint(records[settings.XVAR], values.data(), static_cast<int>(values.size()));
    }
    if (resultFile)
        writeRecordValues(records, outputCount);
}

void ResultFileClose()
{
    if (resultFile && resultFile != stdout && resultFile != stderr) {
        // The last records leave the stream's buffer only now.
        if (fclose(resultFile) != 0 && !nullDevice)
            writeFailed = true;
    } else if (resultFile && fflush(resultFile) != 0) {
        writeFailed = true;
    }
    resultFile = nullptr;
    deviceFile = false;
    nullDevice = false;
    delete[] records;
    records = nullptr;
    outputRows.clear();
    outputCount = -1;
}

bool resultFileIsOpen()
{
    return resultFile != nullptr;
}

bool resultFileIsDevice()
{
    return deviceFile;
}

bool resultFileWriteFailed()
{
    return writeFailed;
}

const char* resultFileName()
{
    return openedName.c_str();
}

long resultFileBytesWritten()
{
    return bytesWritten;
}

int recordBufferSize()
{
    return outputCount < 0 ? 0 : outputCount;
}

const double* recordBuffer()
{
    return records;
}

long snapshotSize(int events)
{
    return fixedSnapshotSize() + static_cast<long>(kStoredEventSize) * events;
}

int SimulationSnapshot(const SimParams& settings, double stepSize0, double currentStepSize,
                       int buffer, int discreteBuffer)
{
    const PiProgram& p = piProgram;
    std::string out;
    putSettings(out, settings);
    putDouble(out, stepSize0);
    putDouble(out, currentStepSize);
    for (int i = 0; i < p.nsymbols; ++i) {
        const PiSymbol& s = p.symbols[i];
        putInt32(out, s.flags);
        if (snapshotKeepsValue(s.kind))
            putDouble(out, s.value[0] ? *s.value[0] : 0.0);
        if (inThreeBuffers(s.kind))
            putDouble(out, valueOf(s, buffer, discreteBuffer));
    }
    for (int i = 1; i <= discreteFlagCount(); ++i)
        putInt32(out, discreteFlagValue(i));
    for (const ScheduledEvent* e = firstEvent(); e; e = e->next)
        putEvent(out, *e);

    // Written beside and renamed: a failed write keeps the last snapshot.
    bool written = writeFileChecked(kSnapshotFileName, "wb", [&out](FILE* f) {
        return fwrite(out.data(), 1, out.size(), f) == out.size();
    });
    return written ? 0 : 1;
}

int SimulationRestore(int buffer, int discreteBuffer)
{
    FILE* f = openFile(kSnapshotFileName, "rb");
    if (!f)
        return -1;
    std::vector<unsigned char> data;
    unsigned char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    fclose(f);

    // The events at the end are skipped; their number is what is left over.
    const long fixed = fixedSnapshotSize();
    const long size = static_cast<long>(data.size());
    if (size < fixed || (size - fixed) % kStoredEventSize != 0)
        return 1;

    const PiProgram& p = piProgram;
    // First check every row, so that a file of another program changes nothing.
    const unsigned char* at = data.data() + kStoredSimParamsSize + 16;
    for (int i = 0; i < p.nsymbols; ++i) {
        const int kind = p.symbols[i].kind;
        if (getInt32(at) != p.symbols[i].flags)
            return 1;
        at += 4 + (snapshotKeepsValue(kind) ? 8 : 0) + (inThreeBuffers(kind) ? 8 : 0);
    }

    // Parameters keep the values of this program: only their place is skipped.
    at = data.data() + kStoredSimParamsSize + 16;
    for (int i = 0; i < p.nsymbols; ++i) {
        const PiSymbol& s = p.symbols[i];
        at += 4;
        const unsigned char* first = at;
        if (snapshotKeepsValue(s.kind))
            at += 8;
        if (!inThreeBuffers(s.kind))
            continue;
        const unsigned char* current = at;
        at += 8;
        const int b = s.kind == 9 ? discreteBuffer : buffer;
        if (s.value[0])
            *s.value[0] = getDouble(first);
        if (s.value[b])
            *s.value[b] = getDouble(current);
    }
    for (int i = 1; i <= discreteFlagCount(); ++i) {
        setDiscreteFlagValue(i, getInt32(at));
        at += 4;
    }
    return 0;
}
