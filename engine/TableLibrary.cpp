#include "TableLibrary.h"

#include "ModuleRegistry.h"
#include "RunTimeFiles.h"

#include "FileLayer.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "strings/FiletableStrings.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

// Texts (filetable.strings).
enum TableText {
    TEXT_TABLES_DECLARED = kStrTablesDeclared,
    TEXT_CANNOT_OPEN = kStrTableCannotOpen,
    TEXT_NO_SUCH_TABLE = kStrNoSuchTable,
    TEXT_OUT_OF_RANGE = kStrTableOutOfRange,
    TEXT_TOO_MANY_VALUES = kStrTableTooManyValues,
    TEXT_LINE_TOO_LONG = kStrTableLineTooLong
};

// What a table file can sensibly hold. A table of 4096 x 4096 values fills
// 128 MB of memory; its rows are far shorter than a megabyte of text. A
// larger header or a longer line (a device such as /dev/zero, a wrong file)
// is refused before it costs more.
const long long kMaxTableValues = 1LL << 24;
const size_t kMaxTableLine = 1u << 20;

enum TableRead { TABLE_READ, TABLE_BROKEN, TABLE_TOO_MANY_VALUES, TABLE_LINE_TOO_LONG };

const char kErrorKey[] = "TABLE";
RunTimeHost host(kErrorKey);

// One table on an even grid; values row by row (the value at column i of
// row j is values[j * nx + i]). A slot without values is free.
struct TableSlot {
    double xmin = 0, xmax = 0, dx = 1;
    int nx = 0;
    double ymin = 0, ymax = 0, dy = 1;
    int ny = 0;
    std::vector<double> values;
};

std::vector<TableSlot> slots;

void freeValues(TableSlot& s)
{
    std::vector<double>().swap(s.values);
}

void freeAllValues()
{
    for (TableSlot& s : slots)
        freeValues(s);
}

// The numbers of a table file in order, as a C stream reads them with
// "%lf": white space is skipped, a number must follow.
class NumberReader {
public:
    explicit NumberReader(FILE* stream) : stream(stream) {}

    bool next(double* v)
    {
        for (;;) {
            while (*p && isspace(static_cast<unsigned char>(*p)))
                ++p;
            if (*p)
                break;
            LineReadResult r = readBoundedLine(stream, line, kMaxTableLine);
            if (r == LINE_TOO_LONG)
                tooLong = true;
            if (r != LINE_READ || ferror(stream))
                return false;
            // A NUL byte ends the words of its line, as it did for "%lf".
            p = line.c_str();
        }
        size_t taken = parseNumber(p, v);
        if (taken == 0)
            return false;
        p += taken;
        return true;
    }

    bool isLineTooLong() const { return tooLong; }

private:
    FILE* stream;
    std::string line;
    const char* p = "";
    bool tooLong = false;
};

// nx or ny as read: a whole number from 1 to the int range. Negative, broken
// or huge sizes would overflow the product or size a buffer of gigabytes.
bool readSize(NumberReader& in, int* n)
{
    double v = 0;
    if (!in.next(&v) || !(v >= 1) || v > static_cast<double>(INT_MAX) || std::floor(v) != v)
        return false;
    *n = static_cast<int>(v);
    return true;
}

// One axis: min, max, count and the step. A single point has the step 1;
// more points need a finite range that is not empty, or the step, a divisor
// of every look-up, would be 0 or not a number.
bool readAxis(NumberReader& in, double* min, double* max, int* n, double* step)
{
    if (!in.next(min) || !in.next(max) || !readSize(in, n))
        return false;
    if (!std::isfinite(*min) || !std::isfinite(*max))
        return false;
    if (*n == 1) {
        *step = 1;
        return true;
    }
    *step = (*max - *min) / (*n - 1);
    return std::isfinite(*step) && *step != 0;
}

// Reads the whole file into the slot; anything but TABLE_READ leaves it
// without values. The values are stored as they are read, so a header that
// promises more than the file holds costs nothing.
TableRead readTable(FILE* stream, TableSlot& s)
{
    NumberReader in(stream);
    TableSlot t;
    bool header = readAxis(in, &t.xmin, &t.xmax, &t.nx, &t.dx) && readAxis(in, &t.ymin, &t.ymax, &t.ny, &t.dy);
    if (!header)
        return in.isLineTooLong() ? TABLE_LINE_TOO_LONG : TABLE_BROKEN;
    const long long count = static_cast<long long>(t.nx) * t.ny;
    if (count > kMaxTableValues)
        return TABLE_TOO_MANY_VALUES;
    for (long long k = 0; k < count; ++k) {
        double v = 0;
        if (!in.next(&v))
            return in.isLineTooLong() ? TABLE_LINE_TOO_LONG : TABLE_BROKEN;
        t.values.push_back(v);
    }
    s = std::move(t);
    return TABLE_READ;
}

