// Compiler messages by string-table id, through the message log. Each
// message is counted, so that a parse that gave one fails.
#ifndef KYT_COMPILER_COMPILERMESSAGES_H
#define KYT_COMPILER_COMPILERMESSAGES_H

// At the scanner's current position.
void compileError(unsigned int id, ...);
// At a line the caller knows (a node's line).
void compileErrorAtLine(int line, unsigned int id, ...);
// A fatal internal error: the program ends.
[[noreturn]] void compileInternalError(unsigned int id, ...);

int compileErrorCount();
void resetCompileErrorCount();

#endif
