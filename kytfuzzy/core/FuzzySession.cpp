#include "FuzzySession.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "FuzzyBlockWriter.h"
#include "FuzzyModel.h"
#include "FuzzyParsers.h"
#include "PageRules.h"
#include "ResString.h"
#include "TextHelpers.h"
#include "WizardBlock.h"
#include "strings/KytfuzzyStrings.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {


std::string res(unsigned int id)
{
    return getResString(id);
}

std::string formatted(unsigned int id, const std::string& argument)
{
    std::vector<char> buffer(res(id).size() + argument.size() + 1);
    snprintf(buffer.data(), buffer.size(), getResString(id), argument.c_str());
    return buffer.data();
}

// A file that Save as would replace: something readable, not a directory
// (which can be opened, but not read, and is not replaced but refused).
bool fileExists(const std::string& path)
{
    FILE* f = openFile(path.c_str(), "rb");
    if (!f)
        return false;
    const bool readable = fgetc(f) != EOF || !ferror(f);
    fclose(f);
    return readable;
}

bool inList(FuzzyVariable* list, FuzzyVariable* v)
{
    for (; list; list = list->next)
        if (list == v)
            return true;
    return false;
}

void appendVariable(FuzzyVariable** list, FuzzyVariable* v)
{
    v->next = nullptr;
    while (*list)
        list = &(*list)->next;
    *list = v;
}

// Takes a member set out of its variable without freeing it.
bool unhookMember(FuzzyVariable* variable, FuzzyMember* member)
{
    for (FuzzyMember** m = &variable->members; *m; m = &(*m)->next)
        if (*m == member) {
            *m = member->next;
            member->next = nullptr;
            return true;
        }
    return false;
}

} // namespace

UndoDeletion::~UndoDeletion()
{
    forget();
}

void UndoDeletion::rememberVariable(FuzzyVariable* v, const std::string& usageWord)
{
    forget();
    variable = v;
    usage = usageWord;
}

void UndoDeletion::rememberFuzzySet(FuzzyMember* m, const std::string& name)
{
    forget();
    member = m;
    variableName = name;
}

bool UndoDeletion::undo(FuzzyBlock* block, std::string* refusal, std::string* restoredVariable)
{
    if (!block)
        return false;
    if (variable) {
        if (variableNameInUse(block, variable->name)) {
            *refusal = formatted(kStrFzUndoNameExists, variable->name);
            return false;
        }
        appendVariable(usage == res(kStrFzInput) ? &block->inputs : &block->outputs, variable);
        *restoredVariable = variable->name;
        variable = nullptr;
        usage.clear();
        return true;
    }
    if (member) {
        FuzzyVariable* target = findModelVariable(block, variableName.c_str());
        if (!target) {
            *refusal = formatted(kStrFzUndoVariableGone, variableName);
            return false;
        }
        FuzzyMember** end = &target->members;
        while (*end)
            end = &(*end)->next;
        *end = member;
        member->next = nullptr;
        *restoredVariable = variableName;
        member = nullptr;
        variableName.clear();
        return true;
    }
    return false;
}

void UndoDeletion::forget()
{
    if (variable)
        freeVariable(variable);
    if (member)
        freeMember(member);
    variable = nullptr;
    member = nullptr;
    usage.clear();
    variableName.clear();
}

FuzzySession::FuzzySession(FuzzySessionUi* sessionUi, Clock sessionClock)
    : ui(sessionUi), clock(sessionClock)
{
    title = res(kStrFzProgramTitle);
}

FuzzySession::~FuzzySession()
{
    dropModel();
}

void FuzzySession::setWizard(const std::string& blockName, const std::string& directory)
{
    wizardBlockName = blockName;
    wizardDirectory = directory;
    wizardSaveName = blockName;
}

void FuzzySession::setTitle(const std::string& text)
{
    title = text;
    ui->titleChanged(title);
}

std::string FuzzySession::fileTitle(const std::string& path) const
{
    return res(kStrFzProgramTitle) + res(kStrFzTitleSeparator) + path;
}

void FuzzySession::dropModel()
{
    undo.forget();
    if (ui)
        ui->setUndoEnabled(false);
    if (ui && kernel)
        ui->modelDropped();
    if (kernel)
        freeFuzzyBlock(kernel);
    kernel = nullptr;
}

bool FuzzySession::askToSaveFirst(unsigned int question)
{
    if (!kernel || !modified)
        return true;
    if (!ui->ask(res(question)))
        return true;
    if (save())
        return true;
    return ui->ask(res(kStrFzExitWithoutSaving));
}

