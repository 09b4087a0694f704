#include "FuzzyDdeCommands.h"

#include "FileLayer.h"
#include "FuzzyBlockWriter.h"
#include "FuzzyKernel.h"
#include "FuzzyModule.h"
#include "FuzzyParser.h"
#include "NumberFormat.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const size_t kMaxWords = 6;

std::vector<std::string> splitWords(const std::string& item)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < item.size() && words.size() < kMaxWords) {
        while (i < item.size() && item[i] == ' ')
            ++i;
        size_t start = i;
        while (i < item.size() && item[i] != ' ')
            ++i;
        if (i > start)
            words.push_back(item.substr(start, i - start));
    }
    return words;
}

// A handle counts only when the whole word is a number; it is then cut
// toward zero as the FUZZY library does. -1: no used slot.
int slotOfWord(const std::string& word)
{
    double value;
    if (parseNumber(word.c_str(), &value) != word.size())
        return -1;
    return fuzzyBlockTable().slotOf(value);
}

double numberOf(const std::string& word)
{
    double value = 0;
    parseNumber(word.c_str(), &value);
    return value;
}

std::string cut(std::string text)
{
    if (text.size() > kMaxFuzzyReply)
        text.resize(kMaxFuzzyReply);
    return text;
}

// A dump of the kernel, freed here; none when it does not exist.
std::optional<std::string> dumpReply(char* dump)
{
    if (!dump)
        return std::nullopt;
    std::string text = cut(dump);
    free(dump);
    return text;
}

// The reply to a command that succeeds or not: "1" or "0".
std::string flagReply(bool done)
{
    return done ? "1" : "0";
}

std::string loadFile(const std::string& fileName)
{
    FuzzyReadResult result;
    String detail;
    FuzzyKernel* kernel = readFuzzyBlockFile(fileName.c_str(), kFuzzyCheckTexts, &result, &detail);
    if (!kernel)
        return "Error";
    int slot = fuzzyBlockTable().store(kernel, fileName.c_str(), fileName.c_str());
    if (slot < 0) {
        fuzzyBlockTable().freeKernel(kernel);
        return "Error";
    }
    return std::to_string(slot);
}

std::string activeBlocks()
{
    std::string list;
    FuzzyBlockTable& table = fuzzyBlockTable();
    for (int i = 0; i < FuzzyBlockTable::kSlots; ++i) {
        FuzzyKernel* kernel = table.kernelAt(i);
        if (!kernel)
            continue;
        const FuzzyBlock* block = kernel->getBlock();
        list += std::to_string(i) + " : " + table.fileNameAt(i) + " | " + (block && block->name ? block->name : "");
        if (block && block->comment)
            list += std::string(" | ") + block->comment;
        list += "\n";
    }
    return cut(list);
}

// Commands that work on one block: the words they need after the command
// word (the handle first).
struct BlockCommand {
    const char* name;
    size_t words;
};

const BlockCommand kBlockCommands[] = {
    {"ShowConfiguration", 1},
    {"ShowInputNames", 1},
    {"ShowOutputNames", 1},
    {"ShowMembersOfVariable", 2},
    {"ShowParametersOfMemberOfVariable", 3},
    {"ShowCfOfRules", 1},
    {"SetParameterOfMemberOfVariable", 5},
    {"SetCfOfRule", 3},
    {"InitSimulation", 1},
    {"SetInputValue", 3},
    {"GetOutputValue", 2},
    {"SimulateStep", 1},
    {"SaveBlock", 1},
    {"CloseBlock", 1},
};

