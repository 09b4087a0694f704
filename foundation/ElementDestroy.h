// The element-destroy functions that lists call on a payload before freeing
// its node. Which one a list gets says whether the list owns its payloads.
#ifndef KYT_FOUNDATION_ELEMENTDESTROY_H
#define KYT_FOUNDATION_ELEMENTDESTROY_H

#include "String.h"

#include <cstdlib>

struct StringPair {
    String first;
    String second;
};

// Polymorphic payloads, deleted through their virtual destructor.
template <class T>
void deleteObjectElement(T*& p)
{
    delete p;
    p = nullptr;
}

template <class T>
void deleteWindowElement(T*& p)
{
    deleteObjectElement(p);
}

// Icon-drawing objects.
template <class T>
void deleteIconElement(T*& p)
{
    delete p;
    p = nullptr;
}

inline void deleteStringElement(String*& p)
{
    delete p;
    p = nullptr;
}

// Members go in reverse order: the second String, then the first.
inline void deleteStringPairElement(StringPair*& p)
{
    delete p;
    p = nullptr;
}

// A record allocated with malloc whose member buffer is a malloc'ed block.
template <class T>
void deleteBufferedElement(T*& p)
{
    if (p) {
        free(p->buffer);
        free(p);
        p = nullptr;
    }
}

// Plain heap blocks allocated with malloc.
template <class T>
void freeElement(T*& p)
{
    free(p);
    p = nullptr;
}

template <class T>
void freeElementField(T*& p)
{
    freeElement(p);
}

// The list does not own its payloads.
template <class T>
void ignoreElement(T&)
{
}

#endif
