#include "PaneController.h"

#include "Workspace.h"

#include <cmath>

namespace {

const Point kNothingDrawn(-1, -1);

bool holds(ConnectionObject* c, const Interpoint* point)
{
    for (Interpoint& ip : c->interpoints)
        if (&ip == point)
            return true;
    return false;
}

// A displacement in whole cells, rounding towards minus infinity.
int cellsDown(int pixels, int size)
{
    if (pixels > 0)
        return pixels / size;
    return static_cast<int>(std::floor(static_cast<double>(pixels) / size));
}

} // namespace

PaneController::PaneController(CircuitModel& circuit, PaneView& paneView)
    : buttonDown(0), skipBand(0), ctrlDown(0), connectionToMove(nullptr), dragged(0), resizing(0),
      resizeBlock(nullptr), grabbedInterpoint(nullptr), pressedObject(nullptr), contextBlock(nullptr),
      lastRubberPoint(kNothingDrawn), bandRect(0, 0, 0, 0), model(circuit), view(paneView), ownRelease(false)
{
}

bool PaneController::busy() const
{
    return theWorkspace && theWorkspace->busy;
}

bool PaneController::linesHidden() const
{
    return theWorkspace && theWorkspace->hideConnectionLines;
}

bool PaneController::gridActive() const
{
    return !(theWorkspace && theWorkspace->gridInactive);
}

Point PaneController::snapped(const Point& p) const
{
    Point s = p;
    model.snapToGrid(s);
    return s;
}

Point PaneController::rubberStart() const
{
    if (!model.pendingPoints.empty())
        return model.pendingPoints.back();
    return ConnectionObject::endPoint(model.connectBlock, model.connectPort, model.grid.x(), model.grid.y());
}

Rect PaneController::pendingBounds() const
{
    Point start = ConnectionObject::endPoint(model.connectBlock, model.connectPort, model.grid.x(), model.grid.y());
    int left = start.x(), top = start.y(), right = start.x(), bottom = start.y();
    for (const Point& p : model.pendingPoints) {
        left = std::min(left, p.x());
        top = std::min(top, p.y());
        right = std::max(right, p.x());
        bottom = std::max(bottom, p.y());
    }
    Point o = view.scrollOffset();
    return Rect(left - 1 - o.x(), top - 1 - o.y(), right + 1 - o.x(), bottom + 1 - o.y());
}

void PaneController::invalidate(GraphicObject* object)
{
    if (object)
        object->invalidate(view, model.grid.x(), model.grid.y(), 1);
}

void PaneController::paint(GraphicObject* object)
{
    if (object)
        view.paintNow(*object, model.grid.x(), model.grid.y());
}

void PaneController::releaseCapture()
{
    ownRelease = true;
    view.captureMouse(0);
    ownRelease = false;
}

void PaneController::setTool(int command)
{
    if (command == kToolEdit || command == kToolDelete || command == kToolConnections)
        model.tool = command;
}

int PaneController::onMouse(int event, int button, const Point& p, const Point& client, int ctrl)
{
    if (busy())
        return 1;
    if (event == kMouseMove) {
        mouseMove(p);
    } else if (event == kMousePress) {
        pressPoint = p;
        if (button == kLeftButton && !buttonDown)
            leftPress(p, ctrl);
        else if (button == kRightButton && !buttonDown && !model.connectPending)
            rightPress(p, client);
    } else if (event == kMouseRelease && button == kLeftButton) {
        leftRelease(p);
    }
    return 1;
}

// ---- Moves ----

void PaneController::mouseMove(const Point& p)
{
    if (resizing) {
        resizeStep(p);
        return;
    }
    if (buttonDown && !model.connectPending) {
        if (!dragged)
            hover(p);
        dragStep(p);
        return;
    }
    if (model.tool == kToolEdit && model.connectPending && model.connectBlock) {
        if (linesHidden())
            return;
        Point to = snapped(p);
        Point start = rubberStart();
        if (lastRubberPoint != kNothingDrawn)
            view.xorLine(start, lastRubberPoint);
        view.xorLine(start, to);
        lastRubberPoint = to;
        return;
    }
    hover(p);
}

