#include "PiTextBuffer.h"

#include "CheckedHeap.h"
#include "ErrorReporter.h"
#include "ResString.h"
#include "strings/PiStrings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

PiTextBuffer piTextBuffer = {nullptr, nullptr, nullptr, nullptr, 0, 0};

namespace {

void reservePartial(PiTextBuffer* buffer, size_t length)
{
    if (length + 1 <= buffer->partialCapacity)
        return;
    size_t capacity = buffer->partialCapacity ? buffer->partialCapacity : 256;
    while (capacity < length + 1)
        capacity *= 2;
    buffer->partial = static_cast<char*>(trrealloc(buffer->partial, capacity));
    buffer->partialCapacity = capacity;
}

void appendLine(PiTextBuffer* buffer, const char* text, size_t length)
{
    // One block for the record and its text: a large circuit writes
    // hundreds of thousands of lines, and every block costs a call and a
    // header.
    PiTextLine* line = static_cast<PiTextLine*>(CheckedAlloc(sizeof(PiTextLine) + length + 1));
    line->next = nullptr;
    line->text = reinterpret_cast<char*>(line + 1);
    memcpy(line->text, text, length);
    line->text[length] = 0;
    if (buffer->tail)
        buffer->tail->next = line;
    else
        buffer->head = line;
    buffer->tail = line;
}

void freeLines(PiTextBuffer* buffer)
{
    PiTextLine* line = buffer->head;
    while (line) {
        PiTextLine* next = line->next;
        free(line);
        line = next;
    }
    buffer->head = buffer->tail = buffer->cursor = nullptr;
}

// Moves the completed lines of the partial text to the list.
void moveCompletedLines(PiTextBuffer* buffer)
{
    size_t start = 0;
    for (size_t i = 0; i < buffer->partialLength; ++i) {
        if (buffer->partial[i] == '\n') {
            appendLine(buffer, buffer->partial + start, i + 1 - start);
            start = i + 1;
        }
    }
    if (start) {
        memmove(buffer->partial, buffer->partial + start, buffer->partialLength - start);
        buffer->partialLength -= start;
        buffer->partial[buffer->partialLength] = 0;
    }
}

} // namespace

void codeBufferVprintf(PiTextBuffer* buffer, const char* format, va_list args)
{
    // Written where the room left is enough, else measured and written
    // again: the text of one call has no length limit (a PARAMS line grows
    // with every SOCKET that shares its slot), but most calls are short, and
    // formatting each twice cost a large circuit a tenth of its compile.
    reservePartial(buffer, buffer->partialLength + 255);
    size_t room = buffer->partialCapacity - buffer->partialLength;
    va_list again;
    va_copy(again, args);
    int n = vsnprintf(buffer->partial + buffer->partialLength, room, format, args);
    if (n > 0 && static_cast<size_t>(n) >= room) {
        reservePartial(buffer, buffer->partialLength + static_cast<size_t>(n));
        vsnprintf(buffer->partial + buffer->partialLength, static_cast<size_t>(n) + 1, format, again);
    }
    va_end(again);
    if (n <= 0) {
        buffer->partial[buffer->partialLength] = 0;
        return;
    }
    buffer->partialLength += static_cast<size_t>(n);
    moveCompletedLines(buffer);
}

void codeBufferPrintf(PiTextBuffer* buffer, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    codeBufferVprintf(buffer, format, args);
    va_end(args);
}

void flushCodeBuffer(PiTextBuffer* buffer)
{
    if (buffer->partialLength)
        codeBufferPrintf(buffer, "\n");
}

int rewindCodeBuffer(PiTextBuffer* buffer, int forget)
{
    // Forgetting frees the old lines: dropping only the list head would
    // leave them allocated for the rest of the program.
    if (forget)
        freeLines(buffer);
    buffer->cursor = buffer->head;
    buffer->partialLength = 0;
    if (buffer->partial)
        buffer->partial[0] = 0;
    return 0;
}

void freeCodeBuffer(PiTextBuffer* buffer)
{
    freeLines(buffer);
    free(buffer->partial);
    buffer->partial = nullptr;
    buffer->partialLength = 0;
    buffer->partialCapacity = 0;
}

const char* nextCodeLine(PiTextBuffer* buffer)
{
    PiTextLine* line = buffer->cursor;
    if (!line)
        return nullptr;
    buffer->cursor = line->next;
    return line->text;
}

char* readCodeLine(char* dest, size_t size, PiTextBuffer* buffer)
{
    PiTextLine* line = buffer->cursor;
    if (!line)
        return nullptr;
    size_t length = strlen(line->text);
    if (length + 1 > size)
        reportError(ERR_FATAL, "%s", getResString(kStrInternalBufferTooSmall));
    memcpy(dest, line->text, length + 1);
    buffer->cursor = line->next;
    return dest;
}

int codeLineCount(const PiTextBuffer* buffer)
{
    int n = 0;
    for (const PiTextLine* line = buffer->head; line; line = line->next)
        ++n;
    return n;
}
