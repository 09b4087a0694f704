#include "CircuitModel.h"

#include "Canvas.h"
#include "CircuitReader.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "LocalLibrary.h"
#include "ResString.h"
#include "Workspace.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

CircuitModel* signalModel = nullptr;

// The signal that drives a block input: the name of the output at the
// other end of the connection into it.
String signalAtInput(const BlockObject& block, int input)
{
    if (!signalModel)
        return String();
    for (GraphicObject* object : signalModel->objects)
        if (object->kind() == 2) {
            String name = static_cast<ConnectionObject*>(object)->signalNameAt(&block, input);
            if (name.getLength() > 0)
                return name;
        }
    return String();
}

bool isBlock(const GraphicObject* object)
{
    return object->kind() == 1;
}

bool isFrame(const GraphicObject* object)
{
    return isBlock(object) && (static_cast<const BlockObject*>(object)->kindFlags & kKindFrame);
}

// The wizard kind of a block file: the word after "$WIZARD" on its first
// "$" line; empty for an ordinary block. -1 when the file does not open.
int wizardKindOf(const char* file, std::string& kind)
{
    FILE* f = openFile(file, "rt");
    if (!f)
        return -1;
    std::string line;
    kind.clear();
    // Comment lines stand before the "$" line; a device or a file without
    // one ends at the text limit of descriptions.
    size_t taken = 0;
    while (taken <= circuitReadLimits().text && readBoundedLine(f, line, 1024) != LINE_AT_END) {
        taken += line.size() + 1;
        size_t a = line.find_first_not_of(" \t");
        if (a == std::string::npos || line[a] != '$')
            continue;
        size_t b = line.find_first_not_of(" \t", a + 1);
        if (b != std::string::npos && line.compare(b, 6, "WIZARD") == 0) {
            size_t w = line.find_first_not_of(" \t", b + 6);
            if (w != std::string::npos) {
                size_t e = line.find_first_of(" \t\r\n", w);
                kind = line.substr(w, e == std::string::npos ? std::string::npos : e - w);
            }
            if (kind.empty())
                kind = " ";
        }
        break;
    }
    fclose(f);
    return 0;
}

void reportNoLocalBlock()
{
    reportError(ERR_ERROR, "%s", getResString(kResNoLocalBlock));
}

} // namespace

CircuitModel* signalSourceModel()
{
    return signalModel;
}

CircuitModel::CircuitModel(PaneView* paneView, const Point& gridSize)
    : grid(std::max(gridSize.x(), 1), std::max(gridSize.y(), 1)), tool(kToolEdit), insertCount(0),
      toggleMarking(0), connectPending(0), connectBlock(nullptr), connectPort{0, 0},
      documentSize(kDocumentSize, kDocumentSize), circuitSaved(1), view(paneView)
{
    signalModel = this;
    setInputSignalLookup(signalAtInput);
}

CircuitModel::~CircuitModel()
{
    clear();
    clearUndo();
    if (signalModel == this) {
        signalModel = nullptr;
        setInputSignalLookup(nullptr);
    }
}

void CircuitModel::paintNow(GraphicObject& object)
{
    if (view)
        view->paintNow(object, grid.x(), grid.y());
}

BlockObject* CircuitModel::createBlock(const Point& requested, const Point& size, const char* blockFile,
                                       const char* libraryName, int noWizardCheck)
{
    Point position = requested;
    if (position == Point(0, 0)) {
        int n = insertCount;
        position = Point(10 + 10 * (n % 4), 5 + 5 * (n / 4));
    }
    ++insertCount;

    std::string wizardKind;
    String file = blockFile ? blockFile : "";
    String library = libraryName ? libraryName : "";
    if (!noWizardCheck) {
        if (wizardKindOf(file.text(), wizardKind) < 0) {
            reportNoLocalBlock();
            return nullptr;
        }
    }
    if (!wizardKind.empty()) {
        // A wizard block is edited as a copy of its own in library Local.
        String dir = LocalBlockLibrary::directory();
        if (dir.getLength() == 0) {
            reportNoLocalBlock();
            return nullptr;
        }
        String target = LocalBlockLibrary::uniqueBlockName("");
        String copy = joinPath(dir.text(), target.text());
        FILE* in = openFile(file.text(), "rt");
        FILE* out = in ? openFile(copy.text(), "wt") : nullptr;
        if (!in || !out) {
            if (in)
                fclose(in);
            reportNoLocalBlock();
            return nullptr;
        }
        std::string line;
        bool failed = false;
        const CircuitReadLimits limits = circuitReadLimits();
        size_t taken = 0;
        LineReadResult r;
        while (!failed && (r = readBoundedLine(in, line, limits.line)) != LINE_AT_END) {
            taken += line.size() + 1;
            failed = r == LINE_TOO_LONG || taken > limits.text || fprintf(out, "%s\n", line.c_str()) < 0;
        }
        failed = failed || ferror(in) || ferror(out);
        fclose(in);
        failed = fclose(out) != 0 || failed;
        if (failed) {
            remove(mapPath(copy.text()).text());
            reportNoLocalBlock();
            return nullptr;
        }
        if (!LocalBlockLibrary::importBlock(target.text(), target.text(), 1)) {
            remove(mapPath(copy.text()).text());
            return nullptr;
        }
        file = copy;
        library = "Local";
    }
    BlockObject* block = new BlockObject(position, size, file.text(), library.text());
    if (block->errorFlag) {
        delete block;
        return nullptr;
    }
    if (!wizardKind.empty()) {
        block->wizardFlag = 1;
        block->setWizardName(wizardKind == " " ? "" : wizardKind.c_str());
    }
    objects.push_back(block);
    paintNow(*block);
    return block;
}

