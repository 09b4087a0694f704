// The model's side of editing with the mouse and the keys: hit tests,
// marks, deletion into the undo list, and the document bounds.
#include "CircuitModel.h"

#include "ErrorReporter.h"
#include "LocalLibrary.h"
#include "ResString.h"
#include "Workspace.h"
#include "WorkspaceUi.h"

#include <algorithm>

namespace {

bool isFrameBlock(const GraphicObject* object)
{
    return object->kind() == 1 && (static_cast<const BlockObject*>(object)->kindFlags & kKindFrame);
}

Rect widened(const Rect& r, int by)
{
    return Rect(r.left() - by, r.top() - by, r.right() + by, r.bottom() + by);
}

} // namespace

bool CircuitModel::contains(const GraphicObject* object) const
{
    return object && std::find(objects.begin(), objects.end(), object) != objects.end();
}

GraphicObject* CircuitModel::objectAt(const Point& p, int kindMask) const
{
    GraphicObject* frame = nullptr;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        GraphicObject* object = *it;
        if (!(object->kind() & kindMask) || !object->hitTest(p, grid.x(), grid.y()))
            continue;
        // A frame lies under what it frames: it takes only its empty space.
        if (!isFrameBlock(object))
            return object;
        if (!frame)
            frame = object;
    }
    return frame;
}

bool CircuitModel::portAt(const Point& p, PortRef& port, BlockObject*& block) const
{
    block = static_cast<BlockObject*>(objectAt(p, 1));
    if (!block)
        return false;
    return block->hitPort(p.x(), p.y(), port, grid.x(), grid.y()) != 0;
}

void CircuitModel::updateConnectionsOf(GraphicObject* object)
{
    if (!view || !object)
        return;
    if (object->kind() == 2)
        object->invalidate(*view, grid.x(), grid.y(), 1);
    if (object->kind() != 1)
        return;
    for (GraphicObject* other : objects)
        if (other->kind() == 2 && static_cast<ConnectionObject*>(other)->touches(static_cast<BlockObject*>(object)))
            other->invalidate(*view, grid.x(), grid.y(), 1);
}

void CircuitModel::unmarkAll()
{
    for (GraphicObject* object : objects)
        if (object->markWord) {
            object->markWord = 0;
            if (view)
                object->invalidate(*view, grid.x(), grid.y(), 1);
        }
    clearInterpointMarks();
    toggleMarking = 0;
}

void CircuitModel::clearInterpointMarks()
{
    for (GraphicObject* object : objects)
        if (object->kind() == 2 && static_cast<ConnectionObject*>(object)->unmarkInterpoints())
            paintNow(*object);
}

GraphicObject* CircuitModel::nextMarked(GraphicObject* prev) const
{
    auto it = objects.begin();
    if (prev) {
        it = std::find(objects.begin(), objects.end(), prev);
        if (it == objects.end())
            return nullptr;
        ++it;
    }
    for (; it != objects.end(); ++it) {
        GraphicObject* object = *it;
        if (object->markWord ||
            (object->kind() == 2 && static_cast<ConnectionObject*>(object)->countMarkedInterpoints() > 0))
            return object;
    }
    return nullptr;
}

void CircuitModel::deleteObject(GraphicObject* object)
{
    if (!object)
        return;
    Rect noted = object->kind() == 2 ? static_cast<ConnectionObject*>(object)->getRect() : object->getRect();
    noted = Rect(noted.left() * grid.x(), noted.top() * grid.y(), noted.right() * grid.x(), noted.bottom() * grid.y());
    if (object->kind() == 2) {
        // A line from a switching block's output into a plain input was
        // hidden by the switch; the line that stays there is shown again.
        ConnectionObject* c = static_cast<ConnectionObject*>(object);
        bool flaggedA = c->blockA && (c->blockA->kindFlags & kKindGroup);
        bool flaggedB = c->blockB && (c->blockB->kindFlags & kKindGroup);
        if (flaggedA != flaggedB) {
            const PortRef flaggedEnd = flaggedA ? c->portA() : c->portB;
            const PortRef plainEnd = flaggedA ? c->portB : c->portA();
            BlockObject* plain = flaggedA ? c->blockB : c->blockA;
            if (flaggedEnd.side == 2 && plainEnd.side == 1) {
                ConnectionObject* at = findConnectionAtPort(plain, plainEnd, 1);
                if (at) {
                    at->style = 0;
                    if (view)
                        at->invalidate(*view, grid.x(), grid.y(), 1);
                }
            }
        }
    }
    auto it = std::find(objects.begin(), objects.end(), object);
    if (it != objects.end()) {
        objects.erase(it);
        if (object == connectBlock) {
            // The connection being made loses its start.
            connectPending = 0;
            connectBlock = nullptr;
            pendingPoints.clear();
        }
        pushUndo(object);
    }
    if (view)
        view->invalidateRect(widened(noted, 10), 1);
}

