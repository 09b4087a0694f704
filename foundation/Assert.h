// Internal consistency checks. A failed check is a fatal report: the program ends.
#ifndef KYT_FOUNDATION_ASSERT_H
#define KYT_FOUNDATION_ASSERT_H

#include <cstddef>

[[noreturn]] void AssertFailed(const char* expression, const char* file, int line);

// 0 for a null address, 1 otherwise. The memory checking proper is the
// sanitizer build's job.
int IsValidAddress(const void* p, size_t size, int writable = 1);

#define KYT_ASSERT(e) ((e) ? (void)0 : AssertFailed(#e, __FILE__, __LINE__))
// Checks with a fixed expression text, as the containers give it.
#define KYT_ASSERT_TEXT(e, text) ((e) ? (void)0 : AssertFailed(text, __FILE__, __LINE__))

#endif
