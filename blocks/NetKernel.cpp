#include "NetKernel.h"

#include "MeschachGuard.h"
#include "NetErrorPlot.h"
#include "NetFiles.h"
#include "NetHost.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

const char kNetTypeFeedforward[] = "Feedforward";
const char kNetMethodBackprop[] = "Backpropagation";
const char kNetModeBatch[] = "Batch";
const char kNetModeStandard[] = "Standard";
const char kNetModeError[] = "ERROR";

namespace {

// Shared by all nets.
MAT* sharedOutputs = nullptr;
MAT* gradientAccumulator = nullptr;

bool sameText(const char* a, const char* b)
{
    return a && b && strcmp(a, b) == 0;
}

bool hasSize(const MAT* m, int rows, int cols)
{
    return m && static_cast<int>(m->m) == rows && static_cast<int>(m->n) == cols;
}

// Inside a work: m made anew, zero, unless it already has the size. Below a
// dimension of 1 it goes. m is cleared before the allocation, so a failing
// one leaves it missing rather than freed.
void sizeMatrix(MAT*& m, int rows, int cols)
{
    if (hasSize(m, rows, cols))
        return;
    if (m) {
        MAT* old = m;
        m = nullptr;
        m_free(old);
    }
    if (rows >= 1 && cols >= 1)
        m = m_get(rows, cols);
}

// Frees a work's temporary before the work ends, so that a loop over many
// patterns does not pile them up in the guard.
void release(MeschachGuard& g, MAT* m)
{
    m_free(g.keep(m));
}

void release(MeschachGuard& g, VEC* v)
{
    v_free(g.keep(v));
}

// --- Work functions: plain C style, no object with a destructor ----------

void feedForwardPattern(MeschachGuard& g, NeuralNet* net, int p)
{
    const int n = net->n;
    if (n < 1 || !net->neurons)
        return;
    // 1. M: biases in row 0, the weights below and right of it; T = M'.
    MAT* M = g.getMat(n + 1, n + 1);
    for (int i = 0; i < n; ++i)
        M->me[0][i + 1] = net->neurons[i].bias;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            M->me[j + 1][i + 1] = netMatrixValue(net->weights, j, i);
    MAT* T = g.own(m_transp(M, MNULL));
    // 2. x: the constant 1, then the pattern's inputs.
    VEC* x = g.getVec(n + 1);
    VEC* y = g.getVec(n + 1);
    x->ve[0] = 1.0;
    for (int i = 0; i < net->inputs && i < n; ++i)
        x->ve[i + 1] = net->getInputPattern(i, p);
    // 3. One synchronous pass per layer after the inputs.
    const int passes = (net->hiddenLayers > 0 ? net->hiddenLayers : 0) + 1;
    for (int pass = 0; pass < passes; ++pass) {
        mv_mlt(T, x, y);
        for (int i = net->inputs; i < n; ++i) {
            NeuronRecord& r = net->neurons[i];
            netNeuronFunction(r.activationFunction, r.activationGain, y->ve[i + 1], &r.activationValue,
                              &r.activationDerivative);
            netNeuronFunction(r.outputFunction, r.outputGain, r.activationValue, &r.outputValue,
                              &r.outputDerivative);
            y->ve[i + 1] = r.outputValue;
        }
        if (pass + 1 < passes)
            for (int i = net->inputs; i < n; ++i)
                x->ve[i + 1] = y->ve[i + 1];
    }
    // 4. The output neurons into column p, row = output number.
    sizeMatrix(sharedOutputs, n, net->patternCount);
    for (int k = 0; k < net->outputs; ++k)
        netMatrixSet(sharedOutputs, k, p, y->ve[n - net->outputs + k + 1]);
    release(g, y);
    release(g, x);
    release(g, T);
    release(g, M);
}

double computeErrorOf(MeschachGuard& g, NeuralNet* net)
{
    if (sameText(net->netType, kNetTypeFeedforward))
        for (int p = 0; p < net->patternCount; ++p)
            feedForwardPattern(g, net, p);
    double sum = 0.0;
    for (int p = 0; p < net->patternCount && sum <= kNetOverflowLimit; ++p)
        for (int k = 0; k < net->outputs; ++k) {
            double d = net->getReferenceOutput(k, p) - netOutputValue(k, p);
            sum += d * d;
            if (sum > kNetOverflowLimit)
                break;
        }
    return netOverflowed(sum) ? kNetOverflowError : sum;
}

void backPropagatePattern(MeschachGuard& g, NeuralNet* net, int p)
{
    const int n = net->n;
    if (n < 1 || !net->neurons)
        return;
    const int firstOutput = n - net->outputs;
    NeuronRecord* nr = net->neurons;
    for (int i = 0; i < net->inputs && i < n; ++i)
        nr[i].outputValue = net->getInputPattern(i, p);

    VEC* delta = g.getVec(n);
    VEC* next = g.getVec(n);
    for (int i = firstOutput; i < n; ++i)
        delta->ve[i] = net->getOutputError(i - firstOutput, p) * nr[i].activationDerivative *
                       nr[i].outputDerivative;
    // Back through one layer per pass; the output deltas stay those of the
    // errors, an input neuron has none (its bias does not act on anything).
    if (net->weights && static_cast<int>(net->weights->m) == n && static_cast<int>(net->weights->n) == n) {
        for (int layer = 0; layer < net->hiddenLayers; ++layer) {
            mv_mlt(net->weights, delta, next);
            for (int j = 0; j < n; ++j) {
                if (j < net->inputs)
                    next->ve[j] = 0.0;
                else if (j >= firstOutput)
                    next->ve[j] = net->getOutputError(j - firstOutput, p) * nr[j].activationDerivative *
                                  nr[j].outputDerivative;
                else
                    next->ve[j] *= nr[j].activationDerivative * nr[j].outputDerivative;
            }
            VEC* t = delta;
            delta = next;
            next = t;
        }
    }
    // The gradient in the accumulator's layout, times the learning rate.
    sizeMatrix(gradientAccumulator, n + 1, n + 1);
    MAT* G = gradientAccumulator;
    m_zero(G);
    const double rate = net->learningRate;
    for (int i = 0; i < n; ++i) {
        G->me[0][i + 1] = rate * delta->ve[i];
        for (int j = 0; j < n; ++j)
            G->me[j + 1][i + 1] = rate * nr[j].outputValue * delta->ve[i];
    }
    release(g, next);
    release(g, delta);
}

// Adds u to a bias or weight; an overflowed result becomes the limit.
bool addChecked(double& target, double u)
{
    target += u;
    if (netOverflowed(target)) {
        target = kNetOverflowLimit;
        return true;
    }
    return false;
}

// Adds (sign 1) or takes back (sign -1) the update U; true when a bias or
// weight overflowed.
bool addUpdate(NeuralNet* net, const MAT* U, double sign)
{
    bool overflow = false;
    const int n = net->n;
    for (int i = 0; i < n; ++i)
        overflow |= addChecked(net->neurons[i].bias, sign * U->me[0][i + 1]);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            if (net->isConnected(j, i))
                overflow |= addChecked(net->weights->me[j][i], sign * U->me[j + 1][i + 1]);
    return overflow;
}

double applyUpdateOf(MeschachGuard& g, NeuralNet* net, const MAT* G)
{
    const int n = net->n;
    if (n < 1 || !net->neurons)
        return computeErrorOf(g, net);
    sizeMatrix(net->update, n + 1, n + 1);
    MAT* U = net->update;
    const double m = net->momentumSwitch == 1.0 ? net->momentum : 0.0;
    // 1. The new update, momentum-weighted, on biases and connected weights.
    for (int i = 0; i < n; ++i)
        U->me[0][i + 1] = m * U->me[0][i + 1] + (1.0 - m) * netMatrixValue(G, 0, i + 1);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            if (net->isConnected(j, i))
                U->me[j + 1][i + 1] = m * U->me[j + 1][i + 1] + (1.0 - m) * netMatrixValue(G, j + 1, i + 1);
    if (addUpdate(net, U, 1.0))
        return kNetOverflowError;
    // 2. The new error.
    double e = computeErrorOf(g, net);
    // 3. Adaptive rate: keep a step that did not raise the error too much,
    // take back one that did.
    if (net->momentum != 0.0) {
        double r = e / net->error;
        if (r <= net->maxErrorRatio) {
            net->momentumSwitch = 1.0;
            if (r <= 1.0)
                net->learningRate *= net->rateIncrease;
        } else {
            if (addUpdate(net, U, -1.0))
                return kNetOverflowError;
            net->learningRate *= net->rateDecrease;
            net->momentumSwitch = 0.0;
            e = computeErrorOf(g, net);
        }
    }
    // 4.
    net->error = e;
    return e;
}

struct StepContext {
    NeuralNet* net;
    int p;
    const MAT* gradient;
    double result;
    int rows;
    int cols;
    MAT* matrix;
};

void feedForwardWork(MeschachGuard& g, void* c)
{
    StepContext* s = static_cast<StepContext*>(c);
    feedForwardPattern(g, s->net, s->p);
}

void backPropagateWork(MeschachGuard& g, void* c)
{
    StepContext* s = static_cast<StepContext*>(c);
    backPropagatePattern(g, s->net, s->p);
}

void computeErrorWork(MeschachGuard& g, void* c)
{
    StepContext* s = static_cast<StepContext*>(c);
    s->result = computeErrorOf(g, s->net);
}

void applyUpdateWork(MeschachGuard& g, void* c)
{
    StepContext* s = static_cast<StepContext*>(c);
    s->result = applyUpdateOf(g, s->net, s->gradient);
}

void makeMatrixWork(MeschachGuard&, void* c)
{
    StepContext* s = static_cast<StepContext*>(c);
    s->matrix = m_get(s->rows, s->cols);
}

void makeWorkMatricesWork(MeschachGuard&, void* c)
{
    StepContext* s = static_cast<StepContext*>(c);
    NeuralNet* net = s->net;
    sizeMatrix(sharedOutputs, net->n, net->patternCount);
    if (net->n >= 1)
        sizeMatrix(net->update, net->n + 1, net->n + 1);
}

void clearAccumulatorWork(MeschachGuard&, void* c)
{
    StepContext* s = static_cast<StepContext*>(c);
    sizeMatrix(gradientAccumulator, s->rows, s->cols);
    if (gradientAccumulator)
        m_zero(gradientAccumulator);
}

bool runStep(MeschachGuard::Work work, StepContext* c)
{
    MeschachGuard g;
    return g.run(work, c);
}

StepContext stepFor(NeuralNet* net, int p = 0, const MAT* gradient = nullptr)
{
    StepContext c = {net, p, gradient, 0.0, 0, 0, nullptr};
    return c;
}

void freeText(char*& t)
{
    free(t);
    t = nullptr;
}

// Each neuron owns the texts of its two function names.
void freeNeurons(NeuronRecord*& neurons, int n)
{
    if (!neurons)
        return;
    for (int i = 0; i < n; ++i) {
        free(neurons[i].outputFunction);
        free(neurons[i].activationFunction);
    }
    free(neurons);
    neurons = nullptr;
}

void freePatternMatrices(NeuralNet* net)
{
    netFreeMatrix(net->inputPatterns);
    netFreeMatrix(net->referenceOutputs);
    netFreeMatrix(net->outputErrors);
}

void plotPoint(NetErrorPlot* plot, double x, double value)
{
    if (plot)
        plot->addPoint(x, value);
}

} // namespace

