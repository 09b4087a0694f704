#include "FileLibrary.h"

#include "ModuleRegistry.h"
#include "RunTimeFiles.h"

#include "NumberFormat.h"
#include "ResString.h"
#include "strings/FiletableStrings.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Texts (filetable.strings).
enum FileText {
    TEXT_FILES_DECLARED = kStrFilesDeclared,
    TEXT_CANNOT_CLOSE = kStrFileCannotClose,
    TEXT_CANNOT_OPEN = kStrFileCannotOpen,
    TEXT_NO_SUCH_FILE = kStrNoSuchFile,
    TEXT_NEVER_OPENED = kStrFileNeverOpened,
    TEXT_READ_ERROR = kStrFileReadError,
    TEXT_LINE_TOO_LONG = kStrFileLineTooLong,
    TEXT_BAD_FORMAT = kStrFileBadFormat,
    TEXT_NO_SUCH_COLUMN = kStrFileNoSuchColumn
};

const char kErrorKey[] = "FILE";
RunTimeHost host(kErrorKey);

struct FileSlot {
    FILE* stream = nullptr;
    int status = 1;          // 0 good, 1 after an error or the end of the file
    long lineNumber = 0;     // lines read so far, comment lines included
    std::vector<double> columns;
};

std::vector<FileSlot> slots;

// The shared buffers of the line being taken apart.
std::string lineBuffer;
std::vector<double> valueBuffer;
const size_t kFirstValueCapacity = 10;

// Closes the stream of a slot. A close that fails is reported, without an
// error stop; the stream is gone either way (fclose frees it even when it
// fails, so keeping it would use freed memory later).
void closeSlot(FileSlot& s, int handle)
{
    if (s.stream) {
        if (fclose(s.stream) != 0)
            host.message(1, TEXT_CANNOT_CLOSE, handle);
        s.stream = nullptr;
    }
    s.status = 1;
    s.columns.clear();
    s.columns.shrink_to_fit();
}

void closeAllSlots()
{
    for (size_t i = 0; i < slots.size(); ++i)
        closeSlot(slots[i], static_cast<int>(i));
}

// ---- reading a line

enum LineResult {
    LINE_NONE,      // the end of the file, nothing read
    LINE_COMPLETE,  // a whole line, without its line end
    LINE_TOO_LONG,  // the buffer is full and the line goes on
    LINE_ERROR      // the stream failed
};

