#include "NNLibrary.h"

#include "AList.h"
#include "Assert.h"
#include "FileLayer.h"
#include "NetErrorPlot.h"
#include "NetFiles.h"
#include "NetHost.h"
#include "NetKernel.h"
#include "NetParsers.h"
#include "NumberFormat.h"
#include "ResString.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const NetErrorPlotFrame kNetErrorPlotFrame = {450, 0, 400, 400, 0xcf0000UL, "Error-Oszi"};

namespace {

const char kHandleKey[] = "NNHAND";
const char kOutputErrorHandleKey[] = "NNHANDLE";
const char kModeKey[] = "NNPARA";

// One recorded sample of a slot.
struct NetSample {
    int sequence;        // from 1
    int inputs;
    int outputs;
    double* inputValues;
    double* outputErrors;
    double* references;
};

void destroySample(NetSample*& s)
{
    if (!s)
        return;
    free(s->inputValues);
    free(s->outputErrors);
    free(s->references);
    free(s);
    s = nullptr;
}

typedef AList<NetSample*> SampleList;

// --- Library state, shared by all nets ----------------------------------------

NeuralNet* slots[kNNSlots];
NeuralNet* currentNet = nullptr;
SampleList* sampleLists[kNNSlots];
int sampleCounters[kNNSlots];
// The samples of the latest NNEXIT mode 1: inputs x samples, outputs x
// samples (errors), outputs x samples (references).
MAT* storedInputs = nullptr;
MAT* storedErrors = nullptr;
MAT* storedReferences = nullptr;
int trainingPending = 0;
int onlineSteps = 0;
NetErrorPlot* errorPlot = nullptr;
NetErrorPlotSystem* plotSystem = nullptr;

NetDescriptionParser descriptionParser;
NetAuxParser auxParser;

const HostServices& host()
{
    return netHostServices();
}

// Numbers are cut toward zero; what no int holds (NaN included) becomes a
// value that no handle, mode or count accepts.
int cut(double v)
{
    if (!(v > static_cast<double>(INT_MIN) - 1.0 && v < static_cast<double>(INT_MAX) + 1.0))
        return INT_MIN;
    return static_cast<int>(v);
}

void stop()
{
    host().requestErrorStop(0);
}

// The handle and mode errors: the message unless the host declines it, then
// the compile test and the stop.
void argumentError(const char* key, const char* text)
{
    if (host().alwaysFalse(key) == 0)
        host().moduleMessage(1, "%s", text);
    host().isCompiling(key);
    stop();
}

NeuralNet* checkedNet(double handle, const char* key, int* slotOut = nullptr)
{
    if (handle >= 0.0 && handle < kNNSlots) {
        int slot = static_cast<int>(handle);
        if (slots[slot]) {
            if (slotOut)
                *slotOut = slot;
            return slots[slot];
        }
    }
    argumentError(key, getResString(kTextNNBadHandle));
    return nullptr;
}

void badMode(double mode, int handle)
{
    char text[1025];
    snprintf(text, sizeof text, getResString(kTextNNBadParameter), formatDouble(mode).text(), handle);
    argumentError(kModeKey, text);
}

void freeSampleList(int slot)
{
    delete sampleLists[slot];
    sampleLists[slot] = nullptr;
}

void deleteNet(NeuralNet* net)
{
    if (!net)
        return;
    if (currentNet == net)
        currentNet = nullptr;
    delete net;
}

// The net of a slot is freed and the slot emptied.
void emptySlot(int slot)
{
    NeuralNet* net = slots[slot];
    slots[slot] = nullptr;
    deleteNet(net);
}

void plotPoint(double x, double v)
{
    if (errorPlot)
        errorPlot->addPoint(x, v);
}

void rescalePlot()
{
    if (errorPlot)
        errorPlot->rescale();
}

// "Error-Oszi": one red-named curve "Error" over "Cycles".
void openErrorPlot()
{
    if (!plotSystem)
        return;
    if (errorPlot) {
        errorPlot->release();
        errorPlot = nullptr;
    }
    errorPlot = plotSystem->createErrorPlot(kNetErrorPlotFrame);
    KYT_ASSERT_TEXT(errorPlot, "nnErrOszi");
    errorPlot->setSignalCount(1);
    errorPlot->setPlotTitle("Cycles");
    errorPlot->setSignal(0, "Error", 0xff0000UL);
    errorPlot->setDrawingMode(1);
    errorPlot->show(0);
    errorPlot->show(1);
}

void initialPoints(NeuralNet* net)
{
    double e = net->computeError();
    plotPoint(0.0, e);
    plotPoint(0.0, 0.0);
    rescalePlot();
    plotPoint(11.0, 0.0);
    plotPoint(0.0, 0.0);
    plotPoint(0.0, net->computeError());
}

void prepareForRecording(NeuralNet* net)
{
    net->patternCount = 1;
    net->makePatterns();
    net->makeWorkMatrices();
}

// Pattern p of the net from column column of the stored samples.
void copyStoredSample(NeuralNet* net, int p, int column)
{
    for (int i = 0; i < net->inputs; ++i)
        net->setInputPattern(i, p, netMatrixValue(storedInputs, i, column));
    for (int k = 0; k < net->outputs; ++k) {
        net->setOutputError(k, p, netMatrixValue(storedErrors, k, column));
        net->setReferenceOutput(k, p, netMatrixValue(storedReferences, k, column));
    }
}

// Reads the net file at path into net; 0.0 and the message on failure.
bool loadNet(NeuralNet* net, const char* path)
{
    FILE* f = openFile(path, "rb");
    if (!f) {
        host().moduleMessage(1, getResString(kTextNNCannotOpen), path);
        stop();
        return false;
    }
    net->image = new NetFileImage;
    net->image->path = path;
    bool tooLarge = false;
    bool read = netReadStream(f, &net->image->bytes, &tooLarge);
    int parsed = 1;
    if (read) {
        descriptionParser.setNet(net);
        parsed = descriptionParser.parseText(net->image->bytes.data(), net->image->bytes.size());
        descriptionParser.setNet(nullptr);
    }
    bool closed = fclose(f) == 0;
    if (!closed)
        host().moduleMessage(1, getResString(kTextNNCannotClose), path);
    if (!read) {
        if (tooLarge)
            host().moduleMessage(1, getResString(kTextNNFileTooLarge), path,
                                 static_cast<unsigned long>(kMaxNetFile >> 20));
        else
            host().moduleMessage(1, getResString(kTextNNCannotOpen), path);
        stop();
        return false;
    }
    if (parsed != 0) {
        host().moduleMessage(1, getResString(kTextNNParseError), descriptionParser.getMessage());
        stop();
        return false;
    }
    return true;
}

// NNEXIT mode 1: the slot's recorded samples become the net's patterns and
// the stored sample data.
void samplesToPatterns(NeuralNet* net, int slot)
{
    const int k = sampleCounters[slot];
    // 1.
    net->freePatterns();
    net->patternCount = k;
    net->makePatterns();
    // 2.
    netFreeMatrix(storedInputs);
    netFreeMatrix(storedErrors);
    netFreeMatrix(storedReferences);
    storedInputs = netMakeMatrix(net->inputs, k);
    storedErrors = netMakeMatrix(net->outputs, k);
    storedReferences = netMakeMatrix(net->outputs, k);
    // 3.
    SampleList* list = sampleLists[slot];
    while (list && !list->IsEmpty()) {
        SampleList::Position pos = list->GetHeadPosition();
        const NetSample* s = list->GetAt(pos);
        const int column = s->sequence - 1;
        for (int i = 0; i < s->inputs; ++i) {
            net->setInputPattern(i, column, s->inputValues[i]);
            netMatrixSet(storedInputs, i, column, s->inputValues[i]);
        }
        for (int o = 0; o < s->outputs; ++o) {
            net->setOutputError(o, column, s->outputErrors[o]);
            netMatrixSet(storedErrors, o, column, s->outputErrors[o]);
            net->setReferenceOutput(o, column, s->references[o]);
            netMatrixSet(storedReferences, o, column, s->references[o]);
        }
        list->RemoveAt(pos);
    }
    // 4.
    freeSampleList(slot);
}

// NNEXIT mode 2 (also the end of mode 1).
void exitWithPatternFile(NeuralNet* net, int slot)
{
    // 1.
    if (sampleCounters[slot] == 0) {
        host().moduleMessage(1, "%s", getResString(kTextNNNoSamples));
        stop();
        return;
    }
    // 2.
    copyStoredSample(net, 0, 0);
    // 3. The pattern file only of a net whose error did not overflow.
    if (net->computeError() < kNetOverflowLimit) {
        const char* dir = netCircuitsDirectory();
        String path = joinPath(dir, patternFileName(net->fileName).text());
        PatternFileWrite(net, path.text(), dir);
    }
    // 4.
    NetFileIO(net);
    emptySlot(slot);
}

NetSample* recordSample(NeuralNet* net, int slot)
{
    NetSample* s = static_cast<NetSample*>(calloc(1, sizeof(NetSample)));
    KYT_ASSERT_TEXT(s, "sample");
    s->sequence = ++sampleCounters[slot];
    s->inputs = net->inputs;
    s->outputs = net->outputs;
    s->inputValues = static_cast<double*>(calloc(static_cast<size_t>(net->inputs) + 1, sizeof(double)));
    s->outputErrors = static_cast<double*>(calloc(static_cast<size_t>(net->outputs) + 1, sizeof(double)));
    s->references = static_cast<double*>(calloc(static_cast<size_t>(net->outputs) + 1, sizeof(double)));
    KYT_ASSERT_TEXT(s->inputValues && s->outputErrors && s->references, "sample");
    for (int i = 0; i < net->inputs; ++i)
        s->inputValues[i] = net->getInputPattern(i, 0);
    for (int k = 0; k < net->outputs; ++k) {
        s->outputErrors[k] = net->getOutputError(k, 0);
        s->references[k] = netOutputValue(k, 0) + s->outputErrors[k];
    }
    return s;
}

// NNTRAINING mode 3: one on-line step with the errors as set.
void onlineStep(NeuralNet* net)
{
    net->cycles = 1;
    net->feedForward(0);
    net->backPropagate(0);
    const int c = onlineSteps++;
    double e = net->applyUpdate(netGradientAccumulator());
    plotPoint(c, e);
    if (errorPlot) {
        // A period of 0 (an x scale below 1) rescales at every step.
        double scale = errorPlot->xScale();
        int period = scale >= 1.0 && scale < 1e8 ? 10 * static_cast<int>(scale) : 0;
        if (period <= 0 || onlineSteps % period == 0)
            errorPlot->rescale();
    }
}

void clearState()
{
    for (int i = 0; i < kNNSlots; ++i) {
        emptySlot(i);
        freeSampleList(i);
    }
    deleteNet(currentNet);
    currentNet = nullptr;
}

ModuleEntry rows[] = {
    {"NN", MODULE_FUNCTION(nnLoadHook), MODULE_LOAD_HOOK, nullptr},
    {"NN", MODULE_FUNCTION(nnUnloadHook), MODULE_UNLOAD_HOOK, nullptr},
    {"NNINIT", MODULE_FUNCTION(NNINIT), MODULE_FUNCTION_ROW, "dsd", MODULE_SIDE_EFFECTS},
    {"NNEXIT", MODULE_FUNCTION(NNEXIT), MODULE_PROCEDURE_ROW, "dd", MODULE_SIDE_EFFECTS},
    {"NNSETINPUT", MODULE_FUNCTION(NNSETINPUT), MODULE_PROCEDURE_ROW, "ddd", MODULE_SIDE_EFFECTS},
    {"NNGETOUTPUT", MODULE_FUNCTION(NNGETOUTPUT), MODULE_FUNCTION_ROW, "ddd", MODULE_SIDE_EFFECTS},
    {"NNSETCYCLES", MODULE_FUNCTION(NNSETCYCLES), MODULE_PROCEDURE_ROW, "dd", MODULE_SIDE_EFFECTS},
    {"NNTRAINING", MODULE_FUNCTION(NNTRAINING), MODULE_PROCEDURE_ROW, "dd", MODULE_SIDE_EFFECTS},
    {"NNSETOUTPUTERR", MODULE_FUNCTION(NNSETOUTPUTERR), MODULE_PROCEDURE_ROW, "ddd", MODULE_SIDE_EFFECTS},
    {"NNGETERROR", MODULE_FUNCTION(NNGETERROR), MODULE_FUNCTION_ROW, "dd", MODULE_SIDE_EFFECTS},
    {nullptr, nullptr, 0, nullptr}};

ModuleDescriptor descriptor = {0, 0, rows, kHandleKey};

} // namespace

