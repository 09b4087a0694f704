// What the FILE and TABLE libraries share: how a file name of the model
// becomes a path, how the files are opened, and how handles, columns and
// string indexes that arrive as doubles become whole numbers.
#ifndef KYT_ENGINE_RUNTIMEFILES_H
#define KYT_ENGINE_RUNTIMEFILES_H

#include "ModuleDescriptor.h"
#include "String.h"

#include <cstdio>

// Longest path of a data or table file; a longer one cannot be opened.
const int kMaxRunTimePath = 255;

// The path of a file the model names. A name that begins with "@:\" lies in
// the directory of the current circuit: that directory joined with the name
// after the prefix (which alone, relative, when the circuit has no
// directory). false when the path is longer than kMaxRunTimePath.
bool runTimeFilePath(const char* name, const char* circuitDirectory, String* path);

// Opens the files of FOPEN and TABLEOPEN. Tests put streams of their own
// here to count them or to make them fail; null restores openFile.
typedef FILE* (*RunTimeFileOpener)(const char* path, const char* mode);
void setRunTimeFileOpener(RunTimeFileOpener opener);
FILE* openRunTimeFile(const char* path, const char* mode);

// Opens for reading the file that the string constant name of the model
// names, as FOPEN and TABLEOPEN do. false when the host knows no such string
// (it has said so itself); otherwise true, with *stream null when the file
// cannot be opened and *path the path for the message.
bool openNamedRunTimeFile(const HostServices& host, double name, String* path, FILE** stream);

// The truncated whole number of v when it lies in [0, count). NaN, the
// infinities and huge values are checked here as doubles: converted first
// they would turn into some valid number.
bool runTimeIndex(double v, long long count, int* index);

// The whole number that a message shows for v: its truncation, held to the
// int range; -1 for NaN.
int runTimeMessageNumber(double v);

#endif