// --- Neuron functions ---------------------------------------------------------

bool netOverflowed(double v)
{
    // The old test read the value's text ("1.#IND"), which only one C library
    // prints: a NaN elsewhere passed as a number.
    return !std::isfinite(v) || std::fabs(v) > kNetOverflowLimit;
}

void netNeuronFunction(const char* name, double gain, double x, double* value, double* derivative)
{
    double f, d;
    if (sameText(name, "Ident")) {
        f = gain * x;
        d = gain;
    } else if (sameText(name, "Tansig")) {
        // The derivative of tanh(g*x) with respect to x, gain included: the
        // gradient is wrong for any gain but 1 without it.
        f = std::tanh(gain * x);
        d = gain * (1.0 - f * f);
    } else {
        f = 1.0 / (1.0 + std::exp(-gain * x));
        d = gain * f * (1.0 - f);
    }
    *value = f;
    *derivative = d;
}

// --- Bounded matrices -----------------------------------------------------------

double netMatrixValue(const MAT* m, int row, int col)
{
    if (!m || row < 0 || col < 0 || row >= static_cast<int>(m->m) || col >= static_cast<int>(m->n))
        return 0.0;
    return m->me[row][col];
}

void netMatrixSet(MAT* m, int row, int col, double v)
{
    if (!m || row < 0 || col < 0 || row >= static_cast<int>(m->m) || col >= static_cast<int>(m->n))
        return;
    m->me[row][col] = v;
}