// --- Registration and hooks ------------------------------------------------------

void setNetErrorPlotSystem(NetErrorPlotSystem* system)
{
    plotSystem = system;
}

NetErrorPlotSystem* netErrorPlotSystem()
{
    return plotSystem;
}

ModuleDescriptor* NNModuleRegister(const HostServices* services)
{
    setNetHostServices(services);
    return &descriptor;
}

int nnLoadHook()
{
    // The floating-point precision the old program set here is the
    // platform's default on every system this one runs on.
    // Whatever an earlier program left behind without its unload goes now.
    clearState();
    if (errorPlot) {
        errorPlot->release();
        errorPlot = nullptr;
    }
    onlineSteps = 0;
    return 0;
}

void nnUnloadHook()
{
    // A slot owns its net: each goes once, with its sample list.
    clearState();
    if (errorPlot) {
        errorPlot->destroy();
        errorPlot = nullptr;
    }
}

// --- Functions and procedures -------------------------------------------------

double NNINIT(double name, double mode)
{
    // 1.
    NeuralNet* net = new NeuralNet;
    currentNet = net;
    // 2.
    const char* text = host().stringConstant(cut(name));
    if (!text) {
        deleteNet(net);
        return 0.0;
    }
    String path(text);
    // 3.-5.
    if (!loadNet(net, path.text())) {
        deleteNet(net);
        return 0.0;
    }
    // 6.
    int slot = 0;
    while (slot < kNNSlots && slots[slot])
        ++slot;
    if (slot == kNNSlots) {
        // No slot is touched: the new net goes again.
        host().moduleMessage(1, getResString(kTextNNTooManyNets), "10");
        stop();
        deleteNet(net);
        return 0.0;
    }
    slots[slot] = net;
    freeSampleList(slot);
    sampleLists[slot] = new SampleList(destroySample);
    // 7.
    int& k = sampleCounters[slot];
    switch (cut(mode)) {
    case 1:
        k = 0;
        prepareForRecording(net);
        break;
    case 0:
        prepareForRecording(net);
        break;
    case 2:
        if (k == 0) {
            prepareForRecording(net);
            break;
        }
        trainingPending = 1;
        net->patternCount = k;
        net->makePatterns();
        for (int p = 0; p < k; ++p)
            copyStoredSample(net, p, p);
        net->makeWorkMatrices();
        openErrorPlot();
        initialPoints(net);
        break;
    case 3:
        openErrorPlot();
        prepareForRecording(net);
        netClearGradientAccumulator(net->n);
        initialPoints(net);
        break;
    default:
        badMode(mode, slot);
        break;
    }
    // 8.
    return slot;
}

