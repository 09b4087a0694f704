#include "BoundedText.h"

#include <cstdio>
#include <cstring>

BoundedText::BoundedText(char* buffer, size_t size, bool keepText) : buf(buffer), cap(size), len(0), cut(false)
{
    if (!cap)
        return;
    if (keepText) {
        len = strnlen(buf, cap - 1);
        buf[len] = 0;
    } else {
        buf[0] = 0;
    }
}

void BoundedText::clear()
{
    len = 0;
    cut = false;
    if (cap)
        buf[0] = 0;
}

void BoundedText::append(const char* s)
{
    if (!s || cap == 0)
        return;
    size_t room = cap - 1 - len;
    size_t n = strlen(s);
    if (n > room) {
        n = room;
        cut = true;
    }
    memcpy(buf + len, s, n);
    len += n;
    buf[len] = 0;
}

void BoundedText::appendf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vappendf(format, args);
    va_end(args);
}

void BoundedText::vappendf(const char* format, va_list args)
{
    if (!format || cap == 0)
        return;
    size_t room = cap - len;
    int r = vsnprintf(buf + len, room, format, args);
    if (r < 0) {
        buf[len] = 0;
        return;
    }
    if (static_cast<size_t>(r) >= room) {
        cut = true;
        len = cap - 1;
    } else {
        len += static_cast<size_t>(r);
    }
}

void formatBounded(char* dst, size_t dstSize, const char* format, ...)
{
    if (!dstSize)
        return;
    va_list args;
    va_start(args, format);
    int r = vsnprintf(dst, dstSize, format ? format : "", args);
    va_end(args);
    if (r < 0)
        dst[0] = 0;
}
