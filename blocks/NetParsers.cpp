#include "NetParsers.h"

#include "NetKernel.h"
#include "NumberFormat.h"
#include "ResString.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Takes a text from the grammar into a std::string and frees it.
std::string takeText(char* text)
{
    std::string s = text ? text : "";
    free(text);
    return s;
}

} // namespace

int netTextToInt(const char* text)
{
    if (!text)
        return 0;
    const char* s = text;
    while (*s == ' ' || *s == '\t')
        ++s;
    bool negative = false;
    if (*s == '-' || *s == '+') {
        negative = *s == '-';
        ++s;
    }
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        v = v * 10 + (*s - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

double netTextToReal(const char* text)
{
    double v = 0.0;
    if (!text || parseNumber(text, &v) == 0)
        return 0.0;
    return v;
}

// --- NetLanguageParser ---------------------------------------------------------

NetLanguageParser::NetLanguageParser(int startKind)
    : start(startKind), startPending(false), target(nullptr), patternNumber(0)
{
    nameBuffer[0] = 0;
}

NetLanguageParser::~NetLanguageParser() {}

int NetLanguageParser::yylex()
{
    return nnyylook();
}

const char* NetLanguageParser::tokenName(int token)
{
    const char* name = netGrammarTokenName(token);
    return name ? name : commonTokenName(token, nameBuffer, sizeof nameBuffer);
}

int NetLanguageParser::nextToken()
{
    if (startPending) {
        startPending = false;
        return netStartToken(start);
    }
    return yylex();
}

int NetLanguageParser::parseText(const char* data, size_t size)
{
    netScannerSetInput(data ? data : "", data ? size : 0);
    int result = parse();
    netScannerSetInput(nullptr, 0);
    return result;
}

int NetLanguageParser::runGrammar()
{
    reset();
    startPending = true;
    group = Group();
    rowWeights.clear();
    rowMarks.clear();
    values.clear();
    patternNumber = 0;
    int result = runNetGrammar(this);
    // The row record and the value buffer live for one parse.
    rowWeights = std::vector<double>();
    rowMarks = std::vector<char>();
    values = std::vector<double>();
    return result;
}

NetFileImage* NetLanguageParser::image() const
{
    return target ? target->image : nullptr;
}

bool NetLanguageParser::refuseCount(unsigned int textId, const char* keyword, const NetSpan& where)
{
    setMessageLine(where.line);
    YaccParser::error(this, getResString(textId), keyword);
    return false;
}

// --- Net file ----------------------------------------------------------------

void NetLanguageParser::setFileName(char* text)
{
    std::string s = takeText(text);
    if (target)
        NeuralNet::setText(target->fileName, s.c_str());
}

void NetLanguageParser::setNetType(char* text)
{
    group.netType = takeText(text);
}

void NetLanguageParser::setLearning(char* mode, char* method)
{
    group.trainingMode = takeText(mode);
    group.learningMethod = takeText(method);
}

void NetLanguageParser::setRate(double rate, const NetSpan& where)
{
    group.rate = rate;
    if (NetFileImage* im = image()) {
        im->hasRate = true;
        im->rate = where;
    }
}

void NetLanguageParser::setMomentum(bool on, double constant, double ratio)
{
    group.momentum = on ? constant : 0.0;
    group.maxErrorRatio = on ? ratio : 1.0;
    group.errorReset = true;
}

void NetLanguageParser::setAdaptive(bool on, double increase, double decrease)
{
    group.increase = on ? increase : 1.0;
    group.decrease = on ? decrease : 1.0;
}

void NetLanguageParser::setInit(char* name, double first, double second)
{
    group.initName = takeText(name);
    group.initFirst = first;
    group.initSecond = second;
}

void NetLanguageParser::setCycles(int cycles, const NetSpan& where)
{
    group.cycles = cycles;
    if (NetFileImage* im = image()) {
        im->hasCycles = true;
        im->cycles = where;
    }
}

void NetLanguageParser::setErrorLimit(double limit)
{
    group.errorLimit = limit;
}

bool NetLanguageParser::setHiddenLayers(int count, const NetSpan& where)
{
    if (count < 0)
        return refuseCount(kTextNegativeCount, "HIDDENLAYER:", where);
    if (count > kNetMaxNeurons)
        return refuseCount(kTextCountTooLarge, "HIDDENLAYER:", where);
    group.hiddenLayers = count;
    return true;
}

bool NetLanguageParser::setInputs(int count, const NetSpan& where)
{
    if (count < 0)
        return refuseCount(kTextNegativeCount, "INPUTNEURONS:", where);
    if (count > kNetMaxNeurons)
        return refuseCount(kTextCountTooLarge, "INPUTNEURONS:", where);
    group.inputs = count;
    return true;
}

bool NetLanguageParser::setOutputs(int count, const NetSpan& where)
{
    if (count < 0)
        return refuseCount(kTextNegativeCount, "OUTPUTNEURONS:", where);
    if (count > kNetMaxNeurons)
        return refuseCount(kTextCountTooLarge, "OUTPUTNEURONS:", where);
    group.outputs = count;
    return true;
}

bool NetLanguageParser::addHiddenSize(int size, const NetSpan& where)
{
    if (size < 0)
        return refuseCount(kTextNegativeCount, "HIDDENNEURONS:", where);
    if (size > kNetMaxNeurons)
        return refuseCount(kTextCountTooLarge, "HIDDENNEURONS:", where);
    // Sizes beyond the number of hidden layers are read and ignored.
    if (static_cast<int>(group.sizes.size()) < group.hiddenLayers)
        group.sizes.push_back(size);
    return true;
}

bool NetLanguageParser::completeNetParameters(const NetSpan& where)
{
    long long hidden = 0;
    for (int s : group.sizes)
        hidden += s;
    const long long total = hidden + group.inputs + group.outputs;
    if (total > kNetMaxNeurons)
        return refuseCount(kTextCountTooLarge, "HIDDENNEURONS:", where);
    const int n = static_cast<int>(total);
    if (target) {
        NeuralNet* net = target;
        NeuralNet::setText(net->netType, group.netType.c_str());
        NeuralNet::setText(net->trainingMode, group.trainingMode.c_str());
        NeuralNet::setText(net->learningMethod, group.learningMethod.c_str());
        NeuralNet::setText(net->initName, group.initName.c_str());
        net->learningRate = group.rate;
        net->momentum = group.momentum;
        net->maxErrorRatio = group.maxErrorRatio;
        if (group.errorReset)
            net->error = 0.0;
        net->rateIncrease = group.increase;
        net->rateDecrease = group.decrease;
        net->initFirst = group.initFirst;
        net->initSecond = group.initSecond;
        net->cycles = group.cycles;
        net->errorLimit = group.errorLimit;
        free(net->layerSizes);
        net->layerSizes = nullptr;
        net->hiddenLayers = group.hiddenLayers;
        if (group.hiddenLayers > 0) {
            net->layerSizes = static_cast<int*>(calloc(static_cast<size_t>(group.hiddenLayers), sizeof(int)));
            if (!net->layerSizes)
                return refuseCount(kTextCountTooLarge, "HIDDENLAYER:", where);
            for (size_t i = 0; i < group.sizes.size(); ++i)
                net->layerSizes[i] = group.sizes[i];
        }
        net->inputs = group.inputs;
        net->outputs = group.outputs;
        net->n = n;
        if (!net->makeStructure())
            return refuseCount(kTextCountTooLarge, "HIDDENNEURONS:", where);
    }
    rowWeights.assign(static_cast<size_t>(n), 0.0);
    rowMarks.assign(static_cast<size_t>(n), 0);
    return true;
}

void NetLanguageParser::neuronRow(int number, char* activation, double activationGain, double activationParameter,
                                  char* output, double outputGain, double outputParameter, double outputValue,
                                  double bias, const NetSpan& biasWhere)
{
    std::string act = takeText(activation);
    std::string out = takeText(output);
    NeuralNet* net = target;
    if (!net || !net->neurons || number < 1 || number > net->n)
        return;
    NeuronRecord& r = net->neurons[number - 1];
    NeuralNet::setText(r.activationFunction, act.c_str());
    r.activationGain = activationGain;
    r.activationParameter = activationParameter;
    NeuralNet::setText(r.outputFunction, out.c_str());
    r.outputGain = outputGain;
    r.outputParameter = outputParameter;
    r.outputValue = outputValue;
    r.bias = bias;
    if (NetFileImage* im = image())
        im->biases.push_back({number - 1, biasWhere});
}

void NetLanguageParser::connectionItem(int targetNumber, double weight)
{
    // A target outside the net has no place in the row record.
    if (targetNumber < 1 || targetNumber > static_cast<int>(rowWeights.size()))
        return;
    rowWeights[static_cast<size_t>(targetNumber - 1)] = weight;
    rowMarks[static_cast<size_t>(targetNumber - 1)] = 1;
}

void NetLanguageParser::connectionRow(int source)
{
    NeuralNet* net = target;
    if (net && source >= 1 && source <= net->n) {
        for (int j = 0; j < net->n && j < static_cast<int>(rowWeights.size()); ++j) {
            net->setWeight(source - 1, j, rowWeights[static_cast<size_t>(j)]);
            net->setConnection(source - 1, j, rowMarks[static_cast<size_t>(j)] ? 1.0 : 0.0);
        }
    }
    std::fill(rowWeights.begin(), rowWeights.end(), 0.0);
    std::fill(rowMarks.begin(), rowMarks.end(), 0);
}

void NetLanguageParser::noteConnections(const NetSpan& where)
{
    if (NetFileImage* im = image()) {
        im->hasConnections = true;
        im->connections = where;
    }
}

void NetLanguageParser::finishNetFile()
{
    rowWeights = std::vector<double>();
    rowMarks = std::vector<char>();
}

// --- Pattern file --------------------------------------------------------------

bool NetLanguageParser::startPatterns(int count, const NetSpan& where)
{
    if (count < 0)
        return refuseCount(kTextNegativeCount, "NOOFPATTERN:", where);
    if (count > kNetMaxPatterns)
        return refuseCount(kTextCountTooLarge, "NOOFPATTERN:", where);
    if (target) {
        target->patternCount = count;
        target->makePatterns();
    }
    values.clear();
    return true;
}

void NetLanguageParser::beginPattern(int number)
{
    patternNumber = number;
}

void NetLanguageParser::addValue(double v)
{
    // Values beyond the neurons a list can fill are ignored.
    const int room = target ? (target->inputs > target->outputs ? target->inputs : target->outputs) : 0;
    if (static_cast<int>(values.size()) < room)
        values.push_back(v);
}

void NetLanguageParser::patternInputs()
{
    NeuralNet* net = target;
    if (net && patternNumber >= 1 && patternNumber <= net->patternCount)
        for (int i = 0; i < net->inputs && i < static_cast<int>(values.size()); ++i)
            net->setInputPattern(i, patternNumber - 1, values[static_cast<size_t>(i)]);
    values.clear();
}

void NetLanguageParser::patternReferences()
{
    NeuralNet* net = target;
    if (net && patternNumber >= 1 && patternNumber <= net->patternCount)
        for (int k = 0; k < net->outputs && k < static_cast<int>(values.size()); ++k)
            net->setReferenceOutput(k, patternNumber - 1, values[static_cast<size_t>(k)]);
    values.clear();
}

void NetLanguageParser::dropValues()
{
    values.clear();
}

void NetLanguageParser::finishPatterns()
{
    values = std::vector<double>();
}

// --- The two parsers -------------------------------------------------------------

NetDescriptionParser::NetDescriptionParser() : NetLanguageParser(0) {}

int NetDescriptionParser::parse()
{
    return runGrammar();
}

NetAuxParser::NetAuxParser() : NetLanguageParser(1) {}

int NetAuxParser::parse()
{
    return runGrammar();
}
