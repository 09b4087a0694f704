#include "PaneCommands.h"

#include "Assert.h"
#include "BlockCatalogue.h"
#include "CircuitReader.h"
#include "CompileRoad.h"
#include "EditorShell.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "LocalLibrary.h"
#include "PolyGrammarParser.h"
#include "ResString.h"
#include "Workspace.h"

#include <cstring>
#include <string>

namespace {

const char kLaplaceWorkFile[] = "laplace.tmp";

String lowered(String s)
{
    s.toLower();
    return s;
}

String libraryBlockFile(const BlockObject& block)
{
    String dir = theWorkspace ? theWorkspace->findLibraryBlockFile(block.libraryName.text()) : String();
    return lowered(dir + "\\" + block.typeName);
}

bool isCompanionKind(const String& kind)
{
    return strcmp(kind.text(), "Fuzzy") == 0 || strcmp(kind.text(), "Ident") == 0;
}

} // namespace

PaneCommands::PaneCommands(CircuitModel& m, PaneController& c, PaneCommandWindows& w, CompanionStarter& s)
    : lastLibrary(0), lastEntry(0), model(m), control(c), windows(w), starter(s), libraryMenu(nullptr)
{
}

void PaneCommands::repaintAll()
{
    if (model.paneView())
        model.paneView()->invalidateAll();
}

Point PaneCommands::snappedPressPoint()
{
    const Point grid = model.getZoom();
    KYT_ASSERT_TEXT(grid.x() >= 1, "grid.width() >= 1");
    KYT_ASSERT_TEXT(grid.y() >= 1, "grid.height() >= 1");
    const Point cell(control.pressPoint.x() / grid.x(), control.pressPoint.y() / grid.y());
    control.pressPoint = Point(cell.x() * grid.x(), cell.y() * grid.y());
    return cell;
}

BlockObject* PaneCommands::insertAtPress(const char* file, const char* library, int noWizardCheck)
{
    return model.createBlock(snappedPressPoint(), Point(6, 3), file, library, noWizardCheck);
}

int PaneCommands::onCommand(int id)
{
    BlockObject* block = control.contextBlock;
    // The block menu's commands act on the block it was opened on, while
    // that block is still in the circuit.
    if (block && !model.contains(block))
        block = nullptr;
    switch (id) {
    case kCommandLayout:
        if (block)
            layout(block);
        return 1;
    case kCommandMarkData:
        if (block) {
            windows.markData(*block);
            model.updateConnectionsOf(block);
            repaintAll();
        }
        return 1;
    case kCommandBlockHelp:
        if (block)
            blockHelp(block);
        return 1;
    case kCommandMirror:
        if (block) {
            block->mirrored = block->mirrored ? 0 : 1;
            model.updateConnectionsOf(block);
            repaintAll();
        }
        return 1;
    case kCommandSelectBlock:
        selectBlock();
        return 1;
    case kCommandEditOrView:
        if (block)
            viewOrEdit(block);
        return 1;
    case kCommandFuzzyWizard:
        createWizardBlock("Fuzzy");
        return 1;
    case kCommandNeuroWizard:
        createWizardBlock("Neuro");
        return 1;
    case kCommandLaplaceWizard:
        createWizardBlock("Laplace");
        return 1;
    case kCommandIdentWizard:
        createWizardBlock("Ident");
        return 1;
    case kCommandParameters:
        if (block)
            parameters(block);
        return 1;
    case kCommandLoadFragment:
        loadFragment();
        return 1;
    case kCommandToLocal:
        if (block && !block->wizardFlag)
            copyToLocal(block);
        return 1;
    default:
        return insertLibraryItem(id);
    }
}

int PaneCommands::insertLibraryItem(int id)
{
    if (!libraryMenu || id < kFirstInsertMenuId || id > libraryMenu->lastId())
        return 0;
    const InsertMenuNode* item = libraryMenu->blockItem(id);
    if (!item || !theWorkspace)
        return 0;
    BlockCatalogue view(theWorkspace->libraries, theWorkspace->libraryCount);
    String file = view.blockFilePath(item->libraryIndex, item->groupIndex, item->blockIndex);
    insertAtPress(file.text(), view.libraryName(item->libraryIndex).text(), 0);
    lastLibrary = item->libraryIndex;
    lastEntry = item->groupIndex;
    return 1;
}

