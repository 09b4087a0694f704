// The PI text buffer: the lines of PI code that the compiler's back end
// prints and the loader reads back right after the compile, held in memory.
#ifndef KYT_ENGINE_PITEXTBUFFER_H
#define KYT_ENGINE_PITEXTBUFFER_H

#include <cstdarg>
#include <cstddef>

struct PiTextLine {
    PiTextLine* next;
    char* text;          // own copy, with its "\n", in the line's own block
};

struct PiTextBuffer {
    PiTextLine* head;
    PiTextLine* tail;
    PiTextLine* cursor;  // the line read next
    char* partial;       // text not yet ended by "\n"
    size_t partialLength;
    size_t partialCapacity;
};

// The one buffer of the program.
extern PiTextBuffer piTextBuffer;

// Formats into the partial line and moves every completed line (up to and
// including its "\n") to the end of the list. A line may be of any length.
void codeBufferPrintf(PiTextBuffer* buffer, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
void codeBufferVprintf(PiTextBuffer* buffer, const char* format, va_list args);
// Ends a pending partial line with "\n".
void flushCodeBuffer(PiTextBuffer* buffer);
// The read cursor goes to the first line and the partial line is emptied;
// with forget set the lines are freed first (a new, empty text). Returns 0.
int rewindCodeBuffer(PiTextBuffer* buffer, int forget);
// Frees every line and the partial line.
void freeCodeBuffer(PiTextBuffer* buffer);
// Copies the line at the cursor (with its "\n") into dest and advances;
// null at the end. A line that does not fit into size bytes is fatal 20222.
char* readCodeLine(char* dest, size_t size, PiTextBuffer* buffer);
// The line at the cursor, in place, and advances; null at the end. The text
// stays valid until the buffer is rewound with forget or freed.
const char* nextCodeLine(PiTextBuffer* buffer);
// Number of complete lines.
int codeLineCount(const PiTextBuffer* buffer);

#endif