int FuzzySession::newBlock()
{
    if (!askToSaveFirst(kStrFzSaveBeforeNew))
        return 0;
    dropModel();
    setTitle(res(kStrFzProgramTitle) + " : UNNAMED");
    modified = false;
    currentFile.clear();
    kernel = newFuzzyBlock();
    if (!ui->runConfigurationDialog(kernel)) {
        dropModel();
        ui->setBlockCommandsEnabled(false);
        return 0;
    }
    modified = true;
    if (ui->runNewVariableDialog(kernel))
        ui->runNewSetDialog(kernel);
    ui->setBlockCommandsEnabled(true);
    ui->pagesChanged();
    return 1;
}

void FuzzySession::informBadRanges()
{
    // Nothing in the text format keeps XMIN below XMAX; such a variable
    // opens, and the graphic shows only its axes.
    FuzzyBlock* block = kernel ? kernel->getBlock() : nullptr;
    if (!block)
        return;
    for (const FuzzyVariable* list : {block->inputs, block->outputs})
        for (const FuzzyVariable* v = list; v; v = v->next)
            if (!hasDrawableRange(v)) {
                const std::string format = res(kResBadRange);
                std::vector<char> text(format.size() + strlen(v->name ? v->name : "") + 1);
                snprintf(text.data(), text.size(), format.c_str(), v->name ? v->name : "");
                ui->inform(text.data(), res(kStrFzProgramTitle));
            }
}

int FuzzySession::openBlock(const std::string& file)
{
    if (!askToSaveFirst(kStrFzSaveBeforeOpen))
        return 0;
    dropModel();
    modified = false;
    std::string path = file.empty() ? ui->chooseFileToOpen() : file;
    if (path.empty()) {
        ui->setBlockCommandsEnabled(false);
        return 0;
    }
    FILE* f = openFile(path.c_str(), "rt");
    if (!f) {
        ui->showBox(res(kStrFzOpenFailed), res(kStrFzProgramTitle));
        setTitle(res(kStrFzProgramTitle) + " : UNNAMED");
        ui->setBlockCommandsEnabled(false);
        return 0;
    }
    std::string message;
    int syntax = checkFuzzyText(f, &message);
    fclose(f);
    FuzzyKernel* built = nullptr;
    if (syntax == 0 && (f = openFile(path.c_str(), "rt"))) {
        built = newFuzzyBlock();
        syntax = parseFuzzyBlock(built, f, &message);
        fclose(f);
    }
    if (syntax != 0 || !built) {
        if (built)
            freeFuzzyBlock(built);
        ui->showBox(path + " - " + message, res(kStrFzProgramTitle));
        ui->setBlockCommandsEnabled(false);
        return 0;
    }
    kernel = built;
    // The checks only inform: the block opens anyway.
    if (!checkAmbiguity(kernel))
        ui->showBox(kernel->message.text(), res(kStrFzAmbiguous));
    if (!checkCompleteness(kernel))
        ui->showBox(kernel->message.text(), res(kStrFzIncomplete));
    informBadRanges();
    ruleText = loadRuleText(path);
    currentFile = path;
    setTitle(fileTitle(path));
    ui->addRecentFile(path);
    ui->setBlockCommandsEnabled(true);
    ui->pagesChanged();
    return 1;
}

int FuzzySession::writePlain(const std::string& path)
{
    const char* rules = ruleText.empty() ? nullptr : ruleText.c_str();
    if (kernel && FuzzyBlockWrite(kernel->getBlock(), path.c_str(), rules) == 1)
        return 1;
    ui->showBox(res(kStrFzSaveFailed), "Fuzzy-Editor");
    return 0;
}

int FuzzySession::saveWizardBlock()
{
    // The changes count as saved only once the block is written: a failed
    // save must not let the editor end without asking.
    if (!checkAmbiguity(kernel)) {
        ui->showBox(kernel->message.text(), res(kStrFzScriptAmbiguous));
        exitCode = -1;
        return 0;
    }
    if (!checkCompleteness(kernel)) {
        ui->showBox(kernel->message.text(), res(kStrFzScriptInconsistent));
        exitCode = -1;
        return 0;
    }
    std::time_t date = clock ? clock() : std::time(nullptr);
    const char* rules = ruleText.empty() ? nullptr : ruleText.c_str();
    if (!writeMdlBlock(kernel, currentFile.c_str(), wizardSaveName.c_str(), wizardBlockName.c_str(),
                       wizardDirectory.c_str(), rules, date)) {
        ui->showBox(kernel->message.text(), res(kStrFzScriptNotMadeBecause));
        exitCode = -1;
        return 0;
    }
    modified = false;
    blockWritten = true;
    exitCode = 0;
    return 1;
}