MAT* netMakeMatrix(int rows, int cols)
{
    if (rows < 1 || cols < 1)
        return nullptr;
    StepContext c = stepFor(nullptr);
    c.rows = rows;
    c.cols = cols;
    if (!runStep(makeMatrixWork, &c))
        return nullptr;
    return c.matrix;
}

void netFreeMatrix(MAT*& m)
{
    MAT* old = m;
    m = nullptr;
    freeMeschach(old);
}

// --- Shared matrices --------------------------------------------------------------

double netOutputValue(int output, int p)
{
    return netMatrixValue(sharedOutputs, output, p);
}

const MAT* netSharedOutputs()
{
    return sharedOutputs;
}

MAT* netGradientAccumulator()
{
    return gradientAccumulator;
}

void netClearGradientAccumulator(int n)
{
    StepContext c = stepFor(nullptr);
    c.rows = n + 1;
    c.cols = n + 1;
    runStep(clearAccumulatorWork, &c);
}

void netFreeGradientAccumulator()
{
    netFreeMatrix(gradientAccumulator);
}

void netFreeSharedOutputs()
{
    netFreeMatrix(sharedOutputs);
}

// --- NeuralNet ------------------------------------------------------------------------

NeuralNet::NeuralNet()
    : fileName(nullptr), netType(nullptr), learningMethod(nullptr), trainingMode(nullptr),
      learningRate(0), momentum(0), maxErrorRatio(0), error(0), momentumSwitch(0), rateIncrease(0),
      rateDecrease(0), initName(nullptr), initFirst(0), initSecond(0), cycles(0), errorLimit(0),
      hiddenLayers(0), layerSizes(nullptr), inputs(0), outputs(0), n(0), neurons(nullptr),
      weights(nullptr), connections(nullptr), update(nullptr), patternCount(0), inputPatterns(nullptr),
      referenceOutputs(nullptr), outputErrors(nullptr), image(nullptr)
{
}

