// The circuit-text writer: the only producer of circuit text. Saving, the
// clipboard, fragments and the run road all go through writeCircuit.
#include "CircuitModel.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "LocalLibrary.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "Workspace.h"

#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

namespace {

Clock* circuitClock = nullptr;

const char* const kRuleLine =
    "#-------------------------------------------------------------------------------\n";

ClockTime localNow()
{
    std::time_t t = std::time(nullptr);
    ClockTime result{1970, 1, 1, 4, 0, 0, 0};
    if (std::tm* local = std::localtime(&t))
        result = ClockTime{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_wday,
                           local->tm_hour,        local->tm_min,     local->tm_sec};
    return result;
}

// Text that goes between double quotes: the reader knows no escape, so a
// quote becomes "_" and a line break a blank.
std::string quotable(const char* text)
{
    std::string s(text ? text : "");
    for (char& c : s) {
        if (c == '"')
            c = '_';
        else if (c == '\n' || c == '\r')
            c = ' ';
    }
    return s;
}

// A result file name is written bare when the reader takes it as one word.
bool needsQuotes(const char* name)
{
    if (!*name)
        return true;
    for (const char* p = name; *p; ++p)
        if (strchr(" \t;,=#/\"$", *p))
            return true;
    return false;
}

// The block text cut at every "\r\n", "\r" or "\n".
std::vector<std::string> textPieces(const String& text)
{
    std::vector<std::string> pieces(1);
    const char* p = text.text();
    while (*p) {
        if (*p == '\r' || *p == '\n') {
            if (p[0] == '\r' && p[1] == '\n')
                ++p;
            pieces.emplace_back();
        } else {
            pieces.back() += *p;
        }
        ++p;
    }
    return pieces;
}

// A block file copied unchanged; a missing last line end is written, so
// that a marker written after it stands on a line of its own.
bool copyFile(const String& path, FILE* out)
{
    FILE* in = openFile(path.text(), "rb");
    if (!in)
        return false;
    int c;
    int last = '\n';
    while ((c = fgetc(in)) != EOF) {
        // Text mode on both sides: the line ends of the file stay as they
        // are. A carriage return inside a line is a blank to the readers
        // and stays: without it two words ran together in the copy.
        if (c == '\r') {
            int next = fgetc(in);
            if (next != EOF)
                ungetc(next, in);
            if (next == '\n' || next == EOF)
                continue;
        }
        fputc(c, out);
        last = c;
    }
    fclose(in);
    if (last != '\n')
        fputc('\n', out);
    return true;
}

String blockFilePath(const BlockObject& block)
{
    String dir = theWorkspace ? theWorkspace->findLibraryBlockFile(block.libraryName.text()) : String();
    String type(block.typeName);
    type.toLower();
    return joinPath(dir.text(), type.text());
}

String circuitFileName()
{
    String name = theWorkspace ? theWorkspace->updateMainTitle() : String();
    String file;
    splitPath(name.text(), nullptr, &file);
    return file;
}

void writeBlock(FILE* out, BlockObject& b, int forCompiler)
{
    if (forCompiler)
        fprintf(out, "FROM \"%s\"\n", b.libraryName.text());
    fprintf(out, "USE %s AS %s \n", b.typeName.text(), b.name.text());
    fprintf(out, "$ BLOCKLIB %s\n", b.libraryName.text());
    for (int i = 0; i < b.parameterCount; ++i) {
        String name = BlockObject::at(b.parameterNames, i);
        String value = BlockObject::at(b.parameterValues, i);
        if (BlockObject::at(b.parameterKinds, i) & kParamText)
            fprintf(out, "    %s = \"%s\";\n", name.text(), quotable(value.text()).c_str());
        else
            fprintf(out, "    %s = %s;\n", name.text(), value.text());
    }
    fprintf(out, "$ BLOCKDIM %d %d %d %d", b.position.x(), b.position.y(), b.size.x(), b.size.y());
    if (b.mirrored)
        fputs(" 1", out);
    fputs("\n", out);
    std::vector<std::string> pieces = textPieces(b.getText());
    for (size_t i = 0; i < pieces.size(); ++i)
        fprintf(out, i == 0 ? "$ TEXT \"%s\"\n" : "$      \"%s\"\n", quotable(pieces[i].c_str()).c_str());
    if (b.kindFlags & kKindText) {
        fprintf(out, "$ TEXTALIG %d %d %d %d %2.2f\n", b.layout[0], b.layout[1], b.layout[4], b.layout[5],
                b.scale);
    } else if (b.kindFlags & kKindFrame) {
        fprintf(out, "$ TEXTALIG %d %d %d %d %d %d %u %u %u %u %u %u\n", b.layout[0], b.layout[1],
                b.layout[4], b.layout[5], b.frameOutline, b.frameFill, unsigned(b.textColour.red),
                unsigned(b.textColour.green), unsigned(b.textColour.blue), unsigned(b.frameColour.red),
                unsigned(b.frameColour.green), unsigned(b.frameColour.blue));
    } else {
        fprintf(out, "$ TEXTALIG %d %d %d %d \n", b.layout[0], b.layout[1], b.layout[4], b.layout[5]);
    }
    fprintf(out, "$ ICONNAME \"%s\"\n", quotable(b.iconName.text()).c_str());
    fprintf(out, "$ ICONDIM %d %d\n", b.iconDim.x(), b.iconDim.y());
    fprintf(out, "$ ICONALIG %d %d %d\n", b.layout[2], b.layout[3], b.layout[6]);
    fputs("$ SIGNAMES\n", out);
    for (int i = 1; i <= b.outputCount; ++i) {
        String signal = b.signalName(i);
        if (signal.getLength())
            fprintf(out, "$    \"%s\"\n", quotable(signal.text()).c_str());
    }
    fputs("$ ENDSIGNAMES\n", out);
    fputs("ENDUSE\n", out);
}

void writeConnection(FILE* out, const ConnectionObject& c)
{
    // The line always runs from the output to the input.
    bool aIsInput = c.portA().side == 1;
    const BlockObject* from = aIsInput ? c.blockB : c.blockA;
    PortRef fromPort = aIsInput ? c.portB : c.portA();
    const BlockObject* to = aIsInput ? c.blockA : c.blockB;
    PortRef toPort = aIsInput ? c.portA() : c.portB;
    fprintf(out, "CONNECT %s.%s TO %s.%s;\n", from->name.text(),
            from->portModelName(fromPort.side, fromPort.index).text(), to->name.text(),
            to->portModelName(toPort.side, toPort.index).text());
    // The points go from the input end towards the output end.
    fputs("$ INTERPOINTS\n", out);
    if (aIsInput) {
        for (const Interpoint& p : c.interpoints)
            fprintf(out, "$    %d %d\n", p.x, p.y);
    } else {
        for (auto it = c.interpoints.rbegin(); it != c.interpoints.rend(); ++it)
            fprintf(out, "$    %d %d\n", it->x, it->y);
    }
    fputs("$ ENDINTERPOINTS\n", out);
}

void writeSaveItems(FILE* out, const BlockObject& b)
{
    const char* name = b.name.text();
    struct Group {
        int group;
        const std::vector<String>* names;
        int count;
        const char* prefix;
    };
    const Group groups[] = {
        {SYMBOL_OUTPUT, &b.outputNames, b.outputCount, ""},
        {SYMBOL_STATE, &b.stateNames, b.stateCount, ""},
        {SYMBOL_DERIVATIVE, &b.stateNames, b.stateCount, "d"},
        {SYMBOL_VARIABLE, &b.variableNames, b.variableCount, ""},
        {SYMBOL_PARAMETER, &b.parameterNames, b.parameterCount, ""},
    };
    for (const Group& g : groups)
        for (int i = 0; i < g.count; ++i) {
            int at = b.symbolMarkIndex(g.group, i);
            if (at >= 0 && BlockObject::at(b.symbolMarks, at))
                fprintf(out, " %s%s.%s", g.prefix, name, BlockObject::at(*g.names, i).text());
        }
}

void writeSettings(FILE* out)
{
    SimParams sim = defaultSimParams();
    PlotParams plot{};
    if (theWorkspace) {
        theWorkspace->getSimParams(sim);
        theWorkspace->getPlotParams(plot);
    }
    fputs("\n/* BEGIN PARAMETER */\n", out);
    for (int i = 0; i < kSimParamFieldCount; ++i) {
        const SimParamField& f = kSimParamFields[i];
        const char* at = reinterpret_cast<const char*>(&sim) + f.offset;
        fprintf(out, "$ %-13s", f.name);
        switch (f.kind) {
        case SIM_PARAM_TEXT: {
            // A name the reader would cut at a blank, a separator or a
            // comment sign goes in quotes.
            char name[kFileNameSize];
            memcpy(name, at, sizeof name);
            name[kFileNameSize - 1] = 0;
            if (needsQuotes(name))
                fprintf(out, "\"%s\"\n", quotable(name).c_str());
            else
                fprintf(out, "%s\n", name);
            break;
        }
        case SIM_PARAM_INT: {
            int v;
            memcpy(&v, at, sizeof v);
            fprintf(out, "%d\n", v);
            break;
        }
        case SIM_PARAM_DOUBLE: {
            double v;
            memcpy(&v, at, sizeof v);
            fprintf(out, "%s\n", formatDouble(v).text());
            break;
        }
        }
    }
    if (plotOszi) {
        plotOszi->currentPlotParams(plot);
        fprintf(out, "$ %-13s%d\n", "OSZIXAUTO", plot.autoX);
        fprintf(out, "$ %-13s%d\n", "OSZIYAUTO", plot.autoY);
        fprintf(out, "$ %-13s%s\n", "OSZIXSCALE", formatDouble(plot.xscale).text());
        fprintf(out, "$ %-13s%s\n", "OSZIYSCALE", formatDouble(plot.yscale).text());
        fprintf(out, "$ %-13s%s\n", "OSZIXOFF", formatDouble(plot.xoff).text());
        fprintf(out, "$ %-13s%s\n", "OSZIYOFF", formatDouble(plot.yoff).text());
    }
    fputs("/* END PARAMETER */\n", out);
}

} // namespace

