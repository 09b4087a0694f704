// The block library "Local": the blocks that belong to one circuit (wizard
// blocks, blocks a circuit file carries with it). It is emptied at start-up
// and before every load; the index ablocks.bfl and the block files live in
// its directory. Also the lock file kyt.lock in TEMPDIR that keeps a second
// instance of the program away.
#ifndef KYT_CIRCUITFILES_LOCALLIBRARY_H
#define KYT_CIRCUITFILES_LOCALLIBRARY_H

#include "LibraryRecords.h"
#include "String.h"
#include "strings/CircuitStrings.h"
#include "strings/MessagesStrings.h"

#include <cstdint>
#include <cstdio>
#include <vector>

class CircuitReader;

const unsigned int kResLocalNotDeletable = kStrLocalNotDeletable;
const unsigned int kResLocalNoDirectory = kStrNoLocalDirectory;
const unsigned int kResLocalSectionName = kStrLocalSectionName;
const unsigned int kResInstanceLocked = kStrTempDirInUse;
const unsigned int kResNoLocalLibrary = kStrNoLocalLibrary;
const unsigned int kResFileNotOpened = kStrCannotOpen;
const unsigned int kResLocalBlockNotWritten = kStrLocalBlockNotWritten;
const unsigned int kResLocalIndexNotWritten = kStrLocalIndexNotWritten;

// What the reader of a circuit's embedded section leaves for the circuit
// reader.
struct EmbeddedSection {
    // The last line of the section (its "@END_LOCALLIB" line, else the last
    // line of its last closed block); 0 without a section. The circuit text
    // is read behind it: block code is never scanned as circuit text.
    int lastLine = 0;
    // A line or the text was longer than circuits may be; lastLine is then
    // the line where reading stopped.
    bool tooLarge = false;
    // The file names of blocks that could not be written (reported).
    std::vector<String> lost;
};

// How the lock file is held: an exclusive open (CreateFile with share mode
// 0 in the programs; flock natively). open gives 0 when the file is held.
class LockFileSystem {
public:
    virtual ~LockFileSystem() {}
    virtual intptr_t open(const char* path) = 0;
    virtual void close(intptr_t handle) = 0;
};
// The system in use; null restores the native one. Returns the previous one.
LockFileSystem* setLockFileSystem(LockFileSystem* system);

class LocalBlockLibrary {
public:
    LocalBlockLibrary() : lockHandle(0) {}

    // kyt.lock in TEMPDIR, held until close; 1 on success, 0 with 18020 (no
    // library Local) or 18019 (held by another instance).
    int acquireLock();
    void close();

    // Empties the directory and the index; a directory the installation
    // uses for anything else is left alone (18004), only the library in
    // memory is emptied.
    void reset();

    static BlockLibrary* findLocalLibrary();
    static String directory();
    // 0 when the library is missing, the name is empty, an entry has that
    // file name (without case) or a file of that name is in the directory.
    static int isFileNameFree(const char* name);
    // The name, without an earlier "w<digits>" prefix, or "w0name",
    // "w1name", ... whichever is free first.
    static String uniqueBlockName(const char* name);
    static void addEntry(const char* blockName, const char* fileName);

    // Copy form (sourceFile given): the file is copied into the directory
    // under a unique name (newName's, else the source's), entered under
    // newName (else the file name) and the index rewritten; the new file
    // name goes to *fileName. Register-only form (registerOnly): an entry
    // (newName, sourceFile as given) is added and the index rewritten.
    // 1 on success; 0 with 18005 or 20907 reported.
    static int importBlock(const char* sourceFile, const char* newName, int registerOnly = 0,
                           String* fileName = nullptr);
    // Takes the first entry of that block name (without case) out and
    // rewrites the index; 1 when written or when nothing matched.
    static int removeBlock(const char* blockName);
    static int writeIndex();
    static void writeIndexLines(FILE* stream);

    // The embedded section of a circuit file: its blocks become files of
    // the library, type renames go to the reader. A block type that is no
    // plain file name is refused (19440); of two blocks of one type the
    // first stands, unless it was cut short and a later one is whole. A
    // block file is written whole or not at all (19442).
    static EmbeddedSection readFromCircuit(FILE* circuit, CircuitReader* reader);

    intptr_t lockHandle;
};

// Deletes every plain file of the directory; 0 on success, 1 on a failure.
int deleteDirectoryFiles(const char* directory);

#endif
