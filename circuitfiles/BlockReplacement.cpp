// Replacing a block by a rebuilt one (a wizard's new version, a library
// block copied to Local): its connections and its user-visible state go
// over to the new block.
#include "Assert.h"
#include "CircuitModel.h"
#include "SignalNameRegistry.h"

#include <algorithm>

void CircuitModel::moveConnections(BlockObject* old, BlockObject* fresh)
{
    if (!old || !fresh || old == fresh)
        return;
    for (int kind = 1; kind <= 2; ++kind) {
        const int oldCount = kind == 1 ? old->inputCount : old->outputCount;
        const int freshCount = kind == 1 ? fresh->inputCount : fresh->outputCount;
        for (int i = 1; i <= oldCount && i <= freshCount; ++i) {
            const PortRef port{kind, i};
            while (ConnectionObject* c = findConnectionAtPort(old, port, 1)) {
                // The end that is this very port moves: on a loop of the old
                // block onto itself the other end is one of its other ports.
                if (c->blockA == old && c->portA() == port) {
                    c->blockA = fresh;
                    c->setPortA(port);
                } else {
                    c->blockB = fresh;
                    c->setPortB(port);
                }
            }
        }
    }
}

void CircuitModel::carryOverBlockState(BlockObject* old, BlockObject* fresh, int copyParameters, int copyText)
{
    if (!old || !fresh)
        return;
    if (copyParameters) {
        const int n = std::min(old->parameterCount, fresh->parameterCount);
        for (int i = 0; i < n; ++i)
            if (BlockObject::at(fresh->parameterNames, i) == BlockObject::at(old->parameterNames, i))
                BlockObject::store(fresh->parameterValues, i, BlockObject::at(old->parameterValues, i).text());
    }
    const int outputs = std::min(old->outputCount, fresh->outputCount);
    for (int j = 0; j < outputs; ++j)
        if (BlockObject::at(fresh->outputNames, j) == BlockObject::at(old->outputNames, j))
            BlockObject::store(fresh->symbolMarks, j, BlockObject::at(old->symbolMarks, j));
    if (sNBase) {
        for (int i = 1; i <= outputs; ++i) {
            String oldName = old->signalName(i);
            String freeName = oldName + "x";
            while (sNBase->contains(freeName.text()))
                freeName += "x";
            int c1 = sNBase->rename(oldName.text(), freeName.text());
            int c2 = sNBase->rename(fresh->signalName(i).text(), oldName.text());
            KYT_ASSERT_TEXT(c1 && c2, "c1 && c2");
        }
    }
    fresh->mirrored = old->mirrored;
    fresh->setGeometry(old->size.x(), old->size.y());
    std::copy(old->layout, old->layout + kLayoutWords, fresh->layout);
    fresh->loadIcon(old->iconName.text());
    fresh->iconDim = old->iconDim;
    if (copyText)
        fresh->setText(old->getText().text());
}

void CircuitModel::replaceBlock(BlockObject* old, BlockObject* fresh, int copyParameters, int copyText)
{
    if (!old || !fresh || !contains(old))
        return;
    moveConnections(old, fresh);
    carryOverBlockState(old, fresh, copyParameters, copyText);
    for (bool found = true; found;) {
        found = false;
        for (GraphicObject* object : objects)
            if (object->kind() == 2 && static_cast<ConnectionObject*>(object)->touches(old)) {
                deleteObject(object);
                found = true;
                break;
            }
    }
    deleteObject(old);
    if (view)
        view->invalidateAll();
}