Clock* setCircuitClock(Clock* clock)
{
    Clock* previous = circuitClock;
    circuitClock = clock;
    return previous;
}

String formatCircuitDate(const ClockTime& when)
{
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %d", days[(when.weekday % 7 + 7) % 7],
             months[((when.month - 1) % 12 + 12) % 12], when.day, when.hour, when.minute, when.second, when.year);
    return String(text);
}

void CircuitModel::writeLocalLibrary(FILE* out, int markedOnly)
{
    fputs(kRuleLine, out);
    fputs("@START_BFL\n", out);
    fputs("@END_BFL\n\n", out);
    for (GraphicObject* object : objects) {
        if (object->kind() != 1)
            continue;
        BlockObject* b = static_cast<BlockObject*>(object);
        // Every block of library Local goes with the circuit, a wizard's or
        // not: an embedded block without a wizard header was once lost on
        // the first save, and the circuit did not read back.
        const bool local = b->wizardFlag || strcmp(b->libraryName.text(), "Local") == 0;
        if (!local || (markedOnly && !b->isMarked()))
            continue;
        String path = blockFilePath(*b);
        FILE* probe = openFile(path.text(), "rb");
        if (!probe) {
            reportError(ERR_ERROR, getResString(kResFileNotOpened), b->typeName.text());
            continue;
        }
        fclose(probe);
        fprintf(out, "@START_BLOCK \"%s\"\n", b->typeName.text());
        copyFile(path, out);
        fputs("@END_BLOCK\n\n", out);
    }
    fputs("@END_LOCALLIB\n", out);
    fputs(kRuleLine, out);
    fputs("\n", out);
}

