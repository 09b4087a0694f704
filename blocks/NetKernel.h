// The neural net of the NN run-time library: neurons with a full weight
// matrix, evaluated by repeated synchronous passes and trained by
// backpropagation with momentum and an adaptive learning rate.
//
// Every Meschach call runs under a MeschachGuard; a Meschach failure ends the
// evaluation or training step it belongs to as an overflow would. Reads
// outside a matrix, or from one that is missing, give 0.0, and writes there
// do nothing, so that counts and numbers from a net file can never reach
// memory the net does not own.
#ifndef KYT_BLOCKS_NETKERNEL_H
#define KYT_BLOCKS_NETKERNEL_H

#include "Meschach.h"

class NetErrorPlot;
struct NetFileImage;

// A value beyond this magnitude, or one that is no finite number, has
// overflowed; an overflowed error reads kNetOverflowError.
const double kNetOverflowLimit = 1e6;
const double kNetOverflowError = 1000001.0;
bool netOverflowed(double v);

// The texts the kernel compares with.
extern const char kNetTypeFeedforward[];      // "Feedforward"
extern const char kNetMethodBackprop[];       // "Backpropagation"
extern const char kNetModeBatch[];            // "Batch"
extern const char kNetModeStandard[];         // "Standard"
extern const char kNetModeError[];            // "ERROR"

// The functions a neuron applies, by name: "Ident" g*x, "Sigmoide"
// 1/(1+exp(-g*x)), "Tansig" tanh(g*x); any other name counts as "Sigmoide".
// The derivative is taken with respect to x, so it carries the gain.
void netNeuronFunction(const char* name, double gain, double x, double* value, double* derivative);

struct NeuronRecord {
    char* outputFunction;
    char* activationFunction;
    double outputGain;
    double outputParameter;
    double activationGain;
    double activationParameter;
    double activationValue;
    double activationDerivative;
    double outputValue;          // of an input neuron: the current input
    double outputDerivative;
    double bias;
};

// Bounded access to a Meschach matrix: 0.0 outside it or when it is missing;
// a write there does nothing.
double netMatrixValue(const MAT* m, int row, int col);
void netMatrixSet(MAT* m, int row, int col, double v);
// A zero matrix, or null when a dimension is below 1 or memory is short.
MAT* netMakeMatrix(int rows, int cols);
void netFreeMatrix(MAT*& m);

class NeuralNet {
public:
    NeuralNet();
    // Frees contents, pattern data and the file image.
    ~NeuralNet();

    // --- Fields, in the order of the net file ---
    char* fileName;          // the text after "FILENAME:"
    char* netType;           // "Feedforward": every error evaluates all patterns
    char* learningMethod;    // training runs only for "Backpropagation"
    char* trainingMode;      // "Standard", "Batch"; "ERROR" after an early overflow
    double learningRate;
    double momentum;         // 0 switches the adaptive part off
    double maxErrorRatio;
    double error;            // the last sum of squared errors
    double momentumSwitch;   // 1.0 while momentum is applied
    double rateIncrease;
    double rateDecrease;
    char* initName;
    double initFirst;
    double initSecond;
    int cycles;
    double errorLimit;
    int hiddenLayers;
    int* layerSizes;         // hiddenLayers entries
    int inputs;
    int outputs;
    int n;                   // inputs first, hidden next, outputs last
    NeuronRecord* neurons;   // n records
    MAT* weights;            // n x n, W[j][i] from neuron j to neuron i
    MAT* connections;        // n x n, 1.0 where a weight exists
    MAT* update;             // (n+1) x (n+1), the previous update
    int patternCount;
    MAT* inputPatterns;      // inputs x patterns
    MAT* referenceOutputs;   // outputs x patterns
    MAT* outputErrors;       // outputs x patterns

    // Where the net was read from, for the write-back; null for a net that
    // was not read from a file.
    NetFileImage* image;

    // Replaces a text field with a copy of text (null clears it).
    static void setText(char*& field, const char* text);

    // The neuron array (n zero records) and the zero weight and connection
    // matrices for the current counts; false when memory is short.
    bool makeStructure();
    // The pattern matrices for the current pattern count, all zero: input
    // patterns when inputs and count are at least 1, the two output matrices
    // when outputs and count are at least 1. Old ones are freed first.
    void makePatterns();
    // The shared net-output matrix and this net's update matrix, where
    // missing or sized for another net.
    void makeWorkMatrices();

    int hiddenNeurons() const { return n - inputs - outputs; }

    // Pattern values by neuron row (input number, output number) and pattern
    // column; bounded as the matrices are.
    double getInputPattern(int input, int p) const;
    void setInputPattern(int input, int p, double v);
    double getReferenceOutput(int output, int p) const;
    void setReferenceOutput(int output, int p, double v);
    double getOutputError(int output, int p) const;
    void setOutputError(int output, int p, double v);
    double getWeight(int from, int to) const;
    void setWeight(int from, int to, double v);
    bool isConnected(int from, int to) const;
    void setConnection(int from, int to, double mark);

    // Evaluates pattern p into column p of the shared net outputs.
    void feedForward(int p);
    // Reference minus net output of pattern p into the output errors.
    void outputError(int p);
    // The gradient of pattern p, times the learning rate, into the shared
    // gradient accumulator (row 0 biases, row j + 1 the weights of neuron j).
    void backPropagate(int p);
    // The sum of squared errors over all patterns (all evaluated first for
    // a "Feedforward" net); kNetOverflowError when it overflowed.
    double computeError();
    // Applies gradient g with momentum and adapts the learning rate; the new
    // error, or kNetOverflowError when a bias or weight overflowed.
    double applyUpdate(const MAT* g);

    // Frees texts, layer sizes, neurons, weights, connections, the update
    // matrix and the shared matrices; every freed field and every number
    // before the pattern count becomes zero. Harmless when repeated.
    void freeContents();
    // Pattern count 0; frees the pattern matrices and the shared net outputs.
    void freePatterns();

private:
    NeuralNet(const NeuralNet&) = delete;
    NeuralNet& operator=(const NeuralNet&) = delete;
};

// The matrices shared by all nets: the net outputs of the latest evaluations
// (n x patterns of the net that made them) and the gradient accumulator
// ((n+1) x (n+1)).
double netOutputValue(int output, int p);
const MAT* netSharedOutputs();
MAT* netGradientAccumulator();
// The accumulator for a net of n neurons, made where missing or of another
// size, set to zero.
void netClearGradientAccumulator(int n);
void netFreeGradientAccumulator();
void netFreeSharedOutputs();

// A training run of cycles on the net's patterns, with the points of the
// error curve going to plot (which may be null).
void NetTrain(NeuralNet* net, NetErrorPlot* plot);

#endif
