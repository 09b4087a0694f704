// The parser's allocation registry: every text and tree that a parser action
// made and no symbol table owns yet, so that a failed parse frees everything.
// Only roots are registered: an object handed to a parent node or a table is
// unregistered first.
#ifndef KYT_COMPILER_ALLOCATIONREGISTRY_H
#define KYT_COMPILER_ALLOCATIONREGISTRY_H

enum PointerKind {
    POINTER_TEXT = 0,   // heap block, freed with free
    POINTER_TREE = 1,   // syntax tree, freed with freeTree
    POINTER_BLOCK = 2   // heap block, freed with free
};

// Null is ignored; a pointer registered twice is fatal (20400).
void registerPointer(void* pointer, int kind);
// Forgets the pointer (the object stays); null is ignored; an unknown
// pointer is fatal (20402).
void unregisterPointer(void* pointer);
// Frees every registered object, newest first, and empties the registry.
void freeRegisteredPointers();
// Number of registered objects.
int registeredPointerCount();

#endif
