#include "AllocationRegistry.h"

#include "CompilerMessages.h"
#include "SyntaxTree.h"

#include "CheckedHeap.h"
#include "strings/CompilerStrings.h"

#include <cstdlib>

namespace {

struct Registration {
    Registration* next;
    int kind;
    void* pointer;
};

Registration* head = nullptr;

} // namespace

void registerPointer(void* pointer, int kind)
{
    if (!pointer)
        return;
    for (Registration* r = head; r; r = r->next)
        if (r->pointer == pointer)
            compileInternalError(kStrInternalPointerKnown);
    Registration* r = static_cast<Registration*>(CheckedAlloc(sizeof(Registration)));
    r->next = head;
    r->kind = kind;
    r->pointer = pointer;
    head = r;
}

void unregisterPointer(void* pointer)
{
    if (!pointer)
        return;
    for (Registration** p = &head; *p; p = &(*p)->next) {
        if ((*p)->pointer == pointer) {
            Registration* r = *p;
            *p = r->next;
            free(r);
            return;
        }
    }
    compileInternalError(kStrInternalPointerUnknown);
}

void freeRegisteredPointers()
{
    while (head) {
        Registration* r = head;
        head = r->next;
        switch (r->kind) {
        case POINTER_TEXT:
        case POINTER_BLOCK:
            free(r->pointer);
            break;
        case POINTER_TREE:
            freeTree(static_cast<SyntaxNode*>(r->pointer));
            break;
        default:
            compileInternalError(kStrInternalPointerKind);
        }
        free(r);
    }
}

int registeredPointerCount()
{
    int n = 0;
    for (Registration* r = head; r; r = r->next)
        ++n;
    return n;
}
