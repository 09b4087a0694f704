#include "FileLayer.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Paths of the programs ignore case, as Wine's do: a path that does not
// exist as written is matched component by component without case.
String withoutCase(const String& path)
{
    struct stat st;
    if (stat(path.text(), &st) == 0)
        return path;
    std::string in(path.text());
    std::string out;
    size_t pos = 0;
    if (!in.empty() && in[0] == '/') {
        out = "/";
        pos = 1;
    }
    while (pos <= in.size()) {
        size_t end = in.find('/', pos);
        if (end == std::string::npos)
            end = in.size();
        std::string part = in.substr(pos, end - pos);
        std::string dir = out.empty() ? "." : out;
        std::string tried = out + part;
        if (!part.empty() && part != "." && part != ".." && stat(tried.c_str(), &st) != 0) {
            if (DIR* d = opendir(dir.c_str())) {
                while (struct dirent* e = readdir(d))
                    if (strcasecmp(e->d_name, part.c_str()) == 0) {
                        part = e->d_name;
                        break;
                    }
                closedir(d);
            }
        }
        out += part;
        if (end < in.size())
            out += "/";
        pos = end + 1;
    }
    return String(out.c_str());
}

String nativePath(const char* path)
{
    String s(path);
    char* p = s.getBuffer();
    for (; *p; ++p)
        if (*p == '\\')
            *p = '/';
    return withoutCase(s);
}

PathMapper currentMapper = nativePath;

// Text-mode reading over a binary stream: CR LF arrives as LF.
ssize_t textRead(void* cookie, char* buf, size_t size)
{
    FILE* raw = static_cast<FILE*>(cookie);
    size_t n = 0;
    // One lock for the whole block: a lock per byte made reading long
    // texts several times slower.
    flockfile(raw);
    while (n < size) {
        int c = getc_unlocked(raw);
        if (c == EOF)
            break;
        if (c == '\r') {
            int d = getc_unlocked(raw);
            if (d == '\n')
                c = '\n';
            else if (d != EOF)
                ungetc(d, raw);
        }
        buf[n++] = static_cast<char>(c);
    }
    funlockfile(raw);
    if (n == 0 && ferror(raw))
        return -1;
    return static_cast<ssize_t>(n);
}

int textSeek(void* cookie, off64_t* offset, int whence)
{
    FILE* raw = static_cast<FILE*>(cookie);
    if (fseeko(raw, static_cast<off_t>(*offset), whence) != 0)
        return -1;
    *offset = static_cast<off64_t>(ftello(raw));
    return 0;
}

int textClose(void* cookie)
{
    return fclose(static_cast<FILE*>(cookie));
}

} // namespace

bool isPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

String joinPath(const char* dir, const char* name)
{
    String result(dir);
    size_t n = dir ? strlen(dir) : 0;
    if (n && !isPathSeparator(dir[n - 1])) {
        bool onlySlashes = strchr(dir, '/') && !strchr(dir, '\\');
        result += onlySlashes ? '/' : '\\';
    }
    result += name;
    return result;
}

void splitPath(const char* path, String* dir, String* file)
{
    const char* p = path ? path : "";
    const char* last = nullptr;
    for (const char* q = p; *q; ++q)
        if (isPathSeparator(*q))
            last = q;
    if (!last) {
        if (dir)
            *dir = "";
        if (file)
            *file = p;
        return;
    }
    if (dir) {
        std::string d(p, static_cast<size_t>(last - p));
        *dir = d.c_str();
    }
    if (file)
        *file = last + 1;
}

bool isAbsolutePath(const char* path)
{
    if (!path || !*path)
        return false;
    if (isPathSeparator(path[0]))
        return true;
    char c = path[0];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return letter && path[1] == ':';
}

String resolvePath(const char* baseDir, const char* path)
{
    if (!path || !*path || !baseDir || !*baseDir || isAbsolutePath(path))
        return String(path);
    String joined = joinPath(baseDir, path);
    // One kind of separator in the result: the base's.
    char sep = strchr(baseDir, '/') && !strchr(baseDir, '\\') ? '/' : '\\';
    char* p = joined.getBuffer() + strlen(baseDir);
    for (; *p; ++p)
        if (isPathSeparator(*p))
            *p = sep;
    return joined;
}

void setPathMapper(PathMapper mapper)
{
    currentMapper = mapper ? mapper : nativePath;
}