void PaneController::hover(const Point& p)
{
    const int tool = model.tool;
    const bool edit = tool == kToolEdit;
    auto show = [&](int cursor, unsigned int editHint, unsigned int deleteHint, unsigned int changeHint) {
        if (edit)
            view.setCursorShape(cursor);
        unsigned int hint = edit ? editHint : tool == kToolDelete ? deleteHint : changeHint;
        view.setStatusHint(hint);
    };
    PortRef port{0, 0};
    BlockObject* block = nullptr;
    if (model.portAt(p, port, block)) {
        show(kCursorPort, kHintPort, kHintDeletePort, kHintChangePort);
        return;
    }
    GraphicObject* line = linesHidden() ? nullptr : model.objectAt(p, 2);
    if (line) {
        ConnectionObject* c = static_cast<ConnectionObject*>(line);
        if (c->style & kConnectionHidden)
            return;
        if (c->findInterpointNear(p.x(), p.y(), model.grid.x(), model.grid.y()))
            show(kCursorInterpoint, kHintInterpoint, kHintDeleteInterpoint, 0);
        else
            show(kCursorLine, kHintLine, kHintDeleteLine, 0);
        return;
    }
    if (block) {
        if (block->hitResizeCorner(p, model.grid.x(), model.grid.y()))
            show(kCursorResize, kHintResize, kHintDeleteBlock, kHintChangeBlock);
        else
            show(kCursorBlock, kHintBlock, kHintDeleteBlock, kHintChangeBlock);
        return;
    }
    show(kCursorNormal, 0, 0, 0);
}

void PaneController::resizeStep(const Point& p)
{
    BlockObject* b = resizeBlock;
    if (!b || !model.contains(b))
        return;
    const int gx = model.grid.x(), gy = model.grid.y();
    int dx = (p.x() - b->position.x() * gx - b->size.x() * gx) / gx;
    int dy = (p.y() - b->position.y() * gy - b->size.y() * gy) / gy;
    if (dx == 0 && dy == 0)
        return;
    Rect old = b->scaleRect(gx, gy);
    Point o = view.scrollOffset();
    view.invalidateRect(Rect(old.left() - 10 - o.x(), old.top() - 10 - o.y(), old.right() + 10 - o.x(),
                             old.bottom() + 10 - o.y()),
                        1);
    b->setGeometry(std::max(b->size.x() + dx, 4), std::max(b->size.y() + dy, 3));
    model.updateConnectionsOf(b);
    paint(b);
}

GraphicObject* PaneController::nextDragged(GraphicObject* prev) const
{
    if (pressedObject)
        return prev ? nullptr : (model.contains(pressedObject) ? pressedObject : nullptr);
    return model.nextMarked(prev);
}

Rect PaneController::blockOutline(const BlockObject* block, const Point& target) const
{
    return Rect(target.x(), target.y(), target.x() + block->size.x() * model.grid.x(),
                target.y() + block->size.y() * model.grid.y());
}

void PaneController::dragOutline(GraphicObject* object, const Point& target)
{
    eraseOutline(object);
    if (object->kind() == 1) {
        view.xorOutline(blockOutline(static_cast<BlockObject*>(object), target));
    } else {
        ConnectionObject* c = static_cast<ConnectionObject*>(object);
        if (c->countMarkedInterpoints() > 0 || !grabbedInterpoint || !holds(c, grabbedInterpoint))
            return;
        const int gx = model.grid.x(), gy = model.grid.y();
        Interpoint* before = c->previousOf(grabbedInterpoint);
        Interpoint* after = c->nextOf(grabbedInterpoint);
        Point a = ConnectionObject::portCell(c->blockA, c->portA());
        Point b = ConnectionObject::portCell(c->blockB, c->portB);
        Point from = before ? ConnectionObject::cellCentre(before->x, before->y, gx, gy)
                            : ConnectionObject::cellCentre(a.x(), a.y(), gx, gy);
        Point to = after ? ConnectionObject::cellCentre(after->x, after->y, gx, gy)
                         : ConnectionObject::cellCentre(b.x(), b.y(), gx, gy);
        view.xorLine(from, target);
        view.xorLine(target, to);
    }
    dragTargets[object] = target;
}

