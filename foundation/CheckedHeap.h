// Allocators that turn an exhausted heap into a fatal report.
#ifndef KYT_FOUNDATION_CHECKEDHEAP_H
#define KYT_FOUNDATION_CHECKEDHEAP_H

#include <cstddef>
#include <cstdio>

void* CheckedAlloc(size_t size);
void* checkedCalloc(size_t size);
void* trrealloc(void* block, size_t size);

// The allocation pair handed to the generated transfer-function parser.
void* mallocHook(size_t size);
void freeHook(void* block);

// One-word holder of an open run-time library file; 0 when none. Destruction
// leaves an unclosed file open on purpose: the lock file of the temporary
// directory lives in one and must stay held until the process ends.
class FileHandleGuard {
public:
    FileHandleGuard() : handle(0) {}
    ~FileHandleGuard() {}
    void set(FILE* f) { handle = f; }
    FILE* get() const { return handle; }
    void close();

private:
    FileHandleGuard(const FileHandleGuard&) = delete;
    FileHandleGuard& operator=(const FileHandleGuard&) = delete;
    FILE* handle;
};

#endif
