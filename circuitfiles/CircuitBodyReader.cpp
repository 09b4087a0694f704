// The circuit body reader: circuit text (saved circuits, the clipboard,
// fragments) back into blocks and connections of a circuit model and into
// the simulation and plot settings of the workspace.
#include "CircuitReader.h"

#include "BlockObject.h"
#include "CircuitModel.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "LocalLibrary.h"
#include "PlainFileName.h"
#include "ResString.h"
#include "SignalNameRegistry.h"
#include "Workspace.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

const char* const kExpectConnectSaveEnd = "NOTE: >CONNECT<, >SAVE< or >ENDCIRCUIT< expected!";

namespace {

bool sameWord(const String& token, const char* word)
{
    return strcmp(token.text(), word) == 0;
}

// The plot settings the circuit text carries, in the order it writes them.
enum PlotKey { OSZI_XAUTO, OSZI_YAUTO, OSZI_XSCALE, OSZI_YSCALE, OSZI_XOFF, OSZI_YOFF };
const struct {
    const char* name;
    PlotKey key;
} kPlotKeys[] = {
    {"OSZIXAUTO", OSZI_XAUTO},   {"OSZIYAUTO", OSZI_YAUTO}, {"OSZIXSCALE", OSZI_XSCALE},
    {"OSZIYSCALE", OSZI_YSCALE}, {"OSZIXOFF", OSZI_XOFF},   {"OSZIYOFF", OSZI_YOFF},
};

int portOf(const std::vector<String>& names, int count, const char* name)
{
    for (int i = 0; i < count; ++i)
        if (strcmp(BlockObject::at(names, i).text(), name) == 0)
            return i + 1;
    return 0;
}

} // namespace

void CircuitModel::readCircuit(CircuitReader& reader)
{
    if (view)
        view->showWaitCursor();
    reader.readCircuit(*this);
    if (view)
        view->restoreCursor();
}

void CircuitReader::skipString()
{
    inQuotes = true;
    do
        nextToken();
    while (kind != TOK_QUOTE && kind != TOK_EOF);
    inQuotes = false;
}

void CircuitReader::readCircuit(CircuitModel& m)
{
    EmbeddedSection section;
    if (fp) {
        section = LocalBlockLibrary::readFromCircuit(fp, this);
        rewind(fp);
    }
    lostBlocks = section.lost;
    beginRead();
    model = &m;
    blockNamesKnown = false;
    target = nullptr;
    connection = nullptr;
    if (!pasteMode)
        m.incompleteSource = lostBlocks.empty() ? String() : fileName;
    if (section.tooLarge) {
        line = section.lastLine;
        reportTooLarge();
    }
    // The embedded blocks are code the editor never parses: a stray quote
    // or comment in them must not hide the circuit behind them.
    skipToLine(section.lastLine);
    nextNonBlank();
    // Header, embedded library and prolog lie before the word CIRCUIT.
    while (kind != TOK_EOF && !isWord("CIRCUIT")) {
        if (kind == TOK_QUOTE)
            skipString();
        nextNonBlank();
    }
    if (kind == TOK_EOF) {
        fail(kResUnexpectedEnd);
    } else {
        nextNonBlank();
        readStatements();
    }
    // An insertion keeps the window's settings as they are.
    if (plotOszi && !pasteMode)
        plotOszi->noteNewSettings();
    model = nullptr;
    target = nullptr;
    connection = nullptr;
}

void CircuitReader::readStatements()
{
    if (!expectWord())
        return;
    nextNonBlank();
    if (kind != TOK_SEMICOLON) {
        fail(kResExpectSemicolon);
        return;
    }
    nextNonBlank();
    while (isWord("USE")) {
        nextNonBlank();
        readUse();
    }
    while (kind == TOK_DOLLAR || isWord("CONNECT")) {
        if (kind == TOK_DOLLAR) {
            nextNonBlank();
            if (!isWord("CONNECT")) {
                fail(kResExpectConnect);
                return;
            }
        }
        nextNonBlank();
        readConnections();
    }
    while (isWord("SAVE")) {
        nextNonBlank();
        readSave();
    }
    if (!isWord("ENDCIRCUIT")) {
        fail(kResExpectEndcircuit);
        return;
    }
    if (!pasteMode && theWorkspace) {
        theWorkspace->resetResultFileName();
        theWorkspace->resetPlotParams();
    }
    nextNonBlank();
    if (kind == TOK_WORD)
        nextNonBlank();
    if (kind != TOK_SEMICOLON) {
        fail(kResExpectSemicolon);
        return;
    }
    nextNonBlank();
    if (kind == TOK_DOLLAR)
        readSettings();
}