void PaneCommands::selectBlock()
{
    ChosenBlock chosen = windows.selectBlock(lastLibrary, lastEntry);
    if (!chosen.accepted)
        return;
    insertAtPress(chosen.file.text(), chosen.library.text(), 0);
    lastLibrary = chosen.libraryIndex;
    lastEntry = chosen.groupIndex;
}

void PaneCommands::layout(BlockObject* block)
{
    if (block->kindFlags & kKindText)
        return;
    BlockLayoutValues values = BlockLayoutValues::fromBlock(*block);
    if (!windows.editLayout(*block, values))
        return;
    // The block stays centred where it was.
    const int dx = (block->size.x() - values.width) / 2;
    const int dy = (block->size.y() - values.height) / 2;
    model.updateConnectionsOf(block);
    block->moveTo(Point(block->position.x() + dx, block->position.y() + dy));
    values.applyTo(*block);
    model.updateConnectionsOf(block);
    repaintAll();
    model.circuitSaved = 0;
}

void PaneCommands::parameters(BlockObject* block)
{
    std::vector<String> values;
    for (int i = 0; i < block->parameterCount; ++i)
        values.push_back(BlockObject::at(block->parameterValues, i));
    if (!windows.editParameters(*block, values))
        return;
    for (int i = 0; i < block->parameterCount && i < static_cast<int>(values.size()); ++i)
        BlockObject::store(block->parameterValues, i, values[i].text());
    if (block->kindFlags & kKindGroup)
        model.updateFlaggedConnections(block);
    model.circuitSaved = 0;
    if (block->layout[5])
        repaintAll();
}

void PaneCommands::blockHelp(BlockObject* block)
{
    String text = block->readHelpText();
    if (!text.getLength() || !editorShell())
        return;
    String title = String(getResString(kResHelpTitle)) + " - " + block->caption();
    editorShell()->showText(title.text(), text.text());
}

void PaneCommands::viewOrEdit(BlockObject* block)
{
    if (block->wizardFlag) {
        editWizardBlock(block);
        return;
    }
    if (editorShell())
        editorShell()->editFile(libraryBlockFile(*block).text(), 1);
}

void PaneCommands::loadFragment()
{
    String path;
    int chosen = windows.chooseFragment(path);
    model.unmarkAll();
    if (chosen && path.getLength()) {
        String dir, file;
        splitPath(path.text(), &dir, &file);
        if (!strchr(file.text(), '.'))
            path += ".kyf";
        CircuitReader reader(1);
        if (!reader.openFile(path.text())) {
            reportError(ERR_WARNING, getResString(kResFileNotOpened), path.text());
        } else {
            if (model.paneView())
                model.paneView()->showWaitCursor();
            model.readCircuit(reader);
            reader.closeFile();
            repaintAll();
            if (model.paneView())
                model.paneView()->restoreCursor();
        }
    }
    if (model.paneView())
        model.paneView()->setCursorShape(kCursorNormal);
    control.setTool(kToolEdit);
}

// ---------------------------------------------------------------- wizards

String PaneCommands::companionPath(const String& kind) const
{
    String bin = theWorkspace ? theWorkspace->BINDIR : String();
    return bin + (strcmp(kind.text(), "Fuzzy") == 0 ? "\\kytfuzzy.exe" : "\\kytident.exe");
}

int PaneCommands::laplaceLoop(String& text, const String& blockPath, const String& name)
{
    String work = (theWorkspace ? theWorkspace->TEMPDIR : String()) + "\\" + kLaplaceWorkFile;
    for (;;) {
        if (!windows.askTransfer(text))
            return 0;
        PolyGrammarParser generator;
        generator.setBlockCheck(blockTextParses);
        if (generator.generateBlock(text.text(), work.text(), blockPath.text(), name.text()) == 0)
            return 1;
        if (generator.getMessage() && generator.getMessage()[0])
            reportError(ERR_ERROR, "%s", generator.getMessage());
    }
}