ConnectionObject* CircuitModel::findConnectionAtPort(const BlockObject* block, const PortRef& port, int nth) const
{
    int seen = 0;
    for (GraphicObject* object : objects) {
        if (object->kind() != 2)
            continue;
        const ConnectionObject* c = static_cast<const ConnectionObject*>(object);
        if ((c->blockA == block && c->portA() == port) || (c->blockB == block && c->portB == port))
            if (++seen == nth)
                return const_cast<ConnectionObject*>(c);
    }
    return nullptr;
}

bool CircuitModel::connectionExists(const BlockObject* blockA, const PortRef& portA, const BlockObject* blockB,
                                    const PortRef& portB) const
{
    for (GraphicObject* object : objects) {
        if (object->kind() != 2)
            continue;
        const ConnectionObject* c = static_cast<const ConnectionObject*>(object);
        if ((c->blockA == blockA && c->portA() == portA && c->blockB == blockB && c->portB == portB) ||
            (c->blockA == blockB && c->portA() == portB && c->blockB == blockA && c->portB == portA))
            return true;
    }
    return false;
}

ConnectionObject* CircuitModel::createConnection(BlockObject* blockA, const PortRef& portA, BlockObject* blockB,
                                                 const PortRef& portB)
{
    switch (connectionRefusal(blockA, portA, blockB, portB, nullptr)) {
    case ConnectionRefusal::None:
        break;
    case ConnectionRefusal::WithBeep:
        if (view)
            view->beep();
        return nullptr;
    case ConnectionRefusal::Silent:
        return nullptr;
    }
    ConnectionObject* c = new ConnectionObject(blockA, portA, blockB, portB);
    objects.push_back(c);
    paintNow(*c);
    if (theWorkspace && theWorkspace->showInputSignalNames) {
        paintNow(*blockB);
        paintNow(*blockA);
    }
    return c;
}

ConnectionRefusal CircuitModel::connectionRefusal(const BlockObject* blockA, const PortRef& portA,
                                                  const BlockObject* blockB, const PortRef& portB,
                                                  const ConnectionObject* except) const
{
    if (!blockA || !blockB)
        return ConnectionRefusal::Silent;
    // One pass over the lines finds what the rules ask about: an input end
    // already in use, and a line between the same two ends.
    bool takenA = false;
    bool takenB = false;
    bool twin = false;
    for (GraphicObject* object : objects) {
        if (object == except || object->kind() != 2)
            continue;
        const ConnectionObject* c = static_cast<const ConnectionObject*>(object);
        const PortRef endA = c->portA();
        auto touches = [&](const BlockObject* block, const PortRef& port) {
            return (c->blockA == block && endA == port) || (c->blockB == block && c->portB == port);
        };
        takenA = takenA || (portA.side == 1 && touches(blockA, portA));
        takenB = takenB || (portB.side == 1 && touches(blockB, portB));
        twin = twin || (c->blockA == blockA && endA == portA && c->blockB == blockB && c->portB == portB) ||
               (c->blockA == blockB && endA == portB && c->blockB == blockA && c->portB == portA);
    }
    if (takenA || takenB)
        return ConnectionRefusal::WithBeep;
    if (blockA == blockB && portA == portB)
        return ConnectionRefusal::Silent;
    if (twin)
        return ConnectionRefusal::WithBeep;
    if (portA.side == portB.side)
        return ConnectionRefusal::WithBeep;
    const bool flaggedA = (blockA->kindFlags & kKindGroup) != 0;
    const bool flaggedB = (blockB->kindFlags & kKindGroup) != 0;
    if (flaggedA || flaggedB) {
        // The switching block's end must be its input.
        const PortRef& flaggedEnd = flaggedB ? portB : portA;
        if (flaggedEnd.side != 1)
            return ConnectionRefusal::WithBeep;
    }
    return ConnectionRefusal::None;
}