String CircuitReader::uniqueName(const char* name, BlockObject* self)
{
    if (!blockNamesKnown) {
        blockNames.clear();
        for (GraphicObject* object : model->objects)
            if (object != self && object->kind() == 1) {
                BlockObject* block = static_cast<BlockObject*>(object);
                blockNames.emplace(block->name.text(), block);
            }
        blockNamesKnown = true;
        nextBlockNumber = 1;
    }
    std::string chosen = name;
    if (blockNames.count(chosen)) {
        while (blockNames.count("B_" + std::to_string(nextBlockNumber)))
            ++nextBlockNumber;
        chosen = "B_" + std::to_string(nextBlockNumber);
        addRename(instanceRenames, name, chosen.c_str());
    }
    blockNames.emplace(chosen, self);
    return String(chosen.c_str());
}

BlockObject* CircuitReader::blockNamed(const std::string& name) const
{
    if (!blockNamesKnown)
        return model->findBlockByName(name.c_str());
    auto found = blockNames.find(name);
    return found == blockNames.end() ? nullptr : found->second;
}

void CircuitReader::readUse()
{
    if (!expectWord())
        return;
    String type(token);
    type.toLower();
    if (const String* renamed = lookUpRename(typeRenames, type.text()))
        type = *renamed;
    // A block type names a file inside its library, nothing else.
    bool usable = isPlainFileName(type.text());
    if (!usable)
        reportError(ERR_ERROR, getResString(kResNotPlainBlockName), type.text());
    for (const String& lost : lostBlocks)
        if (lost == type)
            usable = false;
    nextNonBlank();
    if (!isWord("AS")) {
        fail(kResExpectAs);
        return;
    }
    nextNonBlank();
    if (!expectWord())
        return;
    String instance(token);
    nextNonBlank();
    String library;
    String file;
    if (kind == TOK_DOLLAR) {
        nextNonBlank();
        if (!isWord("BLOCKLIB")) {
            fail(kResExpectBlocklib);
            return;
        }
        nextNonBlank();
        if (!expectWord())
            return;
        library = token;
        String dir = theWorkspace ? theWorkspace->findLibraryBlockFile(library.text()) : String();
        if (usable && dir.getLength() == 0) {
            // A library that is not installed: the type is not looked up in
            // whatever directory the program runs in.
            reportError(ERR_ERROR, getResString(kResCannotReadDescription), type.text(), library.text());
            usable = false;
        }
        file = joinPath(dir.text(), type.text());
        nextNonBlank();
    } else if (theWorkspace && theWorkspace->libraryCount > 0) {
        library = theWorkspace->libraries[0].name;
        file = joinPath(theWorkspace->libraries[0].file.text(), type.text());
    }
    if (stopped)
        return;

    BlockObject* block =
        usable ? model->createBlock(Point(0, 0), Point(6, 3), file.text(), library.text(), 1) : nullptr;
    if (block) {
        block->setName(uniqueName(instance.text(), block).text());
        if (pasteMode)
            block->setMarked(1);
    }

    assignedParameters.clear();
    while (kind == TOK_WORD && !isWord("ENDUSE"))
        readParameterAssignment(block);
    if (kind == TOK_DOLLAR) {
        // A block that could not be made still has its lines read.
        BlockObject scratch(Point(0, 0), Point(0, 0), nullptr, "");
        BlockObject& into = block ? *block : scratch;
        target = &into;
        nextNonBlank();
        readLayoutLines();
        readSignalNames(into);
        target = nullptr;
    }
    if (!isWord("ENDUSE")) {
        fail(kResExpectEnduse);
        return;
    }
    nextNonBlank();
}

void CircuitReader::readSignalNames(BlockObject& block)
{
    if (stopped || !expectDollar())
        return;
    if (!isWord("SIGNAMES")) {
        fail(kResExpectSignames);
        return;
    }
    nextNonBlank();
    for (int i = 1;; ++i) {
        if (!expectDollar())
            return;
        if (kind != TOK_QUOTE)
            break;
        String wanted = readString();
        if (stopped)
            return;
        // A column without a name in the result file and the exports:
        // the output keeps the name it has.
        if (!wanted.getLength() && i <= block.outputCount) {
            setMessage(kResEmptySignalName);
            warnAtPosition();
            continue;
        }
        if (sNBase && i <= block.outputCount)
            sNBase->rename(block.signalName(i).text(), wanted.text());
    }
    if (!isWord("ENDSIGNAMES")) {
        fail(kResExpectEndsignames);
        return;
    }
    nextNonBlank();
}