// At most kDataLineBuffer - 1 characters. A last line without a line end
// that fits the buffer is complete: a file saved without a final newline is
// no error. Only a full buffer with more of the line behind it is too long.
LineResult readDataLine(FILE* stream, std::string& line)
{
    const size_t room = kDataLineBuffer - 1;
    line.clear();
    bool any = false;
    while (line.size() < room) {
        int c = getc(stream);
        if (c == EOF)
            break;
        any = true;
        if (c == '\n')
            return LINE_COMPLETE;
        line += static_cast<char>(c);
    }
    if (ferror(stream))
        return LINE_ERROR;
    if (line.size() < room)
        return any ? LINE_COMPLETE : LINE_NONE;
    int c = getc(stream);
    if (c == EOF)
        return ferror(stream) ? LINE_ERROR : LINE_COMPLETE;
    if (c == '\n')
        return LINE_COMPLETE;
    ungetc(c, stream);
    return LINE_TOO_LONG;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Takes the line apart word by word into the value buffer. Returns the count
// of numbers; *commentFirst tells that the first word began a comment.
size_t takeLineApart(FileSlot& s, int handle, const std::string& line, bool* commentFirst)
{
    valueBuffer.clear();
    *commentFirst = false;
    const char* p = line.c_str();
    bool anyWord = false;
    for (;;) {
        while (isBlank(*p))
            ++p;
        if (!*p) {
            // A line of nothing but blanks ends in an empty word that does
            // not read; blanks after the last number are harmless.
            if (!anyWord && p != line.c_str()) {
                host.message(1, TEXT_BAD_FORMAT, handle, s.lineNumber);
                s.status = 1;
                host.errorStop();
            }
            break;
        }
        if (*p == '#') {
            *commentFirst = !anyWord;
            break;
        }
        anyWord = true;
        double v = 0;
        size_t taken = parseNumber(p, &v);
        if (taken == 0) {
            host.message(1, TEXT_BAD_FORMAT, handle, s.lineNumber);
            s.status = 1;
            host.errorStop();
            break;
        }
        valueBuffer.push_back(v);
        p += taken;
        while (*p && !isBlank(*p))
            ++p;
    }
    return valueBuffer.size();
}

// The reading of FREAD, also done by FOPEN for the first line.
void readRecord(FileSlot& s, int handle)
{
    for (;;) {
        // 1. Nothing more after an error or the end of the file.
        if (s.status != 0)
            return;
        LineResult r = readDataLine(s.stream, lineBuffer);
        if (r == LINE_ERROR) {
            // The status goes to 1 as well: FSTATUS must not report a good
            // stream after a failed read.
            host.message(1, TEXT_READ_ERROR, handle);
            s.status = 1;
            host.errorStop();
            return;
        }
        if (r == LINE_NONE) {
            s.status = 1;
            return;
        }
        // 2. A line too long is reported; what was read is still taken.
        if (r == LINE_TOO_LONG) {
            host.message(1, TEXT_LINE_TOO_LONG, handle, kDataLineBuffer);
            s.status = 1;
            host.errorStop();
        }
        // 3. The words.
        ++s.lineNumber;
        bool commentFirst = false;
        size_t n = takeLineApart(s, handle, lineBuffer, &commentFirst);
        // 4. Numbers replace the columns; a comment line is skipped; an
        // empty or failed line leaves the columns as they were.
        if (n > 0) {
            s.columns.assign(valueBuffer.begin(), valueBuffer.end());
            return;
        }
        if (!commentFirst)
            return;
    }
}

// The slot of a handle, or null after "Es gibt keine Datei mit der #%d!".
FileSlot* slotOf(double handle)
{
    return host.slot(slots, handle, TEXT_NO_SUCH_FILE);
}

// ---- the rows

int fileLoad()
{
    if (!slots.empty()) {
        host.message(0, TEXT_FILES_DECLARED);
        closeAllSlots();
    }
    slots.clear();
    lineBuffer.reserve(kDataLineBuffer);
    valueBuffer.reserve(kFirstValueCapacity);
    return 0;
}

void fileStart()
{
    closeAllSlots();
}

void fileUnload()
{
    closeAllSlots();
    std::vector<FileSlot>().swap(slots);
    std::string().swap(lineBuffer);
    std::vector<double>().swap(valueBuffer);
}

double FOPEN(double name)
{
    if (host.compiling())
        return 0;
    size_t index = 0;
    while (index < slots.size() && slots[index].stream)
        ++index;
    if (index == slots.size())
        slots.emplace_back();
    const int handle = static_cast<int>(index);
    FileSlot& s = slots[index];
    s.status = 1;
    s.lineNumber = 0;
    s.columns.clear();

    String path;
    if (!openNamedRunTimeFile(host.services, name, &path, &s.stream))
        return handle;
    if (!s.stream) {
        host.message(1, TEXT_CANNOT_OPEN, path.text());
        host.errorStop();
        return handle;
    }
    s.status = 0;
    readRecord(s, handle);
    return handle;
}

void FCLOSE(double handle)
{
    if (host.compiling())
        return;
    FileSlot* s = slotOf(handle);
    if (s)
        closeSlot(*s, static_cast<int>(s - slots.data()));
}

void FREAD(double handle)
{
    if (host.compiling())
        return;
    FileSlot* s = slotOf(handle);
    if (!s)
        return;
    const int h = static_cast<int>(s - slots.data());
    if (!s->stream) {
        host.message(1, TEXT_NEVER_OPENED, h);
        s->status = 1;
        host.errorStop();
        return;
    }
    readRecord(*s, h);
}

double FGET(double handle, double column)
{
    if (host.compiling())
        return 0;
    FileSlot* s = slotOf(handle);
    if (!s)
        return 0;
    const int h = static_cast<int>(s - slots.data());
    int c = 0;
    const bool inRange = runTimeIndex(column, static_cast<long long>(s->columns.size()) + 1, &c);
    // The status of a slot that never opened is an answer, not an error:
    // FSTATUS after a failed FOPEN is 1.
    if (inRange && c == 0)
        return s->status;
    if (!s->stream) {
        host.message(1, TEXT_NEVER_OPENED, h);
        s->status = 1;
        host.errorStop();
        return 0;
    }
    if (!inRange) {
        host.message(1, TEXT_NO_SUCH_COLUMN, runTimeMessageNumber(column), h);
        s->status = 1;
        host.errorStop();
        return 0;
    }
    return s->columns[static_cast<size_t>(c - 1)];
}

double FSTATUS(double handle)
{
    return FGET(handle, 0);
}

ModuleEntry rows[] = {
    {"FILE", MODULE_FUNCTION(fileLoad), MODULE_LOAD_HOOK, nullptr},
    {"FILE", MODULE_FUNCTION(fileStart), MODULE_START_HOOK, nullptr},
    {"FILE", MODULE_FUNCTION(fileUnload), MODULE_UNLOAD_HOOK, nullptr},
    {"FOPEN", MODULE_FUNCTION(FOPEN), MODULE_FUNCTION_ROW, "ds", MODULE_SIDE_EFFECTS},
    {"FCLOSE", MODULE_FUNCTION(FCLOSE), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {"FGET", MODULE_FUNCTION(FGET), MODULE_FUNCTION_ROW, "ddd", MODULE_SIDE_EFFECTS},
    {"FSTATUS", MODULE_FUNCTION(FSTATUS), MODULE_FUNCTION_ROW, "dd", MODULE_SIDE_EFFECTS},
    {"FREAD", MODULE_FUNCTION(FREAD), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {nullptr, nullptr, 0, nullptr},
};

ModuleDescriptor descriptor = {0, 0, rows, kErrorKey};

} // namespace

ModuleDescriptor* FileModuleRegister(const HostServices* services)
{
    host.attach(services);
    return &descriptor;
}

int fileSlotCount()
{
    return static_cast<int>(slots.size());
}