void NNEXIT(double handle, double mode)
{
    int slot = 0;
    NeuralNet* net = checkedNet(handle, kHandleKey, &slot);
    if (!net)
        return;
    switch (cut(mode)) {
    case 3:
        NetFileIO(net);
        emptySlot(slot);
        break;
    case 0:
        emptySlot(slot);
        break;
    case 1:
        samplesToPatterns(net, slot);
        exitWithPatternFile(net, slot);
        break;
    case 2:
        exitWithPatternFile(net, slot);
        break;
    default:
        badMode(mode, slot);
        break;
    }
}

void NNSETINPUT(double handle, double input, double value)
{
    NeuralNet* net = checkedNet(handle, kHandleKey);
    if (net)
        net->setInputPattern(cut(input), 0, value);
}

double NNGETOUTPUT(double handle, double output)
{
    if (!checkedNet(handle, kHandleKey))
        return 0.0;
    return netOutputValue(cut(output), 0);
}

void NNSETCYCLES(double handle, double cycles)
{
    NeuralNet* net = checkedNet(handle, kHandleKey);
    if (!net)
        return;
    net->cycles = cut(cycles);
    if (trainingPending == 1) {
        NetTrain(net, errorPlot);
        rescalePlot();
        trainingPending = 0;
    }
}