// The slot of a handle, or null after "Es gibt keine Tabelle mit der #%d!".
TableSlot* slotOf(double handle)
{
    return host.slot(slots, handle, TEXT_NO_SUCH_TABLE);
}

// ---- the rows

int tableLoad()
{
    if (!slots.empty()) {
        host.message(0, TEXT_TABLES_DECLARED);
        freeAllValues();
    }
    slots.clear();
    return 0;
}

void tableStart()
{
    freeAllValues();
}

void tableUnload()
{
    freeAllValues();
    std::vector<TableSlot>().swap(slots);
}

double TABLEOPEN(double name)
{
    if (host.compiling())
        return 0;
    size_t index = 0;
    while (index < slots.size() && !slots[index].values.empty())
        ++index;
    if (index == slots.size())
        slots.emplace_back();
    const int handle = static_cast<int>(index);
    TableSlot& s = slots[index];

    String path;
    FILE* stream = nullptr;
    if (!openNamedRunTimeFile(host.services, name, &path, &stream))
        return handle;
    TableRead read = stream ? readTable(stream, s) : TABLE_BROKEN;
    if (stream)
        fclose(stream);
    if (read == TABLE_TOO_MANY_VALUES)
        host.message(1, TEXT_TOO_MANY_VALUES, path.text(), static_cast<int>(kMaxTableValues));
    else if (read == TABLE_LINE_TOO_LONG)
        host.message(1, TEXT_LINE_TOO_LONG, path.text(), static_cast<int>(kMaxTableLine));
    else if (read != TABLE_READ)
        host.message(1, TEXT_CANNOT_OPEN, path.text());
    if (read != TABLE_READ)
        host.errorStop();
    return handle;
}

void TABLECLOSE(double handle)
{
    if (host.compiling())
        return;
    TableSlot* s = slotOf(handle);
    if (s)
        freeValues(*s);
}

double TABLEGET(double handle, double y, double x)
{
    if (host.compiling())
        return 0;
    TableSlot* s = slotOf(handle);
    if (!s)
        return 0;
    if (s->values.empty()) {
        // A slot keeps no name: the handle stands for it.
        char name[24];
        snprintf(name, sizeof name, "#%d", static_cast<int>(s - slots.data()));
        host.message(1, TEXT_CANNOT_OPEN, name);
        host.errorStop();
        return 0;
    }
    int i = 0, j = 0;
    if (!runTimeIndex((x - s->xmin) / s->dx, s->nx, &i) || !runTimeIndex((y - s->ymin) / s->dy, s->ny, &j)) {
        host.message(1, TEXT_OUT_OF_RANGE, s->xmin, x, s->xmax, s->ymin, y, s->ymax);
        host.errorStop();
        return 0;
    }
    const long long nx = s->nx;
    auto at = [&](long long col, long long row) { return s->values[static_cast<size_t>(row * nx + col)]; };
    const bool lastColumn = i == s->nx - 1;
    const bool lastRow = j == s->ny - 1;
    const double a = at(i, j);
    const double b = lastColumn ? a : at(i + 1, j);
    const double c = lastRow ? a : at(i, j + 1);
    const double d = lastColumn ? c : lastRow ? b : at(i + 1, j + 1);
    return a + 0.5 * (((b - c) + (d - a)) / s->dx * (x - s->xmin - i * s->dx) +
                      ((c - b) + (d - a)) / s->dy * (y - s->ymin - j * s->dy));
}

ModuleEntry rows[] = {
    {"TABLE", MODULE_FUNCTION(tableLoad), MODULE_LOAD_HOOK, nullptr},
    {"TABLE", MODULE_FUNCTION(tableStart), MODULE_START_HOOK, nullptr},
    {"TABLE", MODULE_FUNCTION(tableUnload), MODULE_UNLOAD_HOOK, nullptr},
    {"TABLEOPEN", MODULE_FUNCTION(TABLEOPEN), MODULE_FUNCTION_ROW, "ds", MODULE_SIDE_EFFECTS},
    {"TABLECLOSE", MODULE_FUNCTION(TABLECLOSE), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {"TABLEGET", MODULE_FUNCTION(TABLEGET), MODULE_FUNCTION_ROW, "dddd", MODULE_SIDE_EFFECTS},
    {nullptr, nullptr, 0, nullptr},
};

ModuleDescriptor descriptor = {0, 0, rows, kErrorKey};

} // namespace

ModuleDescriptor* TableModuleRegister(const HostServices* services)
{
    host.attach(services);
    return &descriptor;
}

int tableSlotCount()
{
    return static_cast<int>(slots.size());
}

long long tableValueCount(int handle)
{
    if (handle < 0 || handle >= tableSlotCount())
        return 0;
    return static_cast<long long>(slots[static_cast<size_t>(handle)].values.size());
}
