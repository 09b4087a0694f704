#include "RunTimeFiles.h"

#include "FileLayer.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {

RunTimeFileOpener opener = openFile;

const char kCircuitPrefix[] = "@:\\";

} // namespace

bool runTimeFilePath(const char* name, const char* circuitDirectory, String* path)
{
    const char* n = name ? name : "";
    if (strncmp(n, kCircuitPrefix, 3) == 0) {
        // The directory and the name after the prefix, with the directory's
        // kind of separator throughout. Without a directory the name stays
        // relative: "\name" would be a file in the root of the drive.
        *path = resolvePath(circuitDirectory ? circuitDirectory : "", n + 3);
    } else {
        *path = n;
    }
    return strlen(path->text()) <= static_cast<size_t>(kMaxRunTimePath);
}

void setRunTimeFileOpener(RunTimeFileOpener o)
{
    opener = o ? o : openFile;
}

FILE* openRunTimeFile(const char* path, const char* mode)
{
    return opener(path, mode);
}

bool openNamedRunTimeFile(const HostServices& host, double name, String* path, FILE** stream)
{
    *stream = nullptr;
    // stringConstant reports a bad index itself.
    const char* text = host.stringConstant ? host.stringConstant(runTimeMessageNumber(name)) : nullptr;
    if (!text)
        return false;
    const char* dir = host.circuitDirectory ? host.circuitDirectory() : "";
    if (runTimeFilePath(text, dir, path))
        *stream = openRunTimeFile(path->text(), "rt");
    return true;
}

bool runTimeIndex(double v, long long count, int* index)
{
    // Truncation keeps (-1, 0) at 0, as the integer of the value would.
    if (!(v > -1.0) || !(v < static_cast<double>(count)) || v >= static_cast<double>(INT_MAX))
        return false;
    *index = static_cast<int>(v);
    return true;
}

int runTimeMessageNumber(double v)
{
    if (std::isnan(v))
        return -1;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}