void PaneController::eraseOutline(GraphicObject* object)
{
    auto it = dragTargets.find(object);
    if (it == dragTargets.end())
        return;
    Point old = it->second;
    dragTargets.erase(it);
    if (object->kind() == 1) {
        view.xorOutline(blockOutline(static_cast<BlockObject*>(object), old));
        return;
    }
    // A connection's outline is its two lines around the grabbed point:
    // drawing them again removes them.
    dragOutline(object, old);
    dragTargets.erase(object);
}

void PaneController::dragStep(const Point& p)
{
    bool visited = false;
    if (!model.toggleMarking) {
        const int gx = model.grid.x(), gy = model.grid.y();
        for (GraphicObject* object = nextDragged(nullptr); object; object = nextDragged(object)) {
            visited = true;
            Point target;
            if (object->kind() == 1) {
                target = object->scalePosition(gx, gy).plus(p.minus(dragOrigin));
                if (gridActive())
                    target = Point(target.x() / gx * gx, target.y() / gy * gy);
            } else {
                target = gridActive() ? snapped(p) : p;
            }
            dragOutline(object, target);
        }
    }
    if (!visited && !model.connectPending && model.tool == kToolEdit) {
        if (skipBand) {
            skipBand = 0;
        } else {
            if (lastRubberPoint == kNothingDrawn) {
                bandAnchor = p;
            } else {
                // The first step only set the anchor: there is nothing to erase yet.
                if (lastRubberPoint != bandAnchor)
                    view.xorBand(CircuitModel::normaliseRect(bandAnchor.x(), bandAnchor.y(), lastRubberPoint.x(),
                                                             lastRubberPoint.y()));
                Rect r = CircuitModel::normaliseRect(bandAnchor.x(), bandAnchor.y(), p.x(), p.y());
                view.xorBand(r);
                bandRect = Rect(r.left() - 1, r.top() - 1, r.right() + 1, r.bottom() + 1);
            }
            lastRubberPoint = p;
        }
    }
    dragged = 1;
}

// ---- Presses ----

void PaneController::leftPress(const Point& p, int ctrl)
{
    view.captureMouse(1);
    buttonDown = 1;
    model.circuitSaved = 0;
    grabbedInterpoint = nullptr;
    dragTargets.clear();
    // skipBand only guards the drag that follows the press completing a
    // connection; left standing it would swallow the anchor of a later band.
    skipBand = 0;
    if (model.tool == kToolEdit)
        editPress(p, ctrl);
    else if (model.tool == kToolDelete)
        deletePress(p);
    else if (model.tool == kToolConnections)
        changePress(p);
}