void CircuitModel::updateFlaggedConnections(BlockObject* block)
{
    if (!block || !(block->kindFlags & kKindGroup))
        return;
    const PortRef output{2, 1};
    const bool hide = strcmp(block->flaggedEntryValue().text(), "0") != 0;
    for (int nth = 1;; ++nth) {
        ConnectionObject* c = findConnectionAtPort(block, output, nth);
        if (!c)
            break;
        BlockObject* far = c->blockA == block ? c->blockB : c->blockA;
        PortRef farPort = c->blockA == block ? c->portB : c->portA();
        ConnectionObject* d = findConnectionAtPort(far, farPort, 1);
        if (!d)
            continue;
        if (hide)
            d->style |= kConnectionHidden;
        else
            d->style &= ~kConnectionHidden;
        if (view)
            d->invalidate(*view, grid.x(), grid.y(), 1);
    }
}

RunFinding CircuitModel::checkRunnable() const
{
    bool anyBlock = false, control = false, marked = false;
    for (GraphicObject* object : objects) {
        if (!isBlock(object))
            continue;
        const BlockObject* b = static_cast<const BlockObject*>(object);
        anyBlock = true;
        control = control || (b->kindFlags & kKindControl);
        marked = marked || b->anyOutputMarked() || b->anyOtherSymbolMarked();
    }
    if (!anyBlock)
        return RunFinding::NoCircuit;
    if (!control)
        return RunFinding::NoControlBlock;
    if (!marked)
        return RunFinding::NoMarkedSignal;
    return RunFinding::Runnable;
}

std::vector<MarkedSymbol> CircuitModel::markedSymbols() const
{
    std::vector<MarkedSymbol> pairs;
    for (GraphicObject* object : objects) {
        if (!isBlock(object))
            continue;
        const BlockObject* b = static_cast<const BlockObject*>(object);
        const std::string instance = b->name.text();
        const int limit = b->outputCount + b->parameterCount + b->variableCount + 2 * b->stateCount;
        int i = 0;
        auto visit = [&](const std::string& name, const std::string& label) {
            if (i < limit && BlockObject::at(b->symbolMarks, i))
                pairs.push_back({name, label});
            ++i;
        };
        for (int j = 0; j < b->outputCount; ++j)
            visit(instance + "_" + BlockObject::at(b->outputNames, j).text(), b->signalName(j + 1).text());
        for (int j = 0; j < b->stateCount; ++j) {
            std::string state = BlockObject::at(b->stateNames, j).text();
            visit(instance + "_" + state, state);
        }
        for (int j = 0; j < b->stateCount; ++j) {
            std::string state = BlockObject::at(b->stateNames, j).text();
            visit("d" + instance + "_" + state, "d" + state);
        }
        for (int j = 0; j < b->variableCount; ++j) {
            std::string variable = BlockObject::at(b->variableNames, j).text();
            visit(instance + "_" + variable, variable);
        }
        for (int j = 0; j < b->parameterCount; ++j) {
            std::string parameter = BlockObject::at(b->parameterNames, j).text();
            visit(instance + "_" + parameter, parameter);
        }
    }
    return pairs;
}

void CircuitModel::markInRect(const Rect& r)
{
    auto inside = [&r](int x, int y) {
        return x >= r.left() && x <= r.right() && y >= r.top() && y <= r.bottom();
    };
    for (GraphicObject* object : objects) {
        if (isBlock(object)) {
            BlockObject* b = static_cast<BlockObject*>(object);
            int x1 = b->position.x() * grid.x(), y1 = b->position.y() * grid.y();
            int x2 = (b->position.x() + b->size.x()) * grid.x(), y2 = (b->position.y() + b->size.y()) * grid.y();
            if (inside(x1, y1) && inside(x2, y2))
                b->markWord = toggleMarking && b->markWord ? 0 : 1;
        } else if (object->kind() == 2) {
            for (Interpoint& ip : static_cast<ConnectionObject*>(object)->interpoints)
                if (inside(ip.x * grid.x(), ip.y * grid.y()))
                    ip.mark = toggleMarking ? !ip.mark : 1;
        }
    }
}

