// The NN run-time library: a model-language block loads a net from its net
// file, feeds it inputs and output errors, records samples, trains it on
// them (in one run after the simulation, or on-line step by step) and writes
// the trained net and its patterns back.
//
// The registry's list of libraries does not hold NN, so no model-language
// program reaches it; NNModuleRegister hands its descriptor to whoever
// attaches it (the tests do).
//
// Handles travel as doubles: a handle is valid when 0 <= h < 10 and its slot
// holds a net, and is cut toward zero like every other number argument. An
// invalid handle or mode is reported through the host's moduleMessage at
// level 1 and stops the run; the call then has no effect.
#ifndef KYT_BLOCKS_NNLIBRARY_H
#define KYT_BLOCKS_NNLIBRARY_H

#include "ModuleDescriptor.h"
#include "strings/MessagesStrings.h"
#include "strings/NnStrings.h"

class NeuralNet;
class NetErrorPlot;
class NetDescriptionParser;
class NetAuxParser;

// Texts of the library.
const unsigned int kTextNNBadHandle = kStrNNBadBlockId;
const unsigned int kTextNNBadParameter = kStrNNBadParameter;
const unsigned int kTextNNNoSamples = kStrNNNoTestPatterns;
const unsigned int kTextNNCannotClose = kStrNNCannotClose;
const unsigned int kTextNNParseError = kStrNNParserError;
const unsigned int kTextNNTooManyNets = kStrNNTooManyUnits;
const unsigned int kTextNNCannotOpen = kStrCannotOpen;
const unsigned int kTextNNFileTooLarge = kStrNNFileTooLarge;

// Number of net slots.
const int kNNSlots = 10;

// Keeps the host services the library needs and returns its descriptor
// {0, 0, rows, "NNHAND"}.
ModuleDescriptor* NNModuleRegister(const HostServices* services);

// The library's functions, procedures and hooks, as the interpreter calls them.
double NNINIT(double name, double mode);
void NNEXIT(double handle, double mode);
void NNSETINPUT(double handle, double input, double value);
double NNGETOUTPUT(double handle, double output);
void NNSETCYCLES(double handle, double cycles);
void NNTRAINING(double handle, double mode);
void NNSETOUTPUTERR(double handle, double output, double value);
double NNGETERROR(double handle);
int nnLoadHook();
void nnUnloadHook();

// The program's two net-file parsers, made once for the whole run.
NetDescriptionParser& nnDescriptionParser();
NetAuxParser& nnAuxParser();

// Read access for tests: the net in a slot (null when empty or out of
// range), the slot's sample counter and the length of its sample list, the
// error plot in use and the training-pending flag.
NeuralNet* nnSlotNet(int slot);
int nnSampleCounter(int slot);
int nnSampleListLength(int slot);
NetErrorPlot* nnErrorPlot();
int nnTrainingPending();

#endif
