#include "String.h"

#include "CheckedHeap.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

// Buffers are allocated with CheckedAlloc: an exhausted heap is a fatal report,
// never a null buffer.
void String::allocate(unsigned int cap)
{
    buffer = static_cast<char*>(CheckedAlloc(cap));
    capacity = cap;
}

void String::countLength() const
{
    if (length == kUncounted)
        length = static_cast<uint32_t>(strlen(buffer));
}

unsigned int String::getLength() const
{
    countLength();
    return length;
}

String::String()
{
    allocate(16);
    buffer[0] = 0;
    length = 0;
}

String::String(unsigned int n)
{
    allocate(roundUpTo8(n + 1));
    buffer[0] = 0;
    length = 0;
}

String::String(char c, unsigned int count, unsigned int extra)
{
    allocate(roundUpTo8(count + extra + 1));
    memset(buffer, c, count);
    buffer[count] = 0;
    length = count;
}

String::String(const char* s, unsigned int extra)
{
    unsigned int n = s ? static_cast<unsigned int>(strlen(s)) : 0;
    allocate(roundUpTo8(n + 1 + extra));
    if (n)
        memcpy(buffer, s, n);
    buffer[n] = 0;
    length = n;
}

String::String(const String& s, unsigned int extra)
{
    unsigned int n = s.getLength();
    allocate(roundUpTo8(n + extra + 1));
    memcpy(buffer, s.buffer, n);
    buffer[n] = 0;
    length = n;
}

String::String(const ResourceId& id, unsigned int maxLen)
{
    char* tmp = static_cast<char*>(CheckedAlloc(maxLen + 1));
    tmp[0] = 0;
    ResourceStringLoader loader = getResourceStringLoader();
    int n = loader ? loader(id, tmp, static_cast<int>(maxLen)) : 0;
    if (n > 0) {
        tmp[n] = 0;
        allocate(roundUpTo8(static_cast<unsigned int>(n) + 9));
        memcpy(buffer, tmp, static_cast<size_t>(n) + 1);
        length = static_cast<uint32_t>(n);
    } else {
        allocate(16);
        buffer[0] = 0;
        length = 0;
    }
    free(tmp);
}

String::~String()
{
    free(buffer);
}

String& String::operator=(const String& s)
{
    if (buffer == s.buffer)
        return *this;
    unsigned int n = s.getLength();
    if (n >= capacity) {
        free(buffer);
        allocate(s.capacity);
    }
    memcpy(buffer, s.buffer, n);
    buffer[n] = 0;
    length = n;
    return *this;
}

String& String::operator=(const char* s)
{
    if (!s) {
        buffer[0] = 0;
        length = 0;
        return *this;
    }
    unsigned int n = static_cast<unsigned int>(strlen(s));
    if (capacity <= n) {
        // The text may live inside our own buffer: copy before freeing.
        char* old = buffer;
        allocate(roundUpTo8(n + 9));
        memcpy(buffer, s, n);
        free(old);
    } else {
        memmove(buffer, s, n);
    }
    buffer[n] = 0;
    length = n;
    return *this;
}

int String::operator==(const String& s) const
{
    if (getLength() != s.getLength())
        return 0;
    return strcmp(buffer, s.buffer) == 0 ? 1 : 0;
}

unsigned int String::setCapacity(unsigned int n)
{
    unsigned int len = getLength();
    unsigned int m = n > len ? n : len;
    if (capacity != m + 1) {
        char* old = buffer;
        allocate(roundUpTo8(m + 1));
        memcpy(buffer, old, len + 1);
        free(old);
    }
    return capacity - 1;
}

// Room for need characters and the NUL when appending: at least half as much
// again as there is, so that a text built piece by piece costs linear time.
void String::growForAppend(unsigned int need)
{
    unsigned int wanted = capacity + capacity / 2;
    setCapacity(need + 1 > wanted ? need : wanted - 1);
}

String& String::operator+=(const char* s)
{
    if (!s)
        return *this;
    unsigned int n = static_cast<unsigned int>(strlen(s));
    unsigned int len = getLength();
    if (len + n >= capacity) {
        // s may point into our own buffer; keep it alive across the reallocation.
        String keep(s);
        growForAppend(len + n);
        memcpy(buffer + len, keep.buffer, n + 1);
    } else {
        memmove(buffer + len, s, n);
        buffer[len + n] = 0;
    }
    length = len + n;
    return *this;
}

String& String::operator+=(char c)
{
    unsigned int len = getLength();
    if (capacity <= len + 1)
        growForAppend(len + 1);
    buffer[len] = c;
    buffer[len + 1] = 0;
    length = len + 1;
    return *this;
}

String& String::operator+=(const String& s)
{
    if (&s == this) {
        String copy(s);
        return *this += copy;
    }
    unsigned int n = s.getLength();
    unsigned int len = getLength();
    if (len + n >= capacity)
        growForAppend(len + n);
    memcpy(buffer + len, s.buffer, n + 1);
    length = len + n;
    return *this;
}

String String::concat(const char* a, unsigned int la, const char* b, unsigned int lb)
{
    // Equal to copying a temporary of la + lb characters with extra 8.
    String r(la + lb + 8);
    memcpy(r.buffer, a, la);
    memcpy(r.buffer + la, b, lb);
    r.buffer[la + lb] = 0;
    r.length = la + lb;
    return r;
}

String operator+(const String& a, const String& b)
{
    return String::concat(a.buffer, a.getLength(), b.buffer, b.getLength());
}

String operator+(const String& a, const char* b)
{
    return String::concat(a.buffer, a.getLength(), b, static_cast<unsigned int>(strlen(b)));
}

String operator+(const char* a, const String& b)
{
    return String::concat(a, static_cast<unsigned int>(strlen(a)), b.buffer, b.getLength());
}

void String::toLower()
{
    unsigned int len = getLength();
    for (unsigned int i = 0; i < len; ++i) {
        // Umlauts of Windows-1252 lie above 0x7F: tolower wants them unsigned.
        unsigned char c = static_cast<unsigned char>(buffer[i]);
        buffer[i] = static_cast<char>(tolower(c));
    }
}