Rect CircuitModel::normaliseRect(int x1, int y1, int x2, int y2)
{
    return Rect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

void CircuitModel::snapToGrid(Point& p) const
{
    int qx = p.x() / grid.x();
    int qy = p.y() / grid.y();
    p = Point(static_cast<int>((qx + 0.5) * grid.x()), static_cast<int>((qy + 0.5) * grid.y()));
}

void CircuitModel::standardSizeMarked()
{
    bool changed = false;
    for (GraphicObject* object : objects)
        if (isBlock(object) && object->markWord) {
            BlockObject* b = static_cast<BlockObject*>(object);
            if (!(b->size == b->standardSize)) {
                b->setGeometry(b->standardSize.x(), b->standardSize.y());
                changed = true;
            }
        }
    if (changed && view)
        view->invalidateAll();
}

BlockObject* CircuitModel::findBlockByName(const char* name) const
{
    for (GraphicObject* object : objects)
        if (isBlock(object) && strcmp(static_cast<BlockObject*>(object)->name.text(), name ? name : "") == 0)
            return static_cast<BlockObject*>(object);
    return nullptr;
}

void CircuitModel::setZoom(int width, int height)
{
    grid = Point(std::max(width, 1), std::max(height, 1));
    if (view)
        view->invalidateAll();
}

void CircuitModel::removeObject(GraphicObject* object)
{
    objects.remove(object);
}

void CircuitModel::removeBlock(BlockObject* block)
{
    for (auto it = objects.begin(); it != objects.end();) {
        GraphicObject* object = *it;
        if (object->kind() == 2 && static_cast<ConnectionObject*>(object)->touches(block)) {
            it = objects.erase(it);
            delete object;
        } else {
            ++it;
        }
    }
    if (connectBlock == block) {
        connectPending = 0;
        connectBlock = nullptr;
        pendingPoints.clear();
    }
    objects.remove(block);
    delete block;
}

void CircuitModel::clear()
{
    incompleteSource = String();
    // Connections first: they point at the blocks.
    std::vector<GraphicObject*> blocks;
    for (GraphicObject* object : objects) {
        if (object->kind() == 2)
            delete object;
        else
            blocks.push_back(object);
    }
    objects.clear();
    for (GraphicObject* object : blocks)
        delete object;
    connectPending = 0;
    connectBlock = nullptr;
    pendingPoints.clear();
}

void CircuitModel::paint(PaneView& pane, const Rect& u)
{
    const Point o = pane.scrollOffset();
    auto meets = [&](const BlockObject* b) {
        int left = b->position.x() * grid.x() - o.x() - 10;
        int top = b->position.y() * grid.y() - o.y() - 10;
        int right = (b->position.x() + b->size.x()) * grid.x() - o.x() + 10;
        int bottom = (b->position.y() + b->size.y()) * grid.y() - o.y() + 10;
        Point topLeft(std::max(left, u.left()), std::max(top, u.top()));
        Point bottomRight(std::min(right, u.right()), std::min(bottom, u.bottom()));
        return topLeft.lessThan(bottomRight) != 0;
    };
    for (int pass = 1; pass <= 2; ++pass)
        for (GraphicObject* object : objects)
            if (isBlock(object) && isFrame(object) == (pass == 1) && meets(static_cast<BlockObject*>(object)))
                object->paint(pane, grid.x(), grid.y());
    for (GraphicObject* object : objects)
        if (object->kind() == 2)
            object->paint(pane, grid.x(), grid.y());
    if (connectPending && connectBlock && !(theWorkspace && theWorkspace->hideConnectionLines)) {
        // The fixed part of the connection being made; the rubber segment
        // to the pointer is the mouse handling's.
        Point row = connectBlock->portPosition(connectPort.side, connectPort.index);
        Point start = connectBlock->portPoint(connectPort.side, row.y(), grid.x(), grid.y());
        int shift = static_cast<int>(grid.x() * 0.5);
        start = start.plus(connectPort.side == 1 ? -shift : shift, 0).minus(o);
        Canvas& dc = pane.canvas();
        dc.moveTo(start.x(), start.y());
        for (const Point& p : pendingPoints)
            dc.lineTo(p.x() - o.x(), p.y() - o.y());
    }
}

Point CircuitModel::printGrid(const Point& screenGrid, double rx, double ry)
{
    return Point(std::max(static_cast<int>(screenGrid.x() * rx * 0.5 + 0.5), 1),
                 std::max(static_cast<int>(screenGrid.y() * ry * 0.5 + 0.5), 1));
}

void CircuitModel::printInto(PaneView& printer, double rx, double ry, const Rect& page)
{
    if (theWorkspace)
        theWorkspace->printing = 1;
    const Point saved = grid;
    grid = printGrid(grid, rx, ry);
    paint(printer, page);
    grid = saved;
    if (theWorkspace)
        theWorkspace->printing = 0;
}