void PaneController::editPress(const Point& p, int ctrl)
{
    const int gx = model.grid.x(), gy = model.grid.y();
    PortRef port{0, 0};
    BlockObject* block = nullptr;
    if (model.portAt(p, port, block)) {
        model.unmarkAll();
        if (!model.connectPending) {
            skipBand = 0;
            block->setConnectStart(port.side, port.index);
            invalidate(block);
            model.connectPending = 1;
            model.connectBlock = block;
            model.connectPort = port;
            lastRubberPoint = kNothingDrawn;
            return;
        }
        model.connectPending = 0;
        skipBand = 1;
        BlockObject* start = model.connectBlock;
        ConnectionObject* c = model.createConnection(start, model.connectPort, block, port);
        if (start) {
            start->clearConnectStart();
            invalidate(start);
        }
        if (c) {
            for (const Point& q : model.pendingPoints)
                c->appendInterpoint(q.x() / gx, q.y() / gy, 0);
            invalidate(c);
        }
        model.pendingPoints.clear();
        model.connectBlock = nullptr;
        // The rubber line went with the repainting.
        lastRubberPoint = kNothingDrawn;
        if (!c)
            view.invalidateAll();
        return;
    }
    if (model.connectPending && !linesHidden()) {
        model.unmarkAll();
        model.pendingPoints.push_back(snapped(p));
        view.invalidateRect(pendingBounds(), 1);
        lastRubberPoint = kNothingDrawn;
    } else if (!linesHidden()) {
        GraphicObject* line = model.objectAt(p, 2);
        ConnectionObject* c = static_cast<ConnectionObject*>(line);
        if (c && !(c->style & kConnectionHidden)) {
            model.unmarkAll();
            dragOrigin = p;
            Interpoint* near = c->findInterpointNear(p.x(), p.y(), gx, gy);
            if (near) {
                grabbedInterpoint = near;
                dragged = 0;
                c->markWord = 1;
                return;
            }
            if (c->editPath(p, gx, gy, 1, &view)) {
                invalidate(c);
                lastRubberPoint = kNothingDrawn;
            }
            return;
        }
    }
    blockPress(p, ctrl);
}

void PaneController::blockPress(const Point& p, int ctrl)
{
    BlockObject* block = static_cast<BlockObject*>(model.objectAt(p, 1));
    if (!block) {
        if (!ctrl)
            model.unmarkAll();
        model.toggleMarking = ctrl ? 1 : 0;
        dragged = 0;
        lastRubberPoint = kNothingDrawn;
        return;
    }
    if (block->hitResizeCorner(p, model.grid.x(), model.grid.y())) {
        resizing = 1;
        lastRubberPoint = kNothingDrawn;
        dragOrigin = p;
        paint(block);
        resizeBlock = block;
        return;
    }
    if (block->markWord) {
        if (ctrl) {
            block->markWord = 0;
            paint(block);
            model.toggleMarking = 1;
        }
        dragOrigin = p;
        return;
    }
    if (!ctrl)
        model.unmarkAll();
    else
        model.toggleMarking = 1;
    block->markWord = 1;
    paint(block);
    pressedObject = block;
    dragged = 0;
    lastRubberPoint = kNothingDrawn;
    dragOrigin = p;
}

void PaneController::deletePress(const Point& p)
{
    const int gx = model.grid.x(), gy = model.grid.y();
    model.unmarkAll();
    GraphicObject* line = linesHidden() ? nullptr : model.objectAt(p, 2);
    ConnectionObject* c = static_cast<ConnectionObject*>(line);
    if (c && !(c->style & kConnectionHidden)) {
        Interpoint* near = c->findInterpointNear(p.x(), p.y(), gx, gy);
        if (near) {
            c->removeInterpoint(near);
            model.updateConnectionsOf(c);
            return;
        }
        Rect r = c->getRect();
        model.deleteObject(c);
        if (theWorkspace && theWorkspace->showInputSignalNames) {
            Point o = view.scrollOffset();
            view.invalidateRect(Rect(r.left() * gx - 10 - o.x(), r.top() * gy - 10 - o.y(),
                                     r.right() * gx + 10 - o.x(), r.bottom() * gy + 10 - o.y()),
                                1);
        }
        return;
    }
    BlockObject* block = static_cast<BlockObject*>(model.objectAt(p, 1));
    if (!block)
        return;
    int answer = view.askYesNo(kResDeleteBlock, kResWarning);
    // The box took the release.
    buttonDown = 0;
    releaseCapture();
    if (answer != 1)
        return;
    for (bool found = true; found;) {
        found = false;
        for (GraphicObject* object : model.objects)
            if (object->kind() == 2 && static_cast<ConnectionObject*>(object)->touches(block)) {
                model.deleteObject(object);
                found = true;
                break;
            }
    }
    if (connectionToMove && !model.contains(connectionToMove))
        connectionToMove = nullptr;
    model.deleteObject(block);
}

