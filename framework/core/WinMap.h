// The map from window handles to the window objects that own them. The
// window procedures find their object here; a handle that is not mapped goes
// to default processing.
#ifndef KYT_FRAMEWORK_WINMAP_H
#define KYT_FRAMEWORK_WINMAP_H

#include "Collections.h"

#include <cstdint>

class WindowCL;

class WinMap {
public:
    explicit WinMap(uint32_t buckets = 97);
    ~WinMap();

    // Removes every entry of hwnd, then maps hwnd to window; the window
    // object of the removed entry, or null.
    WindowCL* insert(const void* hwnd, WindowCL* window);
    // Removes every entry of hwnd; the window object of the last one removed, or null.
    WindowCL* remove(const void* hwnd);
    // The window object of hwnd, null when none.
    WindowCL* lookup(const void* hwnd) const;

    // The low 32 bits of the handle times 4, wrapping.
    static uint32_t hash(const void* hwnd);
    uint32_t bucketOf(const void* hwnd) const { return hash(hwnd) % bucketCount; }
    uint32_t getBucketCount() const { return bucketCount; }
    // Entries in one bucket (for the tests of the spreading).
    int bucketSize(uint32_t bucket) const;
    int count() const;

private:
    struct Entry {
        const void* hwnd;
        WindowCL* window;
    };
    typedef DListOf<Entry> Bucket;

    WinMap(const WinMap&) = delete;
    WinMap& operator=(const WinMap&) = delete;

    uint32_t bucketCount;
    Bucket* buckets;
    uint32_t (*hashFunction)(const void*);
};

#endif