void CircuitModel::deleteMarked()
{
    int markedBlocks = 0;
    for (GraphicObject* object : objects)
        if (object->kind() == 1 && object->markWord)
            ++markedBlocks;
    if (markedBlocks > 0) {
        if (!view || view->askYesNo(kResDeleteMarkedBlocks, kResWarning) != 1)
            return;
        removeMarkedObjects();
    }
    for (GraphicObject* object : objects) {
        if (object->kind() != 2)
            continue;
        ConnectionObject* c = static_cast<ConnectionObject*>(object);
        if (c->countMarkedInterpoints() == 0)
            continue;
        if (view)
            c->invalidate(*view, grid.x(), grid.y(), 1);
        c->deleteMarkedInterpoints();
        if (view)
            c->invalidate(*view, grid.x(), grid.y(), 1);
    }
}

void CircuitModel::removeMarkedObjects()
{
    for (;;) {
        BlockObject* block = nullptr;
        for (GraphicObject* object : objects)
            if (object->kind() == 1 && object->markWord) {
                block = static_cast<BlockObject*>(object);
                break;
            }
        if (!block)
            return;
        for (bool found = true; found;) {
            found = false;
            for (GraphicObject* object : objects)
                if (object->kind() == 2 && static_cast<ConnectionObject*>(object)->touches(block)) {
                    deleteObject(object);
                    found = true;
                    break;
                }
        }
        if (block->wizardFlag && !LocalBlockLibrary::removeBlock(block->typeName.text()))
            reportError(ERR_ERROR, "%s", getResString(kResLocalBlockNotRemoved));
        deleteObject(block);
    }
}

bool CircuitModel::fitsInDocument(int checkBlocks, int checkConnections, GraphicObject* only) const
{
    auto inside = [this](long x, long y) {
        return x >= 0 && y >= 0 && x <= documentSize.x() && y <= documentSize.y();
    };
    for (GraphicObject* object : objects) {
        if (only && object != only)
            continue;
        if (object->kind() == 1 && checkBlocks) {
            const BlockObject* b = static_cast<const BlockObject*>(object);
            if (!inside(static_cast<long>(b->position.x()) * grid.x(), static_cast<long>(b->position.y()) * grid.y()) ||
                !inside(static_cast<long>(b->position.x() + b->size.x()) * grid.x(),
                        static_cast<long>(b->position.y() + b->size.y()) * grid.y()))
                return false;
        } else if (object->kind() == 2 && checkConnections) {
            for (const Interpoint& ip : static_cast<const ConnectionObject*>(object)->interpoints)
                if (!inside(static_cast<long>(ip.x) * grid.x(), static_cast<long>(ip.y) * grid.y()))
                    return false;
        }
    }
    return true;
}

void CircuitModel::pushUndo(GraphicObject* object)
{
    if (theWorkspace && theWorkspace->mainMenu)
        theWorkspace->mainMenu->enableCommand(kUndoCommand, true);
    undoList.insert(undoList.begin(), object);
    while (undoList.size() > kUndoLimit) {
        delete undoList.back();
        undoList.pop_back();
    }
}

void CircuitModel::clearUndo()
{
    for (GraphicObject* object : undoList)
        delete object;
    undoList.clear();
}
