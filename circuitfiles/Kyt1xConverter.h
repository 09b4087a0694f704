// Circuits of version 1.x: one binary record of 24 components of 145 bytes.
// Before a circuit is read, the reader asks the converter; a 1.x file is
// written as circuit text (kyt1x.tmp in TEMPDIR) whose blocks come from the
// library "KYT1.x_KompLib.", and that text is read instead.
#ifndef KYT_CIRCUITFILES_KYT1XCONVERTER_H
#define KYT_CIRCUITFILES_KYT1XCONVERTER_H

#include "CircuitReader.h"

#include <cstdint>
#include <cstdio>

const long kKyt1xFileSize = 3480;
const int kKyt1xRecords = 24;
const int kKyt1xRecordSize = 145;

enum Kyt1xResult {
    KYT1X_FAILED = -1,   // a 1.x file that could not be converted (reported)
    KYT1X_NOT_OLD = 0,   // read it as circuit text
    KYT1X_CONVERTED = 1
};

// The 48-bit reals of the old files: exponent byte with bias 129 (0: the
// value 0), a 39-bit fraction low byte first, the sign in the top bit.
double decodeReal48(const uint8_t bytes[6]);
// The nearest real48 of v (rounded to 39 fraction bits); 0 for values
// beyond its range.
void encodeReal48(double v, uint8_t bytes[6]);

// Converts the file name into outPath. Every record is checked before
// anything is written; on a failure no file is left at outPath.
Kyt1xResult writeConvertedCircuit(const char* name, const char* outPath);

// The text of the CIRCUIT line, the control block and every component's
// USE statement, from the file's bytes.
bool writeConvertedComponent(FILE* out, const uint8_t* records, const char* baseName);

class Kyt1xConverter : public OldCircuitConverter {
public:
    int convert(const char* name, const char* target) override { return writeConvertedCircuit(name, target); }
};

#endif