void PaneController::changePress(const Point& p)
{
    model.unmarkAll();
    PortRef port{0, 0};
    BlockObject* block = nullptr;
    if (!model.portAt(p, port, block))
        return;
    if (!model.connectPending) {
        block->setConnectStart(port.side, port.index);
        invalidate(block);
        model.connectBlock = block;
        model.connectPort = port;
        model.connectPending = 1;
        connectionToMove = model.findConnectionAtPort(block, port, 1);
        return;
    }
    model.connectPending = 0;
    BlockObject* start = model.connectBlock;
    ConnectionObject* c = connectionToMove;
    connectionToMove = nullptr;
    if (c && start && model.contains(c)) {
        // The end that moves is the one at the chosen port, even on a line
        // from a block to itself; the moved line must obey the rules that
        // a new one obeys.
        bool atA = c->blockA == start && c->portA() == model.connectPort;
        bool atB = !atA && c->blockB == start && c->portB == model.connectPort;
        if (atA || atB) {
            BlockObject* newA = atA ? block : c->blockA;
            PortRef newPortA = atA ? port : c->portA();
            BlockObject* newB = atB ? block : c->blockB;
            PortRef newPortB = atB ? port : c->portB;
            if (model.connectionRefusal(newA, newPortA, newB, newPortB, c) != ConnectionRefusal::None) {
                view.beep();
            } else {
                invalidate(c);
                c->blockA = newA;
                c->position = Point(newPortA.side, newPortA.index);
                c->blockB = newB;
                c->portB = newPortB;
                invalidate(c);
            }
        }
    }
    if (start) {
        start->clearConnectStart();
        invalidate(start);
    }
    model.connectBlock = nullptr;
    view.invalidateAll();
}

void PaneController::rightPress(const Point& p, const Point& client)
{
    model.unmarkAll();
    model.circuitSaved = 0;
    if (!model.objectAt(p, 3)) {
        view.showInsertMenu(client);
        return;
    }
    PortRef port{0, 0};
    BlockObject* block = nullptr;
    bool onPort = model.portAt(p, port, block);
    if (!block)
        return;
    if (onPort && port.side == 2) {
        int i = port.index - 1;
        BlockObject::store(block->symbolMarks, i, BlockObject::at(block->symbolMarks, i) ? 0 : 1);
        invalidate(block);
        return;
    }
    contextBlock = block;
    int accepted = 0;
    if (block->kindFlags & kKindText)
        accepted = view.editTextBlock(*block);
    else if (block->kindFlags & kKindFrame)
        accepted = view.editFrameBlock(*block);
    else
        view.showBlockMenu(client, *block);
    if (accepted) {
        invalidate(block);
        model.updateConnectionsOf(block);
        invalidate(block);
    }
}

// ---- Release ----