void CircuitReader::readParameterAssignment(BlockObject* block)
{
    String name(token);
    nextNonBlank();
    if (kind != TOK_EQUALS) {
        fail(kResExpectEquals);
        return;
    }
    nextNonBlank();
    String value;
    if (kind == TOK_WORD) {
        value = token;
        nextNonBlank();
        while (kind == TOK_WORD) {
            value += token;
            nextNonBlank();
        }
    } else if (kind == TOK_QUOTE) {
        BlockObject* previous = target;
        target = block;
        value = readString();
        target = previous;
    } else if (kind == TOK_SEMICOLON) {
        value = "unknown";
    } else {
        fail(kResExpectString);
        return;
    }
    if (stopped)
        return;
    if (block && !block->errorFlag) {
        if (portOf(block->parameterNames, block->parameterCount, name.text())) {
            // A description may name two parameters alike; the writer gives
            // each its line, so the n-th line of a name is its n-th parameter.
            int earlier = 0;
            for (const String& assigned : assignedParameters)
                earlier += assigned == name ? 1 : 0;
            assignedParameters.push_back(name);
            int last = -1;
            for (int i = 0; i < block->parameterCount; ++i)
                if (BlockObject::at(block->parameterNames, i) == name && (last < 0 || earlier-- > 0))
                    last = i;
            BlockObject::store(block->parameterValues, last, value.text());
        } else {
            setMessage(kResUnknownParameter);
            warnAtPosition();
        }
    }
    if (kind != TOK_SEMICOLON) {
        fail(kResExpectSemicolon);
        return;
    }
    nextNonBlank();
}

void CircuitReader::readConnections()
{
    while (kind == TOK_WORD && !isWord("CONNECT") && !isWord("SAVE") && !isWord("ENDCIRCUIT")) {
        String source(token);
        nextNonBlank();
        if (!isWord("TO")) {
            fail(kResExpectTo);
            return;
        }
        nextNonBlank();
        if (kind != TOK_WORD || isWord("CONNECT") || isWord("SAVE") || isWord("ENDCIRCUIT")) {
            if (!stopped) {
                setMessage(kExpectConnectSaveEnd);
                reportAtPosition();
            }
            return;
        }
        String destination(token);
        bindConnection(source, destination);
        nextNonBlank();
        if (kind != TOK_SEMICOLON) {
            fail(kResExpectSemicolon);
            return;
        }
        nextNonBlank();
        if (kind == TOK_DOLLAR)
            readInterpoints();
    }
}

void CircuitReader::bindConnection(const String& source, const String& destination)
{
    connection = nullptr;
    auto split = [&](const String& item, std::string& block, std::string& port) {
        std::string all(item.text());
        size_t dot = all.find('.');
        block = all.substr(0, dot);
        port = dot == std::string::npos ? std::string() : all.substr(dot + 1);
        if (const String* renamed = lookUpRename(instanceRenames, block.c_str()))
            block = renamed->text();
    };
    std::string fromName, fromPort, toName, toPort;
    split(source, fromName, fromPort);
    split(destination, toName, toPort);
    BlockObject* from = blockNamed(fromName);
    BlockObject* to = blockNamed(toName);
    if (!from) {
        setMessage(kResNoSourceBlock);
        warnAtPosition();
    }
    if (!to) {
        setMessage(kResNoDestinationBlock);
        warnAtPosition();
    }
    if (!from || !to)
        return;
    int output = portOf(from->outputNames, from->outputCount, fromPort.c_str());
    int input = portOf(to->inputNames, to->inputCount, toPort.c_str());
    if (output && input)
        connection = model->createConnection(from, PortRef{2, output}, to, PortRef{1, input});
}

void CircuitReader::readInterpoints()
{
    nextNonBlank();
    if (!isWord("INTERPOINTS")) {
        fail(kResExpectInterpoints);
        return;
    }
    nextNonBlank();
    for (;;) {
        if (kind != TOK_DOLLAR) {
            fail(kResExpectEndinterpoints);
            return;
        }
        nextNonBlank();
        if (isWord("ENDINTERPOINTS"))
            break;
        if (kind != TOK_WORD) {
            fail(kResExpectEndinterpoints);
            return;
        }
        auto held = [](long v) {
            return static_cast<int>(std::max<long>(-kMaxGridCoordinate, std::min<long>(v, kMaxGridCoordinate)));
        };
        int x = held(strtol(token.text(), nullptr, 10));
        int y = held(readInt());
        if (stopped)
            return;
        if (pasteMode) {
            ++x;
            ++y;
        }
        // The text runs from the input end to the output end, which the
        // reader makes end A: each point goes in front, so that the list
        // runs from end A towards end B as the line is drawn.
        if (connection)
            connection->interpoints.push_front(Interpoint{x, y, pasteMode ? 1 : 0});
        nextNonBlank();
    }
    nextNonBlank();
}

