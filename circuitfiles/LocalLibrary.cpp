#include "LocalLibrary.h"

#include "Assert.h"
#include "CircuitReader.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "PlainFileName.h"
#include "ResString.h"
#include "Workspace.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const kLocalName = "Local";
const char* const kIndexName = "ablocks.bfl";
const char* const kLockName = "kyt.lock";

// Natively the lock is an exclusive flock on the open file.
class FlockSystem : public LockFileSystem {
public:
    intptr_t open(const char* path) override
    {
        String mapped = mapPath(path);
        int fd = ::open(mapped.text(), O_RDONLY | O_CREAT, 0666);
        if (fd < 0)
            return 0;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return 0;
        }
        return fd + 1;
    }
    void close(intptr_t handle) override
    {
        if (handle)
            ::close(static_cast<int>(handle - 1));
    }
};

FlockSystem flockSystem;
LockFileSystem* lockSystem = &flockSystem;

bool sameNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (tolower(static_cast<unsigned char>(*a)) != tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

String lowered(const char* s)
{
    String t = s;
    t.toLower();
    return t;
}

// The host path of a directory, resolved, for comparisons; empty when it
// does not exist.
std::string canonical(const char* dir)
{
    if (!dir || !*dir)
        return std::string();
    String mapped = mapPath(dir);
    char* real = realpath(mapped.text(), nullptr);
    if (!real)
        return std::string();
    std::string result = real;
    free(real);
    return result;
}

bool fileInDirectory(const char* dir, const char* name)
{
    struct stat info;
    String path = mapPath(joinPath(dir, name).text());
    return stat(path.text(), &info) == 0;
}

// Whether the directory holds anything else of the installation: kyt.ini,
// another library, one of the six directories.
bool directoryInUse(const char* dir)
{
    std::string local = canonical(dir);
    if (local.empty() || !theWorkspace)
        return false;
    if (fileInDirectory(dir, "kyt.ini"))
        return true;
    Workspace& w = *theWorkspace;
    const String* dirs[] = {&w.CIRCUITDIR, &w.TEMPDIR, &w.HELPDIR, &w.BINDIR, &w.FRAGDIR, &w.ICONDIR};
    for (const String* d : dirs)
        if (canonical(d->text()) == local)
            return true;
    BlockLibrary* own = LocalBlockLibrary::findLocalLibrary();
    for (int i = 0; i < w.libraryCount; ++i) {
        BlockLibrary& lib = w.libraries[i];
        if (&lib != own && canonical(lib.file.text()) == local)
            return true;
    }
    return false;
}

std::string firstWord(const std::string& line)
{
    size_t a = line.find_first_not_of(" \t\r");
    if (a == std::string::npos)
        return std::string();
    size_t b = line.find_first_of(" \t\r", a);
    return line.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

std::string secondWord(const std::string& line)
{
    size_t a = line.find_first_not_of(" \t\r");
    if (a == std::string::npos)
        return std::string();
    a = line.find_first_of(" \t\r", a);
    if (a == std::string::npos)
        return std::string();
    a = line.find_first_not_of(" \t\r", a);
    if (a == std::string::npos)
        return std::string();
    size_t b = line.find_first_of(" \t\r", a);
    return line.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

bool endsWith(const std::string& s, const char* tail)
{
    size_t n = strlen(tail);
    std::string t = s;
    while (!t.empty() && (t.back() == '\r' || t.back() == ' ' || t.back() == '\t'))
        t.pop_back();
    return t.size() >= n && t.compare(t.size() - n, n, tail) == 0;
}

} // namespace

LockFileSystem* setLockFileSystem(LockFileSystem* system)
{
    LockFileSystem* previous = lockSystem == &flockSystem ? nullptr : lockSystem;
    lockSystem = system ? system : &flockSystem;
    return previous;
}

BlockLibrary* LocalBlockLibrary::findLocalLibrary()
{
    if (!theWorkspace)
        return nullptr;
    for (int i = 0; i < theWorkspace->libraryCount; ++i)
        if (strcmp(theWorkspace->libraries[i].name.text(), kLocalName) == 0)
            return &theWorkspace->libraries[i];
    return nullptr;
}

String LocalBlockLibrary::directory()
{
    BlockLibrary* local = findLocalLibrary();
    return local ? local->file : String();
}

int LocalBlockLibrary::acquireLock()
{
    if (!findLocalLibrary()) {
        reportError(ERR_ERROR, "%s", getResString(kResNoLocalLibrary));
        return 0;
    }
    String path = joinPath(theWorkspace->TEMPDIR.text(), kLockName);
    lockHandle = lockSystem->open(path.text());
    if (!lockHandle) {
        reportError(ERR_ERROR, getResString(kResInstanceLocked), path.text());
        return 0;
    }
    return 1;
}

void LocalBlockLibrary::close()
{
    if (lockHandle)
        lockSystem->close(lockHandle);
    lockHandle = 0;
}

int deleteDirectoryFiles(const char* directory)
{
    if (!directory || !*directory)
        return 1;
    String mapped = mapPath(directory);
    DIR* dir = opendir(mapped.text());
    if (!dir)
        return 1;
    int failed = 0;
    while (struct dirent* entry = readdir(dir)) {
        std::string path = std::string(mapped.text()) + "/" + entry->d_name;
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
            continue;
        if (unlink(path.c_str()) != 0)
            failed = 1;
    }
    if (closedir(dir) != 0)
        failed = 1;
    return failed;
}

void LocalBlockLibrary::reset()
{
    BlockLibrary* local = findLocalLibrary();
    if (!local)
        return;
    const char* dir = local->file.text();
    if (directoryInUse(dir)) {
        // Files of the installation or of the user: nothing is deleted.
        reportError(ERR_ERROR, getResString(kResLocalNotDeletable), dir);
    } else {
        if (deleteDirectoryFiles(dir) != 0)
            reportError(ERR_ERROR, getResString(kResLocalNotDeletable), dir);
        if (FILE* index = openFile(joinPath(dir, kIndexName).text(), "wt"))
            fclose(index);
    }
    for (int s = 0; s < local->sectionCount; ++s)
        local->sections[s].count = 0;
    local->sectionCount = 0;
}

int LocalBlockLibrary::isFileNameFree(const char* name)
{
    BlockLibrary* local = findLocalLibrary();
    if (!local || !name || !*name)
        return 0;
    for (int s = 0; s < local->sectionCount; ++s) {
        LibrarySection& section = local->sections[s];
        for (int i = 0; i < section.count; ++i)
            if (sameNoCase(section.getSecondName(i).text(), name))
                return 0;
    }
    // A file left in the directory (a deleted block that undo may bring
    // back) is never overwritten.
    if (fileInDirectory(local->file.text(), lowered(name).text()) || fileInDirectory(local->file.text(), name))
        return 0;
    return 1;
}

String LocalBlockLibrary::uniqueBlockName(const char* name)
{
    std::string base = name ? name : "";
    if (base.size() > 2 && (base[0] == 'w' || base[0] == 'W') && isdigit(static_cast<unsigned char>(base[1]))) {
        size_t end = 1;
        while (end < base.size() && isdigit(static_cast<unsigned char>(base[end])))
            ++end;
        base = base.substr(end);
    }
    // Without library Local nothing is ever free: the name stays. A name
    // that lost its prefix may have become a device ("w0CON.blk"): it
    // keeps a prefix then.
    if (!findLocalLibrary() || (isPlainFileName(base.c_str()) && isFileNameFree(base.c_str())))
        return String(base.c_str());
    for (int i = 0; i < INT_MAX; ++i) {
        std::string candidate = "w" + std::to_string(i) + base;
        if (isFileNameFree(candidate.c_str()))
            return String(candidate.c_str());
    }
    KYT_ASSERT_TEXT(false, "i < INT_MAX");
    return String();
}

void LocalBlockLibrary::addEntry(const char* blockName, const char* fileName)
{
    BlockLibrary* local = findLocalLibrary();
    if (!local)
        return;
    if (local->sectionCount == 0) {
        LibrarySection first;
        first.name = getResString(kResLocalSectionName);
        local->sections[0] = first;
        local->sectionCount = 1;
    }
    LibrarySection& section = local->sections[0];
    section.setFirstName(section.count, String(blockName));
    section.setSecondName(section.count, String(fileName));
    section.removed[section.count] = 0;
    ++section.count;
}

void LocalBlockLibrary::writeIndexLines(FILE* stream)
{
    BlockLibrary* local = findLocalLibrary();
    if (!local)
        return;
    for (int s = 0; s < local->sectionCount; ++s) {
        LibrarySection& section = local->sections[s];
        fprintf(stream, "$%s\n", section.name.text());
        for (int i = 0; i < section.count; ++i)
            if (!section.removed[i])
                fprintf(stream, "%s,%s\n", section.getFirstName(i).text(), section.getSecondName(i).text());
    }
}

int LocalBlockLibrary::writeIndex()
{
    String dir = directory();
    if (dir.getLength() == 0)
        return 0;
    return writeFileChecked(joinPath(dir.text(), kIndexName).text(), "wt", [](FILE* stream) {
               writeIndexLines(stream);
               return ferror(stream) == 0;
           })
               ? 1
               : 0;
}

int LocalBlockLibrary::importBlock(const char* sourceFile, const char* newName, int registerOnly, String* fileName)
{
    KYT_ASSERT_TEXT(sourceFile || newName, "blockFileName != (char *)0 || newName != (char *)0");
    BlockLibrary* local = findLocalLibrary();
    if (!local || local->file.getLength() == 0) {
        reportError(ERR_ERROR, "%s", getResString(kResLocalNoDirectory));
        return 0;
    }
    if (registerOnly) {
        // The entry as the caller names it: its file is already there.
        addEntry(newName ? newName : sourceFile, sourceFile ? sourceFile : newName);
        if (fileName)
            *fileName = sourceFile ? sourceFile : newName;
        return writeIndex();
    }
    String sourceName;
    splitPath(sourceFile, nullptr, &sourceName);
    String target = uniqueBlockName(newName ? newName : sourceName.text());
    target.toLower();
    String targetPath = joinPath(local->file.text(), target.text());
    FILE* in = openFile(sourceFile, "rt");
    if (!in) {
        reportError(ERR_ERROR, getResString(kResFileNotOpened), sourceFile);
        return 0;
    }
    std::vector<char> bytes;
    int c;
    // A block description is no larger than a circuit may be.
    const size_t limit = circuitReadLimits().text;
    while (bytes.size() <= limit && (c = fgetc(in)) != EOF)
        bytes.push_back(static_cast<char>(c));
    bool readFailed = ferror(in) != 0 || bytes.size() > limit;
    fclose(in);
    bool written = !readFailed && writeFileChecked(targetPath.text(), "wt", [&bytes](FILE* out) {
        return bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    });
    if (!written) {
        reportError(ERR_ERROR, getResString(kResFileNotOpened), targetPath.text());
        return 0;
    }
    addEntry(newName ? newName : target.text(), target.text());
    if (fileName)
        *fileName = target;
    return writeIndex();
}

int LocalBlockLibrary::removeBlock(const char* blockName)
{
    BlockLibrary* local = findLocalLibrary();
    if (!local)
        return 1;
    for (int s = 0; s < local->sectionCount; ++s) {
        LibrarySection& section = local->sections[s];
        for (int i = 0; i < section.count; ++i) {
            if (!sameNoCase(section.getFirstName(i).text(), blockName))
                continue;
            for (int j = i; j + 1 < section.count; ++j) {
                section.setFirstName(j, section.getFirstName(j + 1));
                section.setSecondName(j, section.getSecondName(j + 1));
                section.removed[j] = section.removed[j + 1];
            }
            --section.count;
            return writeIndex();
        }
    }
    return 1;
}

EmbeddedSection LocalBlockLibrary::readFromCircuit(FILE* circuit, CircuitReader* reader)
{
    EmbeddedSection section;
    const CircuitReadLimits limits = circuitReadLimits();
    std::string line;
    int lineNumber = 0;
    size_t total = 0;
    // Every read ends: a device or an endless line costs no more than the
    // limits, and the circuit reader reports where it stopped.
    auto next = [&]() {
        LineReadResult r = readBoundedLine(circuit, line, limits.line);
        if (r == LINE_AT_END)
            return false;
        total += line.size() + 1;
        ++lineNumber;
        if (r == LINE_TOO_LONG || total > limits.text) {
            section.tooLarge = true;
            section.lastLine = lineNumber;
            return false;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    };
    bool started = false;
    bool indexEnded = false;
    // Up to "@START_BFL", then past "@END_BFL".
    while (next()) {
        std::string word = firstWord(line);
        if (!started) {
            started = word == "@START_BFL";
            section.lastLine = lineNumber;
            continue;
        }
        if (word == "@END_BFL") {
            indexEnded = true;
            section.lastLine = lineNumber;
            break;
        }
    }
    if (!started || !indexEnded || section.tooLarge) {
        if (!started && !section.tooLarge)
            section.lastLine = 0;
        return section;
    }

    // The blocks are collected first and written afterwards: the section's
    // end is known, a cut-short copy can give way to a whole one, and a
    // file is written whole or not at all.
    struct Embedded {
        std::string type;
        std::string text;
        bool closed;
    };
    std::vector<Embedded> blocks;
    bool inBlock = false;
    while (next()) {
        std::string word = firstWord(line);
        if (word == "@END_LOCALLIB") {
            section.lastLine = lineNumber;
            break;
        }
        if (word == "@START_BLOCK") {
            // A block without its end marker ends where the next begins.
            std::string type = secondWord(line);
            if (!type.empty() && type.front() == '"')
                type.erase(0, 1);
            if (!type.empty() && type.back() == '"')
                type.pop_back();
            blocks.push_back(Embedded{type, std::string(), false});
            inBlock = true;
            continue;
        }
        if (!inBlock)
            continue;
        if (word == "@END_BLOCK" || endsWith(line, "@END_BLOCK")) {
            // The marker may stand glued to the block's last line; markers
            // glued twice are no code either (the copy would end early).
            if (word != "@END_BLOCK") {
                std::string last = line;
                while (endsWith(last, "@END_BLOCK"))
                    last.erase(last.rfind("@END_BLOCK"));
                blocks.back().text += last + "\n";
            }
            blocks.back().closed = true;
            inBlock = false;
            section.lastLine = lineNumber;
            continue;
        }
        blocks.back().text += line;
        blocks.back().text += '\n';
    }
    if (section.tooLarge)
        return section;

    std::vector<Embedded*> kept;
    for (Embedded& block : blocks) {
        if (!isPlainFileName(block.type.c_str())) {
            reportError(ERR_ERROR, getResString(kResNotPlainBlockName), block.type.c_str());
            continue;
        }
        Embedded* earlier = nullptr;
        for (Embedded* k : kept)
            if (sameNoCase(k->type.c_str(), block.type.c_str()))
                earlier = k;
        if (!earlier) {
            kept.push_back(&block);
        } else if (!earlier->closed && block.closed) {
            // Two instances of one type are written twice; a copy cut short
            // gives way to a whole one.
            earlier->text = block.text;
            earlier->closed = true;
        }
    }

    BlockLibrary* local = findLocalLibrary();
    for (Embedded* block : kept) {
        const char* type = block->type.c_str();
        String fileName = uniqueBlockName(type);
        fileName.toLower();
        // The rename stands even for a block that is lost: its USE
        // statements must not find another file of the type's name.
        if (strcmp(lowered(type).text(), fileName.text()) != 0 && reader)
            CircuitReader::addRename(reader->typeRenames, type, fileName.text());
        if (!local)
            continue;
        String path = joinPath(local->file.text(), fileName.text());
        const std::string& text = block->text;
        bool written = writeFileChecked(path.text(), "wt", [&text](FILE* out) {
            return text.empty() || fwrite(text.data(), 1, text.size(), out) == text.size();
        });
        addEntry(type, fileName.text());
        if (!written) {
            // The entry stays, removed: it keeps the name from a later block
            // of the section and out of the index and the block menus.
            LibrarySection& first = local->sections[0];
            first.removed[first.count - 1] = 1;
            reportError(ERR_ERROR, getResString(kResLocalBlockNotWritten), type, path.text());
            section.lost.push_back(fileName);
        }
    }
    if (local && !writeIndex())
        reportError(ERR_ERROR, getResString(kResLocalIndexNotWritten), joinPath(local->file.text(), kIndexName).text());
    return section;
}