int PaneCommands::createWizardBlock(const char* kindText)
{
    const String kind(kindText);
    const String localDir = LocalBlockLibrary::directory();
    if (!localDir.getLength()) {
        reportError(ERR_ERROR, "%s", getResString(kResNoLocalForWizard));
        return 0;
    }
    const String name = LocalBlockLibrary::uniqueBlockName(kind.text());
    const String blockPath = localDir + "\\" + name;
    if (strcmp(kindText, "Laplace") == 0) {
        String text;
        if (!laplaceLoop(text, blockPath, name))
            return 0;
        // Entered under the file name chosen above: deriving one anew from
        // the kind would now find that file taken.
        if (!LocalBlockLibrary::importBlock(name.text(), name.text(), 1)) {
            reportError(ERR_ERROR, "%s", getResString(kResNoLocalBlock));
            return 0;
        }
        BlockObject* block = insertAtPress(blockPath.text(), "Local", 1);
        if (!block)
            return 0;
        block->wizardFlag = 1;
        block->wizardName = kind;
        block->wizardArgument = text;
        return 1;
    }
    if (strcmp(kindText, "Neuro") == 0)
        return 0;
    if (isCompanionKind(kind)) {
        startWizardProcess(kind, blockPath, 0, nullptr, companionPath(kind), {name, localDir});
        return 1;
    }
    reportError(ERR_ERROR, "%s", getResString(kResUnknownWizard));
    return 0;
}

BlockObject* PaneCommands::rebuild(BlockObject* old, const String& blockPath, int copyParameters, int copyText)
{
    if (!old || !model.contains(old))
        return nullptr;
    BlockObject* fresh = model.createBlock(old->position, Point(6, 3), blockPath.text(), "Local", 1);
    if (!fresh)
        return nullptr;
    const String wizardName = old->wizardName;
    model.replaceBlock(old, fresh, copyParameters, copyText);
    fresh->wizardFlag = 1;
    fresh->wizardName = wizardName;
    return fresh;
}

int PaneCommands::editWizardBlock(BlockObject* block)
{
    if (!block)
        return 0;
    const String localDir = LocalBlockLibrary::directory();
    if (!localDir.getLength()) {
        reportError(ERR_ERROR, "%s", getResString(kResNoLocalForWizard));
        return 0;
    }
    const String blockPath = localDir + "\\" + block->typeName;
    const String kind = block->wizardName;
    if (strcmp(kind.text(), "Laplace") == 0) {
        String text = block->wizardArgument;
        if (!laplaceLoop(text, blockPath, block->typeName))
            return 0;
        BlockObject* fresh = rebuild(block, blockPath, 1, 0);
        if (fresh)
            fresh->wizardArgument = text;
        return fresh ? 1 : 0;
    }
    if (strcmp(kind.text(), "Neuro") == 0)
        return 0;
    if (isCompanionKind(kind)) {
        startWizardProcess(kind, blockPath, 1, block, companionPath(kind), {block->typeName, localDir});
        return 1;
    }
    if (!editorShell() || !editorShell()->editFile(libraryBlockFile(*block).text(), 0))
        return 0;
    return rebuild(block, blockPath, 1, 1) ? 1 : 0;
}

void PaneCommands::startWizardProcess(const String& kind, const String& blockPath, int editFlag, BlockObject* block,
                                      const String& program, const std::vector<String>& words)
{
    job.program = program;
    job.kind = kind;
    job.blockPath = blockPath;
    job.editFlag = editFlag;
    job.block = block;
    job.running = 1;
    model.unmarkAll();
    if (block) {
        block->markWord = 1;
        if (model.paneView())
            block->invalidate(*model.paneView(), model.grid.x(), model.grid.y(), 1);
    }
    if (model.paneView())
        model.paneView()->setCursorShape(kCursorNormal);
    control.setTool(kToolEdit);
    windows.setStatusField1(getResString(kResInWizard));
    if (theWorkspace)
        theWorkspace->setSimulationRunningUi(1);
    repaintAll();
    starter.start(program, words, installDirectory);
}