bool namesNullDevice(const char* path)
{
    if (!path)
        return false;
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || (*p == ':' && p[1]))
            name = p + 1;
    return strcasecmp(name, "nul") == 0 || strcasecmp(name, "nul:") == 0;
}

String mapPath(const char* path)
{
    // Every mapper: Wine's own knows no DOS devices and would make "nul" a
    // file in the current directory, growing with every run.
    if (namesNullDevice(path))
        return String("/dev/null");
    return currentMapper(path ? path : "");
}

FILE* openFile(const char* path, const char* mode)
{
    if (!path || !mode || !*mode)
        return nullptr;
    String sys = mapPath(path);
    bool binary = strchr(mode, 'b') != nullptr;
    bool update = strchr(mode, '+') != nullptr;
    char kind = mode[0];
    if (kind != 'r' && kind != 'w' && kind != 'a')
        return nullptr;

    if (kind == 'r') {
        // A directory opens for reading here and then fails on the first read.
        struct stat st;
        if (stat(sys.text(), &st) == 0 && S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return nullptr;
        }
    }

    // The system's own modes: "t" means nothing to it.
    char sysMode[4];
    int k = 0;
    sysMode[k++] = kind;
    if (update)
        sysMode[k++] = '+';
    sysMode[k++] = 'b';
    sysMode[k] = 0;

    FILE* raw = fopen(sys.text(), sysMode);
    if (!raw || binary || kind != 'r' || update)
        return raw;

    cookie_io_functions_t io;
    io.read = textRead;
    io.write = nullptr;
    io.seek = textSeek;
    io.close = textClose;
    FILE* text = fopencookie(raw, "r", io);
    if (!text)
        fclose(raw);
    return text;
}

LineReadResult readBoundedLine(FILE* stream, std::string& line, size_t maxLength)
{
    line.clear();
    // Bytes go to the line in blocks: a long line costs one copy per byte.
    char block[4096];
    size_t inBlock = 0;
    int c;
    LineReadResult result = LINE_AT_END;
    flockfile(stream);
    while ((c = getc_unlocked(stream)) != EOF) {
        result = LINE_READ;
        if (c == '\n')
            break;
        if (line.size() + inBlock >= maxLength) {
            ungetc(c, stream);
            result = LINE_TOO_LONG;
            break;
        }
        block[inBlock++] = static_cast<char>(c);
        if (inBlock == sizeof block) {
            line.append(block, inBlock);
            inBlock = 0;
        }
    }
    funlockfile(stream);
    line.append(block, inBlock);
    return result;
}

bool readLine(FILE* stream, String& line)
{
    std::string s;
    int c;
    bool any = false;
    while ((c = getc(stream)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        s += static_cast<char>(c);
    }
    line = s.c_str();
    return any;
}

String checkedWriteTemporary(const char* path)
{
    String temporary(path);
    temporary += ".new";
    return temporary;
}

bool writeFileChecked(const char* path, const char* mode, const FileContentWriter& write)
{
    if (!path || !*path || !mode || mode[0] != 'w')
        return false;
    String temporary = checkedWriteTemporary(path);
    FILE* out = openFile(temporary.text(), mode);
    if (!out)
        return false;
    bool ok = true;
    // The new copy keeps the permissions of the file it replaces. Only a
    // regular temporary file is touched: a mapped path may name a device.
    struct stat original;
    struct stat copy;
    if (stat(mapPath(path).text(), &original) == 0 && S_ISREG(original.st_mode) &&
        fstat(fileno(out), &copy) == 0 && S_ISREG(copy.st_mode) &&
        (copy.st_mode & 07777) != (original.st_mode & 07777))
        ok = fchmod(fileno(out), original.st_mode & 07777) == 0;
    if (ok && write)
        ok = write(out);
    if (ferror(out) || fflush(out) != 0)
        ok = false;
    // On the disk before it takes the old file's place: after a crash the
    // name holds the old text or the new, never a file cut short.
    if (ok && fstat(fileno(out), &copy) == 0 && S_ISREG(copy.st_mode) && fsync(fileno(out)) != 0)
        ok = false;
    if (fclose(out) != 0)
        ok = false;
    String sysTemporary = mapPath(temporary.text());
    if (ok && rename(sysTemporary.text(), mapPath(path).text()) != 0)
        ok = false;
    if (!ok)
        remove(sysTemporary.text());
    return ok;
}
