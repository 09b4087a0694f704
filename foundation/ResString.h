// Cached lookup of string-table texts. A text is loaded once; the pointer
// handed out stays valid until freeResStringCache.
#ifndef KYT_FOUNDATION_RESSTRING_H
#define KYT_FOUNDATION_RESSTRING_H

// Longest text of the string table.
const unsigned int kMaxResString = 200;

const char* getResString(unsigned int id);
void freeResStringCache();

// The table compiled into the program (generated from the string source):
// the text of id, or null. The loader of the native programs and tests.
const char* lookupCompiledString(unsigned int id);

// The rows of that table in ascending id order, for comparing it with the
// program's resource table: the number of rows, and the text and id of row
// index (null when index is out of range).
unsigned int compiledStringCount();
const char* compiledStringAt(unsigned int index, unsigned int* id);

#endif
