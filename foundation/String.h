// The one text type of the system: a NUL-terminated byte string (Windows-1252)
// with a cached length and a capacity that is always a multiple of 8.
#ifndef KYT_FOUNDATION_STRING_H
#define KYT_FOUNDATION_STRING_H

#include "ResourceId.h"

#include <cstdint>

class String {
public:
    // Length value that marks "not counted yet": code that fills the buffer
    // directly sets it, and the next operation that needs the length counts.
    static const uint32_t kUncounted = 65535;

    String();
    explicit String(unsigned int n);
    String(char c, unsigned int count, unsigned int extra = 0);
    String(const char* s, unsigned int extra = 0);
    String(const String& s, unsigned int extra = 0);
    String(const ResourceId& id, unsigned int maxLen);
    ~String();

    String& operator=(const String& s);
    String& operator=(const char* s);
    int operator==(const String& s) const;
    int operator!=(const String& s) const { return !(*this == s); }

    unsigned int setCapacity(unsigned int n);

    String& operator+=(const char* s);
    String& operator+=(char c);
    String& operator+=(const String& s);

    friend String operator+(const String& a, const String& b);
    friend String operator+(const String& a, const char* b);
    friend String operator+(const char* a, const String& b);

    void toLower();

    // Read access for printing and platform calls.
    const char* text() const { return buffer; }
    // Length, counted first when marked as not counted.
    unsigned int getLength() const;
    unsigned int getCapacity() const { return capacity; }
    // Direct filling: reserve with setCapacity, write text and NUL, then markUncounted.
    char* getBuffer() { return buffer; }
    void markUncounted() { length = kUncounted; }
    bool isLengthCounted() const { return length != kUncounted; }

    static unsigned int roundUpTo8(unsigned int n) { return (n + 7u) & ~7u; }

private:
    void countLength() const;
    void allocate(unsigned int cap);
    void growForAppend(unsigned int need);
    static String concat(const char* a, unsigned int la, const char* b, unsigned int lb);

    char* buffer;
    mutable uint32_t length;
    uint32_t capacity;
};

#endif