NeuralNet::~NeuralNet()
{
    freePatterns();
    freeContents();
    delete image;
}

void NeuralNet::setText(char*& field, const char* text)
{
    char* copy = nullptr;
    if (text) {
        size_t len = strlen(text);
        copy = static_cast<char*>(malloc(len + 1));
        if (copy)
            memcpy(copy, text, len + 1);
    }
    free(field);
    field = copy;
}

bool NeuralNet::makeStructure()
{
    freeNeurons(neurons, n);
    netFreeMatrix(weights);
    netFreeMatrix(connections);
    if (n < 1)
        return true;
    neurons = static_cast<NeuronRecord*>(calloc(static_cast<size_t>(n), sizeof(NeuronRecord)));
    weights = netMakeMatrix(n, n);
    connections = netMakeMatrix(n, n);
    return neurons && weights && connections;
}

void NeuralNet::makePatterns()
{
    freePatternMatrices(this);
    if (patternCount < 1)
        return;
    if (inputs >= 1)
        inputPatterns = netMakeMatrix(inputs, patternCount);
    if (outputs >= 1) {
        referenceOutputs = netMakeMatrix(outputs, patternCount);
        outputErrors = netMakeMatrix(outputs, patternCount);
    }
}

void NeuralNet::makeWorkMatrices()
{
    StepContext c = stepFor(this);
    runStep(makeWorkMatricesWork, &c);
}

double NeuralNet::getInputPattern(int input, int p) const
{
    return netMatrixValue(inputPatterns, input, p);
}

void NeuralNet::setInputPattern(int input, int p, double v)
{
    netMatrixSet(inputPatterns, input, p, v);
}

double NeuralNet::getReferenceOutput(int output, int p) const
{
    return netMatrixValue(referenceOutputs, output, p);
}

void NeuralNet::setReferenceOutput(int output, int p, double v)
{
    netMatrixSet(referenceOutputs, output, p, v);
}

double NeuralNet::getOutputError(int output, int p) const
{
    return netMatrixValue(outputErrors, output, p);
}

void NeuralNet::setOutputError(int output, int p, double v)
{
    netMatrixSet(outputErrors, output, p, v);
}

double NeuralNet::getWeight(int from, int to) const
{
    return netMatrixValue(weights, from, to);
}

void NeuralNet::setWeight(int from, int to, double v)
{
    netMatrixSet(weights, from, to, v);
}

bool NeuralNet::isConnected(int from, int to) const
{
    // Only a connected weight is trained and written, and it must exist.
    return netMatrixValue(connections, from, to) == 1.0 && hasSize(weights, n, n);
}

void NeuralNet::setConnection(int from, int to, double mark)
{
    netMatrixSet(connections, from, to, mark);
}

void NeuralNet::feedForward(int p)
{
    StepContext c = stepFor(this, p);
    runStep(feedForwardWork, &c);
}

void NeuralNet::outputError(int p)
{
    for (int k = 0; k < outputs; ++k)
        setOutputError(k, p, getReferenceOutput(k, p) - netOutputValue(k, p));
}

void NeuralNet::backPropagate(int p)
{
    StepContext c = stepFor(this, p);
    runStep(backPropagateWork, &c);
}

double NeuralNet::computeError()
{
    StepContext c = stepFor(this);
    if (!runStep(computeErrorWork, &c))
        return kNetOverflowError;
    return c.result;
}

