// Self-extending array: an access beyond the end grows it to the larger of
// size + growBy and index + 1, filling new slots with the default element.
// Reading grows the array just as writing does; it never shrinks. The
// storage behind it grows by half its size at least, so that filling an
// array element by element costs linear time, not quadratic.
#ifndef KYT_FOUNDATION_ADARRAY_H
#define KYT_FOUNDATION_ADARRAY_H

#include "Assert.h"

#include <cstdint>
#include <new>

template <class TYPE>
class ADArray {
public:
    explicit ADArray(unsigned int growStep = 1)
        : size(0), capacity(0), growBy(growStep), defaultElement(), me(nullptr)
    {
    }

    ADArray(const ADArray& d)
        : size(d.size), capacity(d.size), growBy(d.growBy), defaultElement(d.defaultElement), me(nullptr)
    {
        if (size) {
            me = new (std::nothrow) TYPE[size];
            KYT_ASSERT_TEXT(me, "me");
            for (uint32_t i = 0; i < size; ++i) {
                KYT_ASSERT_TEXT(IsValidAddress(d.me, sizeof(d.me)), "IsValidAddress(d.me, sizeof(d.me))");
                me[i] = d.me[i];
            }
        }
    }

    ~ADArray()
    {
        // delete[] destroys the elements from the last to the first; the
        // default element goes after them, as a member.
        delete[] me;
    }

    ADArray& operator=(const ADArray& d)
    {
        if (this != &d) {
            ADArray copy(d);
            swap(copy);
        }
        return *this;
    }

    TYPE& ElementAt(int pos)
    {
        KYT_ASSERT_TEXT(pos >= 0, "pos >= 0");
        uint32_t i = static_cast<uint32_t>(pos);
        if (i + 1 > size)
            grow(i);
        KYT_ASSERT_TEXT(IsValidAddress(me + pos, sizeof(me + pos)), "IsValidAddress((me+pos), sizeof((me+pos)))");
        return me[pos];
    }
    TYPE& operator[](int pos) { return ElementAt(pos); }

    unsigned int GetSize() const { return size; }
    unsigned int GetGrowBy() const { return growBy; }
    void SetGrowBy(unsigned int step) { growBy = step; }
    const TYPE& GetDefault() const { return defaultElement; }
    void SetDefault(const TYPE& d) { defaultElement = d; }

private:
    void swap(ADArray& o)
    {
        uint32_t s = size; size = o.size; o.size = s;
        uint32_t c = capacity; capacity = o.capacity; o.capacity = c;
        uint32_t g = growBy; growBy = o.growBy; o.growBy = g;
        TYPE d = defaultElement; defaultElement = o.defaultElement; o.defaultElement = d;
        TYPE* m = me; me = o.me; o.me = m;
    }

    void grow(uint32_t i)
    {
        uint32_t newSize = size + growBy > i + 1 ? size + growBy : i + 1;
        if (newSize > capacity) {
            uint32_t wanted = capacity + capacity / 2;
            uint32_t newCapacity = wanted > newSize ? wanted : newSize;
            TYPE* n = new (std::nothrow) TYPE[newCapacity];
            KYT_ASSERT_TEXT(n, "n");
            if (me) {
                KYT_ASSERT_TEXT(IsValidAddress(me, sizeof(me)), "IsValidAddress(me, sizeof(me))");
                for (uint32_t k = 0; k < size; ++k)
                    n[k] = me[k];
                delete[] me;
            }
            me = n;
            capacity = newCapacity;
        }
        for (uint32_t k = size; k < newSize; ++k)
            me[k] = defaultElement;
        size = newSize;
    }

    uint32_t size;
    // Elements allocated; those from size on are not part of the array.
    uint32_t capacity;
    uint32_t growBy;
    TYPE defaultElement;
    TYPE* me;
};

#endif