int FuzzySession::save()
{
    if (!kernel)
        return 0;
    if (!isWizardMode() && (currentFile.empty() || title == res(kStrFzProgramTitle) + " : UNNAMED"))
        return saveAs();
    if (!isWizardMode()) {
        if (!writePlain(currentFile)) {
            exitCode = -1;
            return 0;
        }
        modified = false;
    } else if (!saveWizardBlock()) {
        return 0;
    }
    if (!currentFile.empty())
        setTitle(fileTitle(currentFile));
    return 1;
}

int FuzzySession::saveAs()
{
    if (!kernel)
        return 0;
    std::string chosen = ui->chooseFileToSave();
    if (chosen.empty())
        return 0;
    String path = setDefaultExtension(chosen.c_str(), "kyb");
    // Another file of that name is replaced only when the user says so.
    if (fileExists(path.text()) && !ui->ask(formatted(kStrFzReplaceFile, path.text())))
        return 0;
    // Title, file and recent list change only once the file is written.
    if (!writePlain(path.text())) {
        // In wizard mode only the wizard save speaks for the exit code.
        if (!isWizardMode())
            exitCode = -1;
        return 0;
    }
    currentFile = path.text();
    setTitle(fileTitle(currentFile));
    ui->addRecentFile(currentFile);
    if (isWizardMode()) {
        // The main program reads the wizard block, which this did not write.
        reportError(ERR_WARNING, "Die Fuzzy Datei wurde nur zwischengesichert!");
    } else {
        // Without the main program the file is the block: it is saved.
        modified = false;
    }
    return 1;
}

bool FuzzySession::close()
{
    if (!kernel)
        return true;
    if (modified) {
        if (!ui->ask(res(isWizardMode() ? kStrFzWizardNotWritten : kStrFzDiscardChanges)))
            return false;
        exitCode = 1;
    }
    dropModel();
    return true;
}

int FuzzySession::deleteVariable(const std::string& name)
{
    FuzzyBlock* block = kernel ? kernel->getBlock() : nullptr;
    FuzzyVariable* variable = block ? findModelVariable(block, name.c_str()) : nullptr;
    if (!variable || !ui->ask(formatted(kStrFzDeleteVariable, name)))
        return 0;
    modified = true;
    bool input = inList(block->inputs, variable);
    if (!removeVariable(block, variable))
        return 0;
    undo.rememberVariable(variable, input ? res(kStrFzInput) : "Ausgang");
    ui->setUndoEnabled(true);
    ui->pagesChanged();
    return 1;
}

int FuzzySession::deleteFuzzySet(const std::string& variableName, const std::string& setName)
{
    FuzzyBlock* block = kernel ? kernel->getBlock() : nullptr;
    FuzzyVariable* variable = block ? findModelVariable(block, variableName.c_str()) : nullptr;
    FuzzyMember* member = variable ? findModelMember(variable, setName.c_str()) : nullptr;
    if (!member || !ui->ask(formatted(kStrFzDeleteSet, setName)))
        return 0;
    modified = true;
    if (!member->next && variable->members == member) {
        // The variable's only set: the whole variable goes, and comes back
        // with its set.
        bool input = inList(block->inputs, variable);
        if (!removeVariable(block, variable))
            return 0;
        undo.rememberVariable(variable, input ? res(kStrFzInput) : "Ausgang");
    } else {
        unhookMember(variable, member);
        undo.rememberFuzzySet(member, variableName);
    }
    ui->setUndoEnabled(true);
    ui->pagesChanged();
    return 1;
}

int FuzzySession::undoDeletion()
{
    if (!kernel)
        return 0;
    std::string refusal, restored;
    if (!undo.undo(kernel->getBlock(), &refusal, &restored)) {
        if (!refusal.empty())
            ui->showBox(refusal, res(kStrFzProgramTitle));
        return 0;
    }
    ui->setUndoEnabled(false);
    ui->pagesChanged();
    return 1;
}

std::string FuzzySession::loadRuleText(const std::string& path)
{
    FILE* f = openFile(path.c_str(), "rt");
    if (!f)
        return "";
    std::string line;
    std::string text;
    bool inRules = false;
    // Whole lines, and the whole section: a cut rule base would be saved cut.
    while (readBoundedLine(f, line, kMaxFuzzyRuleLine) != LINE_AT_END) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!inRules) {
            inRules = line.find("RULEBASE") != std::string::npos;
            continue;
        }
        if (line.find("ENDRULEBASE") != std::string::npos)
            break;
        text += line + "\r\n";
    }
    fclose(f);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text.empty() ? text : text + "\r\n";
}

int FuzzySession::finalExitCode() const
{
    if (blockWritten)
        return 0;
    return exitCode == 0 ? 1 : exitCode;
}
