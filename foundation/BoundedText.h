// Text built piece by piece in a buffer of fixed size. Every append is cut at
// the end of the buffer: messages are built from user text (tokens, names,
// file names) of any length, and nothing may be written past the buffer.
#ifndef KYT_FOUNDATION_BOUNDEDTEXT_H
#define KYT_FOUNDATION_BOUNDEDTEXT_H

#include <cstdarg>
#include <cstddef>

class BoundedText {
public:
    // buffer holds size bytes, the NUL included. The text starts empty, or
    // with keepText goes on behind what the buffer already holds.
    BoundedText(char* buffer, size_t size, bool keepText = false);

    void clear();
    void append(const char* s);
    void appendf(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void vappendf(const char* format, va_list args);

    const char* text() const { return buf; }
    size_t length() const { return len; }
    // True when an append did not fit whole.
    bool wasCut() const { return cut; }

private:
    char* buf;
    size_t cap;
    size_t len;
    bool cut;
};

// Formats into dst (dstSize bytes) like snprintf and always terminates.
void formatBounded(char* dst, size_t dstSize, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

#endif