void PaneCommands::onWizardProcessDone(int exitCode)
{
    if (!job.running)
        return;
    job.running = 0;
    finishWizardBlock(exitCode, job.kind, job.blockPath, job.program, job.block, job.editFlag);
    job.block = nullptr;
    model.unmarkAll();
    control.skipBand = 0;
    control.ctrlDown = 0;
    if (theWorkspace)
        theWorkspace->setSimulationStoppedUi(1);
    windows.setStatusField1(getResString(kResEditing));
}

void PaneCommands::finishWizardBlock(int exitCode, const String& kind, const String& blockPath,
                                     const String& program, BlockObject* block, int editFlag)
{
    if (!isCompanionKind(kind))
        return;
    if (exitCode < 0) {
        unsigned int text = strcmp(kind.text(), "Fuzzy") == 0 ? kResFuzzyFailed : kResIdentFailed;
        reportError(ERR_MESSAGE, getResString(text), program.text(), exitCode);
        return;
    }
    if (exitCode > 0)
        return;
    if (editFlag) {
        // The edited block may have been deleted while the companion ran.
        if (block && model.contains(block))
            rebuild(block, blockPath, 1, 0);
        repaintAll();
        return;
    }
    String name;
    splitPath(blockPath.text(), nullptr, &name);
    if (!LocalBlockLibrary::importBlock(name.text(), name.text(), 1)) {
        reportError(ERR_ERROR, "%s", getResString(kResNoLocalBlock));
        return;
    }
    BlockObject* fresh = insertAtPress(blockPath.text(), "Local", 1);
    if (!fresh)
        return;
    fresh->wizardFlag = 1;
    fresh->wizardName = kind;
}

// ---------------------------------------------------------------- copy to Local

bool copyAsEditorBlock(FILE* source, FILE* target)
{
    bool header = true;
    std::string line;
    char chunk[1024];
    bool more = true;
    while (more) {
        line.clear();
        // A whole line, however long: a cut "#" line would end the header
        // in the middle of a comment.
        for (;;) {
            if (!fgets(chunk, sizeof chunk, source)) {
                more = false;
                break;
            }
            line += chunk;
            if (!line.empty() && line.back() == '\n')
                break;
        }
        if (line.empty())
            break;
        if (header) {
            size_t first = line.find_first_not_of(" \t");
            char c = first == std::string::npos ? '\0' : line[first];
            if (c != '#') {
                header = false;
                if (c != '$' && fputs("$ WIZARD Editor\n", target) == EOF)
                    return false;
            }
        }
        if (fputs(line.c_str(), target) == EOF)
            return false;
    }
    return !ferror(source);
}

int PaneCommands::copyToLocal(BlockObject* block)
{
    const String sourcePath = libraryBlockFile(*block);
    const String localDir = LocalBlockLibrary::directory();
    if (!localDir.getLength()) {
        reportError(ERR_ERROR, "%s", getResString(kResNoLocalBlock));
        return 0;
    }
    const String name = LocalBlockLibrary::uniqueBlockName("Editor");
    const String target = localDir + "\\" + name;
    FILE* source = openFile(sourcePath.text(), "rt");
    if (!source) {
        reportError(ERR_ERROR, "%s", getResString(kResNoLocalBlock));
        return 0;
    }
    // Like every file of library Local: written whole or not at all.
    bool copied = writeFileChecked(target.text(), "wt", [source](FILE* out) { return copyAsEditorBlock(source, out); });
    fclose(source);
    if (!copied || !LocalBlockLibrary::importBlock(name.text(), name.text(), 1)) {
        reportError(ERR_ERROR, "%s", getResString(kResNoLocalBlock));
        return 0;
    }
    BlockObject* fresh = model.createBlock(block->position, Point(6, 3), target.text(), "Local", 1);
    if (!fresh)
        return 0;
    model.replaceBlock(block, fresh, 1, 1);
    fresh->wizardFlag = 1;
    fresh->wizardName = "Editor";
    return 1;
}
