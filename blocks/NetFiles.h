// The files of a neural net: the net file read by NNINIT and written back
// after training, and the pattern file of the recorded samples.
//
// The write-back rewrites the file NNINIT read from the bytes it read and the
// token positions of its parse: only the CYCLES and LEARNPARAMETER values,
// the bias field of each neuron row and the rows of NEURONCONNECTIONS get new
// text; every other byte stays as it was, except a blank put between a new
// value and a word it would otherwise touch. A net read from a written-back
// file and written back unchanged gives the same bytes again. A file is
// replaced by writing a temporary file next to it and renaming that over it,
// so a failed write leaves the old file whole.
#ifndef KYT_BLOCKS_NETFILES_H
#define KYT_BLOCKS_NETFILES_H

#include "String.h"
#include "strings/NnStrings.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

class NeuralNet;

// Byte offsets [begin, end) of a token (or a run of tokens) in the text of
// a net file, and the line it starts in (from 1).
struct NetSpan {
    long begin;
    long end;
    int line;
};

// The bias field of a neuron row and the neuron (from 0) it belongs to.
struct NetBiasField {
    int neuron;
    NetSpan span;
};

// What the write-back needs of the file a net was read from.
struct NetFileImage {
    String path;                        // as given to NNINIT
    std::string bytes;                  // the whole file as read
    bool hasCycles = false;
    NetSpan cycles = {0, 0, 0};            // the value after "CYCLES:"
    bool hasRate = false;
    NetSpan rate = {0, 0, 0};              // the value after "LEARNPARAMETER:"
    std::vector<NetBiasField> biases;   // one per neuron row of a neuron of the net
    bool hasConnections = false;
    NetSpan connections = {0, 0, 0};       // from the first to the last connection row
};

// Texts of the saving messages.
const unsigned int kTextSaveFailed = kStrSaveFailed;

// A number as net and pattern files write it: the program's number text,
// with a positive exponent written without its "+" and leading zeros, which
// the net-file scanner would not read as part of the number. A value that is
// no finite number is written as the overflow limit with its sign. Returns
// the length; out holds at least kMaxNumberText + 1 bytes.
size_t netNumberText(double v, char* out);
String netNumber(double v);

// Most bytes of a net or pattern file. A net of several hundred units in a
// layer with all its weights and patterns is a few megabytes of text; a
// longer input (a device such as /dev/zero, a wrong file) is refused there
// instead of filling the memory.
const size_t kMaxNetFile = 64u << 20;

// Reads the whole stream; false on a read error, and with *tooLarge set
// (when given) for a stream longer than maxBytes.
bool netReadStream(FILE* stream, std::string* bytes, bool* tooLarge = nullptr, size_t maxBytes = kMaxNetFile);

// Replaces the file at path (made when missing) by bytes: a temporary file in
// the same directory, renamed over it. An existing file keeps its
// permissions. False, with the old file unchanged and no temporary file
// left, when anything fails.
bool netReplaceFile(const char* path, const std::string& bytes);

// The text of the net file with the net's current cycles, learning rate,
// biases and connections put into the image's bytes.
std::string netFileText(const NeuralNet* net, const NetFileImage& image);

// Writes the net back into the file it was read from. On failure the host
// gets 19200 with the file name (level 1) and false is returned.
bool NetFileIO(NeuralNet* net);

// Writes the pattern file of the net to path; directoryText goes into its
// "FILENAME:" line. Each pattern is evaluated for its output values. On
// failure the host gets 19200 with path and false is returned.
bool PatternFileWrite(NeuralNet* net, const char* path, const char* directoryText);

// The name of the pattern file of a net whose "FILENAME:" text is
// fileNameText: its name part (after the last separator) up to and including
// its first ".", then "pat"; a name part without "." is taken whole
// (xor.net -> xor.pat, xor -> xorpat).
String patternFileName(const char* fileNameText);

#endif