std::optional<std::string> blockCommand(const std::string& command, const std::vector<std::string>& w, int slot)
{
    FuzzyBlockTable& table = fuzzyBlockTable();
    FuzzyKernel* kernel = table.kernelAt(slot);
    table.setCurrent(kernel);
    if (command == "ShowConfiguration")
        return dumpReply(dumpFuzzyConfiguration(kernel));
    if (command == "ShowInputNames")
        return dumpReply(dumpFuzzyInputNames(kernel));
    if (command == "ShowOutputNames")
        return dumpReply(dumpFuzzyOutputNames(kernel));
    if (command == "ShowMembersOfVariable")
        return dumpReply(dumpFuzzyMembers(kernel, w[2].c_str()));
    if (command == "ShowParametersOfMemberOfVariable")
        return dumpReply(dumpFuzzyMemberParameters(kernel, w[2].c_str(), w[3].c_str()));
    if (command == "ShowCfOfRules")
        return dumpReply(dumpFuzzyCertaintyFactors(kernel));
    if (command == "SetParameterOfMemberOfVariable")
        return flagReply(setMemberParameter(kernel, w[4].c_str(), w[3].c_str(), w[2].c_str(), w[5].c_str()));
    if (command == "SetCfOfRule")
        return flagReply(SetCfOfRule(kernel, w[2].c_str(), w[3].c_str()));
    if (command == "InitSimulation")
        return std::string("1");
    if (command == "SetInputValue") {
        setFuzzyInput(kernel, w[2].c_str(), numberOf(w[3]));
        return std::string("1");
    }
    if (command == "GetOutputValue") {
        char text[kMaxNumberText + 1];
        formatNumberDigits(getFuzzyOutput(kernel, w[2].c_str()), 20, text);
        return std::string(text);
    }
    if (command == "SimulateStep") {
        SimulateStep(kernel);
        return std::string("1");
    }
    if (command == "SaveBlock")
        return std::to_string(saveFuzzyBlockFile(kernel->getBlock(), table.pathAt(slot)));
    // CloseBlock
    table.release(slot);
    return std::string("1");
}

} // namespace

int saveFuzzyBlockFile(const FuzzyBlock* block, const char* path)
{
    if (!block || !path || !*path)
        return 0;
    FILE* in = openFile(path, "rb");
    if (!in)
        return 0;
    std::vector<std::string> lines;
    std::string line;
    LineReadResult r;
    bool good = true;
    while ((r = readBoundedLine(in, line, kMaxFuzzyText)) != LINE_AT_END) {
        if (r == LINE_TOO_LONG) {
            good = false;
            break;
        }
        lines.push_back(line);
    }
    good = !ferror(in) && good;
    fclose(in);
    if (!good)
        return 0;
    size_t wizard = 0;
    while (wizard < lines.size() && !isWizardLine(lines[wizard].c_str()))
        ++wizard;
    // A plain fuzzy-block file is written whole.
    if (wizard == lines.size())
        return FuzzyBlockWrite(block, path);

    // A wizard block: the model-language lines stay as they are; only the
    // "#" lines after the wizard line are the fuzzy block.
    size_t after = wizard + 1;
    while (after < lines.size() && !lines[after].empty() && lines[after][0] == '#')
        ++after;
    return writeFileChecked(path, "wb", [&](FILE* out) {
        bool ok = true;
        for (size_t i = 0; i <= wizard; ++i)
            ok = fputs(lines[i].c_str(), out) >= 0 && fputc('\n', out) != EOF && ok;
        ok = FuzzyBlockWrite(block, path, nullptr, out) == 1 && ok;
        for (size_t i = after; i < lines.size(); ++i)
            ok = fputs(lines[i].c_str(), out) >= 0 && fputc('\n', out) != EOF && ok;
        return ok;
    }) ? 1 : 0;
}

std::optional<std::string> handleFuzzyCommand(const std::string& item)
{
    std::vector<std::string> w = splitWords(item);
    if (w.empty())
        return std::nullopt;
    const std::string& command = w[0];
    if (command == "LoadFile") {
        if (w.size() < 2)
            return std::nullopt;
        return loadFile(w[1]);
    }
    if (command == "CloseAllBlocks") {
        fuzzyBlockTable().releaseAll();
        return std::string("1");
    }
    if (command == "ShowActiveBlocks")
        return activeBlocks();
    for (const BlockCommand& c : kBlockCommands) {
        if (command != c.name)
            continue;
        if (w.size() < c.words + 1)
            return std::nullopt;
        int slot = slotOfWord(w[1]);
        if (slot < 0)
            return std::nullopt;
        return blockCommand(command, w, slot);
    }
    return std::nullopt;
}