double NeuralNet::applyUpdate(const MAT* g)
{
    StepContext c = stepFor(this, 0, g);
    if (!runStep(applyUpdateWork, &c))
        return kNetOverflowError;
    return c.result;
}

void NeuralNet::freeContents()
{
    freeText(fileName);
    freeText(netType);
    freeText(learningMethod);
    freeText(trainingMode);
    learningRate = momentum = maxErrorRatio = error = momentumSwitch = 0.0;
    rateIncrease = rateDecrease = 0.0;
    freeText(initName);
    initFirst = initSecond = 0.0;
    cycles = 0;
    errorLimit = 0.0;
    hiddenLayers = 0;
    free(layerSizes);
    layerSizes = nullptr;
    freeNeurons(neurons, n);
    inputs = outputs = n = 0;
    netFreeMatrix(weights);
    netFreeMatrix(connections);
    netFreeMatrix(update);
    netFreeGradientAccumulator();
    netFreeSharedOutputs();
}

void NeuralNet::freePatterns()
{
    patternCount = 0;
    freePatternMatrices(this);
    netFreeSharedOutputs();
}

// --- Training ------------------------------------------------------------------------

namespace {

// The end of the run after an error that overflowed before the first cycle:
// the net is saved as it is and takes the mode that trains no cycle.
void overflowBeforeTraining(NeuralNet* net, NetErrorPlot* plot)
{
    plotPoint(plot, 0.0, 0.0);
    NetFileIO(net);
    netDiagnostic("ERROR_OVERFLOW");
    NeuralNet::setText(net->trainingMode, kNetModeError);
}

void addInto(MAT* total, const MAT* g)
{
    if (!total || !g)
        return;
    for (unsigned int r = 0; r < total->m && r < g->m; ++r)
        for (unsigned int c = 0; c < total->n && c < g->n; ++c)
            total->me[r][c] += g->me[r][c];
}

void zeroMatrix(MAT* m)
{
    if (!m)
        return;
    for (unsigned int r = 0; r < m->m; ++r)
        for (unsigned int c = 0; c < m->n; ++c)
            m->me[r][c] = 0.0;
}

// One cycle of mode "Batch": the gradients of all patterns summed, then
// applied once.
double batchCycle(NeuralNet* net, MAT* total)
{
    zeroMatrix(total);
    for (int p = 0; p < net->patternCount; ++p) {
        net->feedForward(p);
        net->outputError(p);
        net->backPropagate(p);
        addInto(total, netGradientAccumulator());
    }
    return net->applyUpdate(total);
}

// One cycle of mode "Standard": each pattern's own gradient applied at once.
// (Applying a total that kept growing over the patterns and cycles, as was
// once done, re-applied every earlier gradient at each step.)
double standardCycle(NeuralNet* net, bool* overflow)
{
    double result = net->error;
    for (int p = 0; p < net->patternCount; ++p) {
        net->feedForward(p);
        net->outputError(p);
        net->backPropagate(p);
        result = net->applyUpdate(netGradientAccumulator());
        if (result == kNetOverflowError) {
            *overflow = true;
            return result;
        }
    }
    return result;
}

} // namespace

void NetTrain(NeuralNet* net, NetErrorPlot* plot)
{
    if (!net)
        return;
    // 1. Work matrices; nothing more unless the net learns by backpropagation.
    net->makeWorkMatrices();
    netClearGradientAccumulator(net->n);
    if (!sameText(net->learningMethod, kNetMethodBackprop))
        return;

    // 2. The error before training.
    MAT* total = netMakeMatrix(net->n + 1, net->n + 1);
    net->error = net->computeError();
    if (net->error == kNetOverflowError)
        overflowBeforeTraining(net, plot);
    else
        plotPoint(plot, 0.0, net->error);

    const bool batch = sameText(net->trainingMode, kNetModeBatch);
    const bool standard = sameText(net->trainingMode, kNetModeStandard);
    // 3.-6. The cycles; any other mode (also "ERROR") runs none.
    for (int cycle = 0; (batch || standard) && cycle < net->cycles; ++cycle) {
        double result;
        if (batch) {
            result = batchCycle(net, total);
            if (result == kNetOverflowError) {
                NetFileIO(net);
                break;
            }
        } else {
            bool overflow = false;
            result = standardCycle(net, &overflow);
            if (overflow) {
                netDiagnostic("ERROR_OVERFLOW");
                break;
            }
        }
        plotPoint(plot, cycle + 1.0, result);
        if (net->computeError() < net->errorLimit)
            break;
    }

    // 7.
    netFreeMatrix(total);
    netFreeGradientAccumulator();
}