void CircuitReader::readSave()
{
    while (kind == TOK_WORD) {
        markItem(token.text());
        nextNonBlank();
        if (kind == TOK_COMMA) {
            nextNonBlank();
            if (kind != TOK_WORD) {
                setMessage(kResExpectString);
                warnAtPosition();
            }
        }
    }
    if (kind != TOK_SEMICOLON) {
        fail(kResExpectSemicolon);
        return;
    }
    nextNonBlank();
}

void CircuitReader::markItem(const char* item)
{
    std::string all(item);
    size_t dot = all.find('.');
    if (dot == std::string::npos)
        return;
    std::string blockName = all.substr(0, dot);
    std::string name = all.substr(dot + 1);
    bool derivative = !blockName.empty() && blockName[0] == 'd';
    if (derivative)
        blockName.erase(0, 1);
    if (const String* renamed = lookUpRename(instanceRenames, blockName.c_str()))
        blockName = renamed->text();
    BlockObject* b = blockNamed(blockName);
    if (!b)
        return;
    struct Group {
        int group;
        const std::vector<String>* names;
        int count;
    };
    const Group plain[] = {
        {SYMBOL_OUTPUT, &b->outputNames, b->outputCount},
        {SYMBOL_STATE, &b->stateNames, b->stateCount},
        {SYMBOL_VARIABLE, &b->variableNames, b->variableCount},
        {SYMBOL_PARAMETER, &b->parameterNames, b->parameterCount},
    };
    const Group derived[] = {{SYMBOL_DERIVATIVE, &b->stateNames, b->stateCount}};
    const Group* groups = derivative ? derived : plain;
    int groupCount = derivative ? 1 : 4;
    for (int g = 0; g < groupCount; ++g) {
        int i = portOf(*groups[g].names, groups[g].count, name.c_str());
        if (!i)
            continue;
        int at = b->symbolMarkIndex(groups[g].group, i - 1);
        if (at >= 0) {
            BlockObject::store(b->symbolMarks, at, 1);
            return;
        }
    }
}

void CircuitReader::readSettings()
{
    SimParams sim = defaultSimParams();
    PlotParams plot{1, 1, 1.0, 1.0, 0.0, 0.0};
    if (theWorkspace) {
        theWorkspace->getSimParams(sim);
        theWorkspace->getPlotParams(plot);
    }
    while (kind == TOK_DOLLAR) {
        nextNonBlank();
        String key = kind == TOK_WORD ? token : String();
        if (const SimParamField* f = findSimParamField(key.text())) {
            char* at = reinterpret_cast<char*>(&sim) + f->offset;
            if (f->kind == SIM_PARAM_TEXT) {
                nextNonBlank();
                String name;
                if (kind == TOK_QUOTE) {
                    name = readString();
                } else {
                    if (kind == TOK_WORD)
                        name = token;
                    nextNonBlank();
                }
                // At most 79 characters are kept.
                memset(at, 0, kFileNameSize);
                strncpy(at, name.text(), kFileNameSize - 1);
                continue;
            }
            if (f->kind == SIM_PARAM_INT) {
                int v = readInt();
                memcpy(at, &v, sizeof v);
            } else {
                double v = readDouble();
                memcpy(at, &v, sizeof v);
            }
            nextNonBlank();
            continue;
        }
        bool known = false;
        for (const auto& k : kPlotKeys) {
            if (!sameWord(key, k.name))
                continue;
            known = true;
            switch (k.key) {
            case OSZI_XAUTO: plot.autoX = readInt(); break;
            case OSZI_YAUTO: plot.autoY = readInt(); break;
            case OSZI_XSCALE: plot.xscale = readDouble(); break;
            case OSZI_YSCALE: plot.yscale = readDouble(); break;
            case OSZI_XOFF: plot.xoff = readDouble(); break;
            case OSZI_YOFF: plot.yoff = readDouble(); break;
            }
            nextNonBlank();
        }
        if (!known) {
            String text = String(getResString(kResUnknownKey)) + key + "<!";
            setMessage(text.text());
            reportAtPosition();
            break;
        }
    }
    // An insertion reads the settings of the inserted text and drops them.
    if (!pasteMode && theWorkspace) {
        theWorkspace->setSimParams(sim);
        theWorkspace->setPlotParams(plot.autoX, plot.autoY, plot.xscale, plot.yscale, plot.xoff, plot.yoff);
    }
}