void NNTRAINING(double handle, double mode)
{
    int slot = 0;
    NeuralNet* net = checkedNet(handle, kHandleKey, &slot);
    if (!net)
        return;
    switch (cut(mode)) {
    case 0:
    case 2:
        net->feedForward(0);
        break;
    case 1: {
        NetSample* s = recordSample(net, slot);
        net->feedForward(0);
        if (!sampleLists[slot])
            sampleLists[slot] = new SampleList(destroySample);
        sampleLists[slot]->AddTail(s);
        break;
    }
    case 3:
        onlineStep(net);
        break;
    default:
        badMode(mode, slot);
        break;
    }
}

void NNSETOUTPUTERR(double handle, double output, double value)
{
    NeuralNet* net = checkedNet(handle, kOutputErrorHandleKey);
    if (net)
        net->setOutputError(cut(output), 0, value);
}

double NNGETERROR(double handle)
{
    NeuralNet* net = checkedNet(handle, kHandleKey);
    return net ? net->error : 0.0;
}

// --- Parsers and test access -----------------------------------------------------

NetDescriptionParser& nnDescriptionParser()
{
    return descriptionParser;
}

NetAuxParser& nnAuxParser()
{
    return auxParser;
}

NeuralNet* nnSlotNet(int slot)
{
    return slot >= 0 && slot < kNNSlots ? slots[slot] : nullptr;
}

int nnSampleCounter(int slot)
{
    return slot >= 0 && slot < kNNSlots ? sampleCounters[slot] : 0;
}

int nnSampleListLength(int slot)
{
    if (slot < 0 || slot >= kNNSlots || !sampleLists[slot])
        return 0;
    int count = 0;
    for (SampleList::Position p = sampleLists[slot]->GetHeadPosition(); p; p = sampleLists[slot]->GetNext(p))
        ++count;
    return count;
}

NetErrorPlot* nnErrorPlot()
{
    return errorPlot;
}

int nnTrainingPending()
{
    return trainingPending;
}