void CircuitModel::writeCircuit(FILE* out, int forCompiler, int markedOnly)
{
    if (view)
        view->showWaitCursor();

    // 1. Header.
    fputs(kRuleLine, out);
    fputs("#  generated by KYT 2.60\n", out);
    fprintf(out, "#  %s\n", formatCircuitDate(circuitClock ? circuitClock->now() : localNow()).text());

    // 2. Embedded local library.
    if (!forCompiler) {
        BlockLibrary* local = LocalBlockLibrary::findLocalLibrary();
        if (local && local->sectionCount > 0)
            writeLocalLibrary(out, markedOnly);
    }

    // 3. The distinct block types in order of first appearance.
    std::vector<std::pair<String, String>> types;
    for (GraphicObject* object : objects) {
        if (object->kind() != 1)
            continue;
        const BlockObject* b = static_cast<const BlockObject*>(object);
        bool known = false;
        for (const auto& t : types)
            known = known || (t.first == b->typeName && t.second == b->libraryName);
        if (!known)
            types.emplace_back(b->typeName, b->libraryName);
    }

    // 4. Prolog.
    if (forCompiler) {
        fputs("/* BEGIN_PROLOG */\n", out);
        for (const auto& t : types) {
            fprintf(out, "FROM \"%s\" \"%s\"\n", t.second.text(), t.first.text());
            String dir = theWorkspace ? theWorkspace->findLibraryBlockFile(t.second.text()) : String();
            String type(t.first);
            type.toLower();
            if (copyFile(joinPath(dir.text(), type.text()), out))
                fputs("\n", out);
        }
        fputs("/* END_PROLOG */\n\n\n", out);
    }

    // 5. and 6. The circuit and its blocks.
    String circuit = circuitFileName();
    fprintf(out, "CIRCUIT VavEda; # %s\n", circuit.text());
    int n = 0;
    for (GraphicObject* object : objects) {
        if (object->kind() != 1 || (markedOnly && !object->isMarked()))
            continue;
        BlockObject* b = static_cast<BlockObject*>(object);
        char name[32];
        snprintf(name, sizeof name, "%s%d", "B_", ++n);
        b->setName(name);
        writeBlock(out, *b, forCompiler);
    }
    fputs("\n", out);

    // 7. Connections.
    for (GraphicObject* object : objects) {
        if (object->kind() != 2)
            continue;
        const ConnectionObject* c = static_cast<const ConnectionObject*>(object);
        if (!c->blockA || !c->blockB)
            continue;
        if (markedOnly && !(c->blockA->isMarked() && c->blockB->isMarked()))
            continue;
        writeConnection(out, *c);
    }

    // 8. Marked symbols.
    if (!markedOnly) {
        fputs("SAVE ", out);
        for (GraphicObject* object : objects)
            if (object->kind() == 1)
                writeSaveItems(out, *static_cast<const BlockObject*>(object));
        fputs(";\n", out);
    }

    // 9.
    fprintf(out, "\nENDCIRCUIT VavEda; # %s\n", circuit.text());

    // 10. Settings.
    if (!markedOnly)
        writeSettings(out);

    if (view)
        view->restoreCursor();
}

bool CircuitModel::saveCircuit(const char* path, int forCompiler, int markedOnly)
{
    return writeFileChecked(path, "wt", [&](FILE* stream) {
        writeCircuit(stream, forCompiler, markedOnly);
        return !ferror(stream);
    });
}
