#include "WinMap.h"

WinMap::WinMap(uint32_t n) : bucketCount(n ? n : 1), buckets(new Bucket[n ? n : 1]), hashFunction(&WinMap::hash)
{
}

WinMap::~WinMap()
{
    for (uint32_t i = 0; i < bucketCount; ++i) {
        DListIteratorOf<Entry> walk(buckets[i]);
        while (Entry* e = walk.next())
            delete e;
    }
    delete[] buckets;
}

uint32_t WinMap::hash(const void* hwnd)
{
    uint32_t low = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd));
    return low * 4u;
}

WindowCL* WinMap::insert(const void* hwnd, WindowCL* window)
{
    WindowCL* old = remove(hwnd);
    Entry* e = new Entry{hwnd, window};
    buckets[hashFunction(hwnd) % bucketCount].append(e);
    return old;
}

WindowCL* WinMap::remove(const void* hwnd)
{
    WindowCL* old = nullptr;
    DListIteratorOf<Entry> walk(buckets[hashFunction(hwnd) % bucketCount]);
    while (Entry* e = walk.next()) {
        if (e->hwnd == hwnd) {
            old = e->window;
            walk.removeCurrent();
            delete e;
        }
    }
    return old;
}

WindowCL* WinMap::lookup(const void* hwnd) const
{
    DListIteratorOf<Entry> walk(buckets[hashFunction(hwnd) % bucketCount]);
    while (Entry* e = walk.next())
        if (e->hwnd == hwnd)
            return e->window;
    return nullptr;
}

int WinMap::bucketSize(uint32_t bucket) const
{
    return bucket < bucketCount ? buckets[bucket].count() : 0;
}

int WinMap::count() const
{
    int n = 0;
    for (uint32_t i = 0; i < bucketCount; ++i)
        n += buckets[i].count();
    return n;
}
