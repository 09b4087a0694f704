#include "MainCircuitCommands.h"

#include "BlockObject.h"
#include "CircuitModel.h"
#include "CircuitReader.h"
#include "ConnectionObject.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "LocalLibrary.h"
#include "ResString.h"
#include "Workspace.h"
#include "strings/CircuitStrings.h"
#include "strings/MessagesStrings.h"
#include "strings/NnStrings.h"

#include <cstring>
#include <strings.h>
#include <sys/stat.h>

namespace {

// "Die Schaltung %s wurde nicht vollständig geladen ..."
const char kClipFile[] = "kytclip.tmp";
const char kDuplicateFile[] = "kytdup.tmp";
// What kytdup.tmp holds between two duplicates.
const char kEmptyDuplicate[] = "empty";
const char kLocalLibrary[] = "Local";

// Two names of one file: the same file on disk, else the same text
// without case (a file not yet there).
bool sameFile(const char* a, const char* b)
{
    struct stat sa, sb;
    if (stat(mapPath(a).text(), &sa) == 0 && stat(mapPath(b).text(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return strcasecmp(a, b) == 0;
}

const char* tempDir()
{
    return theWorkspace ? theWorkspace->TEMPDIR.text() : "";
}

// A mended fault: a clip file that could not be written ended the program
// and lost the circuit. It is reported, and the command does nothing.
void reportNoTempRights()
{
    reportError(ERR_ERROR, getResString(kStrNoTempRights), tempDir());
}

int writeMarked(CircuitModel& model, const char* name)
{
    if (model.saveCircuit(clipFilePath(name).text(), 0, 1))
        return 1;
    reportNoTempRights();
    return 0;
}

// Adds the objects of a circuit file to the model, marked; 0 when it does
// not open.
int readInserted(CircuitModel& model, const char* path)
{
    CircuitReader reader(1);
    if (!reader.openFile(path))
        return 0;
    model.readCircuit(reader);
    reader.closeFile();
    return 1;
}

bool localHasEntry(const char* blockName)
{
    BlockLibrary* local = LocalBlockLibrary::findLocalLibrary();
    if (!local)
        return false;
    for (int s = 0; s < local->sectionCount; ++s) {
        LibrarySection& section = local->sections[s];
        for (int i = 0; i < section.count; ++i)
            if (strcasecmp(section.getFirstName(i).text(), blockName) == 0)
                return true;
    }
    return false;
}

// A mended fault: the block file was copied into "Local" again, but it is
// still there, and its unique name is its own, so a wizard block's file was
// copied onto itself and emptied. The file stays as it is and gets its
// entry back.
void restoreLocalEntry(const BlockObject& block)
{
    const char* name = block.typeName.text();
    const String path = joinPath(LocalBlockLibrary::directory().text(), name);
    FILE* f = LocalBlockLibrary::directory().getLength() ? openFile(path.text(), "rb") : nullptr;
    if (!f) {
        reportError(ERR_ERROR, "%s", getResString(kResNoLocalBlock));
        return;
    }
    fclose(f);
    if (!localHasEntry(name))
        LocalBlockLibrary::importBlock(name, name, 1);
}

} // namespace

int saveWholeCircuit(CircuitModel& model, Workspace& workspace, const char* path)
{
    // A circuit loaded without blocks that Local could not take is not
    // written over the file that still holds them.
    if (model.incompleteSource.getLength() > 0 && sameFile(model.incompleteSource.text(), path)) {
        reportError(ERR_WARNING, getResString(kStrCircuitIncomplete), path);
        return 0;
    }
    // A mended fault: only the open was checked, so a full disk left a
    // truncated file that counted as saved.
    if (!model.saveCircuit(path, 0, 0)) {
        reportError(ERR_WARNING, getResString(kStrSaveFailed), path);
        return 0;
    }
    model.circuitSaved = 1;
    workspace.updateMainTitle(path);
    String dir;
    splitPath(path, &dir, nullptr);
    workspace.setCircuitDir(dir);
    workspace.addRecentFile(path);
    return 1;
}

int saveMarkedObjects(CircuitModel& model, const char* path)
{
    if (model.saveCircuit(path, 0, 1))
        return 1;
    reportError(ERR_WARNING, getResString(kStrSaveFailed), path);
    return 0;
}

String clipFilePath(const char* name)
{
    String path = tempDir();
    path += "\\";
    path += name;
    return path;
}

int copyToClipFile(CircuitModel& model)
{
    return writeMarked(model, kClipFile);
}

int cutToClipFile(CircuitModel& model)
{
    if (!writeMarked(model, kClipFile))
        return 0;
    model.removeMarkedObjects();
    return 1;
}

int pasteFromClipFile(CircuitModel& model)
{
    model.unmarkAll();
    return readInserted(model, clipFilePath(kClipFile).text());
}

int duplicateMarked(CircuitModel& model)
{
    // 1.
    if (!writeMarked(model, kDuplicateFile))
        return 0;
    // 2.
    model.unmarkAll();
    const String path = clipFilePath(kDuplicateFile);
    readInserted(model, path.text());
    // 3.
    if (!writeFileChecked(path.text(), "wt", [](FILE* stream) {
            return fputs(kEmptyDuplicate, stream) >= 0;
        })) {
        reportNoTempRights();
        return 0;
    }
    return 1;
}

int undoDeletion(CircuitModel& model)
{
    // 1. and 2.
    if (model.undoList.empty())
        return 0;
    GraphicObject* entry = model.undoList.front();
    model.undoList.erase(model.undoList.begin());
    // 3.
    if (entry->kind() == 2) {
        ConnectionObject* old = static_cast<ConnectionObject*>(entry);
        // Ends that are not in the circuit (still deleted) get no line.
        if (model.contains(old->blockA) && model.contains(old->blockB)) {
            if (ConnectionObject* made = model.createConnection(old->blockA, old->portA(), old->blockB, old->portB)) {
                for (const Interpoint& p : old->interpoints)
                    made->appendInterpoint(p.x, p.y);
            }
        }
        delete old;
        return 1;
    }
    // 4.
    BlockObject* block = static_cast<BlockObject*>(entry);
    model.objects.push_back(block);
    if (strcasecmp(block->libraryName.text(), kLocalLibrary) == 0)
        restoreLocalEntry(*block);
    return 1;
}
