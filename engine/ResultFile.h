// The outputs of a run: the result file named in the settings, the record
// buffer with one value per output, the plot window's signals and points,
// and the state snapshot simul.dat. Outputs are the symbol rows with the
// SAVE flag, in row order.
#ifndef KYT_ENGINE_RESULTFILE_H
#define KYT_ENGINE_RESULTFILE_H

#include "PlotServices.h"
#include "SimParams.h"

#include <cstdio>

// The snapshot file, in the current directory.
extern const char* const kSnapshotFileName;

// The number of outputs of the loaded program.
int countOutputs();

// Opens FNAME for appending ("ab" when rmode is not 0, else "at"), unless
// openFile is false (MODE 2: no file, only the record buffer). A character
// device is refused with rmode not 0 (closed again) and made unbuffered
// otherwise; the null device is kept open but never written, and for a name
// of the device NUL (namesNullDevice) no file is opened at all. Counts the
// outputs and allocates the record buffer. 1 when the file does not open, 2
// when it is refused (the binary form on a device), else 0. An output count or record buffer
// left from an earlier run is fatal.
int ResultFileOpen(const SimParams& settings, int rmode, bool openResultFile = true);

// Prepares the plot for the outputs (signals, colours, title, paging mode,
// date, circuitName as status text), then writes the header line
// "SIMUL 1.0:REAL*8:ASCII:VAR:" (or BINARY) with every output's name and ':'
// into the result file when one is open.
void ResultFileHeader(const SimParams& settings, PlotServices* plot, const char* circuitName);

// Copies the current value of every output into the record buffer:
// buffer for time and states, discreteBuffer for discrete states.
void ResultFileFill(int buffer, int discreteBuffer);

// One record from the buffer: the point (x = output XVAR, the other outputs
// except output 0 when XVAR is not 0) to the plot, and the values to the
// result file (text: blank-separated numbers and a line end; binary: 8-byte
// little-endian doubles).
void ResultFileRecord(const SimParams& settings, PlotServices* plot);

// Closes the result file (never the standard streams, which are flushed) and
// frees the record buffer and the output count.
void ResultFileClose();

// A write of the header or of a record, or the close, failed since the result
// file was last opened (kept after closing); the file's name as opened.
bool resultFileWriteFailed();
const char* resultFileName();

bool resultFileIsOpen();
bool resultFileIsDevice();
// Bytes written into the result file since it was last opened (kept after
// closing). The null device gets none: its records are not even formatted.
long resultFileBytesWritten();
int recordBufferSize();
const double* recordBuffer();

// Writes simul.dat (binary, beside it and renamed, so that a failed write
// keeps the file as it was): the settings, the step size of buffer 0 and the
// current one, per symbol row its flags and values, the discrete flags and
// the pending events. 1 when it could not be written whole, else 0.
int SimulationSnapshot(const SimParams& settings, double stepSize0, double currentStepSize,
                       int buffer, int discreteBuffer);

// Size of simul.dat for the loaded program with that many pending events.
long snapshotSize(int events);

// Reads simul.dat back into the loaded program: time and states into buffer
// 0 and buffer, discrete states into buffer 0 and discreteBuffer, and the
// discrete flags; parameters and events are skipped. -1 when there is no
// file, 1 when it does not fit the program (size, a row's flags), 0 when
// restored.
int SimulationRestore(int buffer, int discreteBuffer);

// The colour of curve k: red, green, dark blue, blue, magenta, olive and
// light green, in a cycle.
uint32_t curveColour(int k);

#endif
