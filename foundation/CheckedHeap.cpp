#include "CheckedHeap.h"

#include "ErrorReporter.h"

#include <cstdlib>

void* CheckedAlloc(size_t size)
{
    void* p = malloc(size ? size : 1);
    if (!p)
        reportError(ERR_FATAL, "Kein Heap-Speicherplatz mehr %d", static_cast<int>(size));
    return p;
}

void* checkedCalloc(size_t size)
{
    void* p = calloc(size ? size : 1, 1);
    if (!p)
        reportError(ERR_FATAL, "Kein Heap-Speicherplatz mehr");
    return p;
}

void* trrealloc(void* block, size_t size)
{
    void* p = realloc(block, size ? size : 1);
    if (!p)
        reportError(ERR_FATAL, "Kein Heap-Speicherplatz mehr (trrealloc)");
    return p;
}

void* mallocHook(size_t size)
{
    return CheckedAlloc(size);
}

void freeHook(void* block)
{
    if (block)
        free(block);
}

void FileHandleGuard::close()
{
    if (handle) {
        fclose(handle);
        handle = 0;
    }
}