void PaneController::drop(GraphicObject* object, const Point& p)
{
    const int gx = model.grid.x(), gy = model.grid.y();
    auto stored = dragTargets.find(object);
    Point target = stored != dragTargets.end() ? stored->second : p;
    eraseOutline(object);
    if (object->kind() == 1) {
        Point old = object->position;
        object->moveTo(Point(target.x() / gx, target.y() / gy));
        if (!model.fitsInDocument(1, 0, object)) {
            object->moveTo(old);
            view.beep();
        }
    } else {
        ConnectionObject* c = static_cast<ConnectionObject*>(object);
        if (c->countMarkedInterpoints() == 0) {
            if (grabbedInterpoint && holds(c, grabbedInterpoint)) {
                Interpoint old = *grabbedInterpoint;
                c->moveInterpointTo(p.x(), p.y(), grabbedInterpoint, gx, gy);
                if (!model.fitsInDocument(0, 1, c)) {
                    grabbedInterpoint->x = old.x;
                    grabbedInterpoint->y = old.y;
                    view.beep();
                }
            }
            c->markWord = 0;
            invalidate(c);
        } else {
            int dx = cellsDown(p.x() - dragOrigin.x(), gx);
            int dy = cellsDown(p.y() - dragOrigin.y(), gy);
            c->moveMarkedInterpointsBy(dx, dy);
            if (!model.fitsInDocument(0, 1, c)) {
                c->moveMarkedInterpointsBy(-dx, -dy);
                view.beep();
            }
        }
    }
    model.updateConnectionsOf(object);
    view.invalidateAll();
    paint(object);
    if (object->kind() == 1 && (static_cast<BlockObject*>(object)->kindFlags & kKindFrame))
        invalidate(object);
    lastRubberPoint = kNothingDrawn;
}

void PaneController::leftRelease(const Point& p)
{
    releaseCapture();
    buttonDown = 0;
    if (resizing) {
        resizing = 0;
        resizeBlock = nullptr;
        if (model.tool == kToolEdit)
            view.setCursorShape(kCursorNormal);
    } else if (dragged) {
        dragged = 0;
        if (!model.toggleMarking)
            for (GraphicObject* object = nextDragged(nullptr); object; object = nextDragged(object))
                drop(object, p);
        if (lastRubberPoint != kNothingDrawn) {
            lastRubberPoint = kNothingDrawn;
            model.markInRect(bandRect);
            Point o = view.scrollOffset();
            view.invalidateRect(Rect(bandRect.left() - o.x(), bandRect.top() - o.y(), bandRect.right() - o.x(),
                                     bandRect.bottom() - o.y()),
                                1);
            bandRect = Rect(0, 0, 0, 0);
        }
    }
    dragTargets.clear();
    pressedObject = nullptr;
    model.toggleMarking = 0;
}

void PaneController::captureLost()
{
    if (ownRelease || !(buttonDown || dragged || resizing))
        return;
    // Wipe what the drag drew; the objects stay where they were.
    while (!dragTargets.empty())
        eraseOutline(dragTargets.begin()->first);
    if (!model.connectPending && lastRubberPoint != kNothingDrawn) {
        if (lastRubberPoint != bandAnchor)
            view.xorBand(CircuitModel::normaliseRect(bandAnchor.x(), bandAnchor.y(), lastRubberPoint.x(),
                                                     lastRubberPoint.y()));
        lastRubberPoint = kNothingDrawn;
        bandRect = Rect(0, 0, 0, 0);
    }
    buttonDown = 0;
    dragged = 0;
    resizing = 0;
    resizeBlock = nullptr;
    pressedObject = nullptr;
    model.toggleMarking = 0;
}

// ---- Keys ----

int PaneController::onKeyDown(int key, int extended, int alt, int ctrlHeld)
{
    if (ctrlHeld)
        ctrlDown = 1;
    if (!extended || alt)
        return 0;
    // While a run or a wizard goes on the circuit stays as it is.
    if (busy())
        return 0;
    if (key == kKeyInsert) {
        view.showInsertMenu(Point(10, 10));
        return 1;
    }
    if (key == kKeyDelete) {
        model.deleteMarked();
        return 1;
    }
    return 0;
}

int PaneController::onKeyUp(int ctrlHeld)
{
    if (!ctrlHeld)
        ctrlDown = 0;
    return 0;
}

int PaneController::onChar(int character, int extended, int alt)
{
    if (extended || alt || busy())
        return 0;
    if (character == 3)
        view.copyToClipFile();
    else if (character == 24)
        view.cutToClipFile();
    else if (character == 22)
        view.pasteFromClipFile();
    return 0;
}
