#include "FuzzyKernel.h"

#include "CheckedHeap.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "strings/FuzzyStrings.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

const FuzzyCheckTexts kFuzzyCheckTexts = {
    kStrNoFuzzyBlock, kStrFuzzyNoInputs, kStrFuzzyChangedTo, kStrFuzzyNoOutputs, kStrFuzzyNoRuleBase, kStrFuzzyNoOutputNamed, kStrFuzzyAndSoOn, kStrFuzzyNoSetNamed, kStrFuzzyForOutput, kStrFuzzyNoInputNamed, kStrFuzzyForInput,
    kStrFuzzyNoConfiguration, kStrFuzzyCheckNoInputs, kStrFuzzyCheckNoOutputs, kStrFuzzyCheckNoRuleBase
};

namespace {

// Findings after which checkFuzzyBlock only adds a dot per finding.
const int kListedRenames = 6;
// Significant digits of the number texts the kernel writes.
const int kCfDigits = 5;
const int kParameterDigits = 10;

std::string numberText(double v, int digits)
{
    char buf[kMaxNumberText + 1];
    formatNumberDigits(v, digits, buf);
    return buf;
}

// Points of the centroid and max sweep: x_i = lo + i * step, i = 0 ... 100.
// Counting with an integer ends also when lo = hi or the step rounds badly.
const int kSweepSteps = kFuzzySweepPoints - 1;

FuzzyIoNode* nodeNamed(FuzzyIoNode* list, const char* name)
{
    for (FuzzyIoNode* n = list; n; n = n->next)
        if (name && strcmp(n->name, name) == 0)
            return n;
    return nullptr;
}

// The index arrives as a double from the model; a value without an int
// finds no node.
FuzzyIoNode* nodeAt(FuzzyIoNode* list, double index)
{
    int i;
    if (!fuzzyCutToInt(index, &i))
        return nullptr;
    for (FuzzyIoNode* n = list; n; n = n->next)
        if (n->index == i)
            return n;
    return nullptr;
}

// Members and parameters are named by a variable that may be an input or an
// output; the inputs are searched first.
FuzzyVariable* findInputOrOutput(FuzzyBlock* b, const char* name)
{
    FuzzyVariable* v = findVariable(b->inputs, name);
    return v ? v : findVariable(b->outputs, name);
}

} // namespace

void FuzzyMessage::reset()
{
    buffer[0] = 0;
    length = 0;
    closed = false;
}

void FuzzyMessage::append(const char* piece, const char* andSoOn)
{
    if (closed || !piece)
        return;
    size_t room = kSize - 1 - static_cast<size_t>(length);
    size_t n = strlen(piece);
    size_t tail = andSoOn ? strlen(andSoOn) : 0;
    if (tail > kSize - 1)
        tail = kSize - 1;
    // The last piece that fits whole must still leave room for the end text.
    if (n + tail <= room) {
        memcpy(buffer + length, piece, n + 1);
        length += static_cast<int>(n);
        return;
    }
    size_t keep = room > tail ? room - tail : 0;
    if (keep > n)
        keep = n;
    memcpy(buffer + length, piece, keep);
    length += static_cast<int>(keep);
    size_t t = tail <= kSize - 1 - static_cast<size_t>(length) ? tail : kSize - 1 - static_cast<size_t>(length);
    if (t)
        memcpy(buffer + length, andSoOn, t);
    length += static_cast<int>(t);
    buffer[length] = 0;
    closed = true;
}

bool fuzzyCutToInt(double value, int* result)
{
    if (std::isnan(value) || !(value > -2147483649.0 && value < 2147483648.0))
        return false;
    *result = static_cast<int>(value);
    return true;
}

double trapezMembership(double x, const double p[4])
{
    double a = p[0], b = p[1], c = p[2], d = p[3];
    if (x == a && a == b)
        return 1.0;
    if (x <= a)
        return 0.0;
    if (x <= b)
        return (x - a) / (b - a);
    if (x <= c)
        return 1.0;
    if (x <= d)
        return (d - x) / (d - c);
    // Beyond d, and a NaN that fits no case above.
    return 0.0;
}

FuzzyKernel::FuzzyKernel()
    : findings(0), block(nullptr), inference(FZ_INFERENCE_MAX_PROD),
      defuzzification(FZ_DEFUZZ_CENTROID), inputs(nullptr), outputs(nullptr)
{
}

FuzzyKernel::~FuzzyKernel()
{
    freeIoLists();
    freeBlockRecord(block);
}

void FuzzyKernel::setBlock(FuzzyBlock* b)
{
    if (b == block)
        return;
    // The lists point into the old block.
    freeIoLists();
    freeBlockRecord(block);
    block = b;
}

void FuzzyKernel::freeIoLists()
{
    for (FuzzyIoNode* list : {inputs, outputs})
        while (list) {
            FuzzyIoNode* next = list->next;
            free(list);
            list = next;
        }
    inputs = outputs = nullptr;
    outputRules.clear();
    outputGrids.clear();
    outputRuleGrids.clear();
}

FuzzyIoNode* FuzzyKernel::findInput(const char* name) const
{
    return nodeNamed(inputs, name);
}

FuzzyIoNode* FuzzyKernel::findOutput(const char* name) const
{
    return nodeNamed(outputs, name);
}

FuzzyIoNode* FuzzyKernel::inputAt(double index) const
{
    return nodeAt(inputs, index);
}

FuzzyIoNode* FuzzyKernel::outputAt(double index) const
{
    return nodeAt(outputs, index);
}

namespace {

FuzzyIoNode* buildIoList(FuzzyVariable* variables)
{
    FuzzyIoNode* head = nullptr;
    FuzzyIoNode** tail = &head;
    int index = 0;
    for (FuzzyVariable* v = variables; v; v = v->next) {
        FuzzyIoNode* n = static_cast<FuzzyIoNode*>(checkedCalloc(sizeof(FuzzyIoNode)));
        n->name = v->name;
        n->index = index++;
        n->minimum = fuzzyTextValue(v->xmin);
        n->maximum = fuzzyTextValue(v->xmax);
        n->variable = v;
        *tail = n;
        tail = &n->next;
    }
    return head;
}

void markShapes(FuzzyVariable* variables)
{
    for (FuzzyVariable* v = variables; v; v = v->next) {
        v->hasTrapez = v->hasSingleton = 0;
        for (FuzzyMember* m = v->members; m; m = m->next) {
            if (!m->set)
                continue;
            if (m->set->shape == FZ_SHAPE_SINGLETON)
                v->hasSingleton = 1;
            else
                v->hasTrapez = 1;
        }
    }
}

// Visits the comparisons of a premise from left to right. In a loop: a
// premise read from a text may chain any number of ORs.
template <typename Premise, typename Visit>
void forEachComparison(Premise* premise, Visit visit)
{
    std::vector<Premise*> pending(1, premise);
    while (!pending.empty()) {
        Premise* p = pending.back();
        pending.pop_back();
        if (!p)
            continue;
        if (p->kind != FZ_PREMISE_COMPARE) {
            pending.push_back(p->right);
            pending.push_back(p->left);
            continue;
        }
        visit(p);
    }
}

// Binds the comparisons to their input nodes and member sets once, so that
// an evaluation step compares no names.
void resolvePremise(FuzzyKernel* kernel, FuzzyPremise* premise)
{
    forEachComparison(premise, [kernel](FuzzyPremise* p) {
        p->input = nullptr;
        p->set = nullptr;
        if (p->left && p->right) {
            p->input = kernel->findInput(p->left->name);
            FuzzyMember* m = p->input ? findMember(p->input->variable, p->right->name) : nullptr;
            p->set = m ? m->set : nullptr;
        }
    });
}

// A chain of one operator (a AND b AND c ..., as the reader builds it from
// the left) is folded in a loop; the walk recurses only into the operands,
// as deep as the text nests its parentheses, which the reader's stack bounds.
double premiseDegree(const FuzzyPremise* p)
{
    if (!p)
        return 0.0;
    switch (p->kind) {
    case FZ_PREMISE_AND:
    case FZ_PREMISE_OR: {
        const int kind = p->kind;
        double degree = premiseDegree(p->right);
        const FuzzyPremise* q = p->left;
        for (; q && q->kind == kind; q = q->left) {
            double operand = premiseDegree(q->right);
            degree = kind == FZ_PREMISE_AND ? std::fmin(operand, degree) : std::fmax(operand, degree);
        }
        double first = premiseDegree(q);
        return kind == FZ_PREMISE_AND ? std::fmin(first, degree) : std::fmax(first, degree);
    }
    case FZ_PREMISE_NOT:
        return 1.0 - premiseDegree(p->right);
    case FZ_PREMISE_COMPARE:
        // A singleton set in a premise gives degree 0.
        if (p->input && p->set && p->set->shape == FZ_SHAPE_TRAPEZ)
            return trapezMembership(p->input->value, p->set->value);
        return 0.0;
    default:
        return 0.0;
    }
}

double outputMembership(const FuzzyMemberSet* s, double x, bool singletonPoint)
{
    if (!s)
        return 0.0;
    if (s->shape == FZ_SHAPE_SINGLETON)
        return singletonPoint && x == s->value[0] ? 1.0 : 0.0;
    return trapezMembership(x, s->value);
}

} // namespace

void FuzzyMethodsSet(FuzzyKernel* kernel)
{
    kernel->freeIoLists();
    FuzzyBlock* b = kernel->block;
    kernel->inference = FZ_INFERENCE_MAX_PROD;
    kernel->defuzzification = FZ_DEFUZZ_CENTROID;
    if (!b)
        return;
    if (b->config) {
        if (b->config->inference == FZ_INFERENCE_MAX_MIN)
            kernel->inference = FZ_INFERENCE_MAX_MIN;
        if (b->config->defuzzification == FZ_DEFUZZ_MAX)
            kernel->defuzzification = FZ_DEFUZZ_MAX;
    }
    kernel->inputs = buildIoList(b->inputs);
    kernel->outputs = buildIoList(b->outputs);
    markShapes(b->inputs);
    markShapes(b->outputs);

    for (FuzzyRuleNode* n = b->rules; n; n = n->next) {
        FuzzyRule* r = n->rule;
        if (!r)
            continue;
        r->cf = r->cfText ? fuzzyTextValue(r->cfText) : 1.0;
        resolvePremise(kernel, r->premise);
        if (FuzzyConclusion* c = r->conclusion) {
            c->variable = findVariable(b->outputs, c->output);
            FuzzyMember* m = findMember(c->variable, c->term);
            c->set = m ? m->set : nullptr;
            c->activation = 0.0;
        }
    }
    for (FuzzyIoNode* o = kernel->outputs; o; o = o->next) {
        std::vector<FuzzyRule*> rules;
        std::vector<FuzzyTermGrid> grids;
        std::vector<int> ruleGrids;
        for (FuzzyRuleNode* n = b->rules; n; n = n->next)
            if (n->rule && n->rule->conclusion && n->rule->conclusion->variable == o->variable) {
                rules.push_back(n->rule);
                const FuzzyMemberSet* set = n->rule->conclusion->set;
                int index = -1;
                for (size_t g = 0; set && g < grids.size() && index < 0; ++g)
                    if (grids[g].set == set)
                        index = static_cast<int>(g);
                if (set && index < 0) {
                    FuzzyTermGrid grid;
                    grid.set = set;
                    // Never a term's shape: the grid is computed at its first use.
                    grid.shape = -1;
                    grids.push_back(grid);
                    index = static_cast<int>(grids.size()) - 1;
                }
                ruleGrids.push_back(index);
            }
        kernel->outputRules.push_back(rules);
        kernel->outputGrids.push_back(grids);
        kernel->outputRuleGrids.push_back(ruleGrids);
    }
}

double FuzzyKernel::inferAt(const std::vector<FuzzyRule*>& rules, double x, bool singletonPoint) const
{
    double mu = 0.0;
    for (const FuzzyRule* r : rules) {
        double m = outputMembership(r->conclusion->set, x, singletonPoint);
        double w = r->conclusion->activation;
        double v = inference == FZ_INFERENCE_MAX_MIN ? std::fmin(m, w) : m * w;
        if (v > mu)
            mu = v;
    }
    return mu;
}

const double* FuzzyKernel::termGrid(const FuzzyIoNode* o, size_t k, int index) const
{
    FuzzyTermGrid& g = outputGrids[k][static_cast<size_t>(index)];
    const FuzzyMemberSet* s = g.set;
    if (g.shape != s->shape || memcmp(g.parameters, s->value, sizeof g.parameters) != 0 ||
        memcmp(&g.lo, &o->minimum, sizeof g.lo) != 0 ||
        memcmp(&g.hi, &o->maximum, sizeof g.hi) != 0) {
        g.shape = s->shape;
        memcpy(g.parameters, s->value, sizeof g.parameters);
        g.lo = o->minimum;
        g.hi = o->maximum;
        // The points as the sweep computes them.
        const double step = (g.hi - g.lo) * 0.01;
        for (int i = 0; i <= kSweepSteps; ++i)
            g.membership[i] = outputMembership(s, g.lo + i * step, false);
    }
    return g.membership;
}

void FuzzyKernel::aggregate(const FuzzyIoNode* o, size_t k, double* mu) const
{
    // The maximum over the rules is taken rule by rule instead of point by
    // point: a maximum does not depend on the order. min(m, w) is written as
    // a comparison: w > 0 is no NaN, so it is fmin's value also for a NaN m.
    for (int i = 0; i <= kSweepSteps; ++i)
        mu[i] = 0.0;
    for (size_t r = 0; r < activeRules.size(); ++r) {
        if (activeGrids[r] < 0)
            continue;
        const double* m = termGrid(o, k, activeGrids[r]);
        const double w = activeRules[r]->conclusion->activation;
        if (inference == FZ_INFERENCE_MAX_MIN) {
            for (int i = 0; i <= kSweepSteps; ++i) {
                const double v = m[i] < w ? m[i] : w;
                mu[i] = v > mu[i] ? v : mu[i];
            }
        } else {
            for (int i = 0; i <= kSweepSteps; ++i) {
                const double v = m[i] * w;
                mu[i] = v > mu[i] ? v : mu[i];
            }
        }
    }
}

double FuzzyKernel::defuzzify(const FuzzyIoNode* o, size_t k) const
{
    const FuzzyVariable* v = o->variable;
    // A rule without activation adds nothing at any point (max_prod gives
    // mu * w <= 0, max_min min(mu, w) <= 0, and the maximum starts at 0), so
    // the sweeps visit only the rules that fired.
    std::vector<FuzzyRule*>& rules = activeRules;
    rules.clear();
    activeGrids.clear();
    const std::vector<FuzzyRule*>& allRules = outputRules[k];
    for (size_t r = 0; r < allRules.size(); ++r)
        if (allRules[r]->conclusion->activation > 0.0) {
            rules.push_back(allRules[r]);
            activeGrids.push_back(outputRuleGrids[k][r]);
        }
    double lo = o->minimum;
    double hi = o->maximum;
    double mid = (hi + lo) * 0.5;
    double step = (hi - lo) * 0.01;
    double mu[kFuzzySweepPoints];
    if (v->hasTrapez)
        aggregate(o, k, mu);

    if (defuzzification == FZ_DEFUZZ_MAX) {
        // All points in one pass; the places of the largest membership are averaged.
        double best = 0.0, sum = 0.0;
        int count = 0;
        auto visit = [&](double x, double mu) {
            if (mu > best) {
                best = mu;
                sum = x;
                count = 1;
            } else if (mu == best && mu > 0.0) {
                sum += x;
                ++count;
            }
        };
        if (v->hasTrapez)
            for (int i = 0; i <= kSweepSteps; ++i)
                visit(lo + i * step, mu[i]);
        if (v->hasSingleton)
            for (FuzzyMember* m = v->members; m; m = m->next)
                if (m->set && m->set->shape == FZ_SHAPE_SINGLETON)
                    visit(m->set->value[0], inferAt(rules, m->set->value[0], true));
        return count ? sum / count : mid;
    }

    double sx1 = 0.0, s1 = 0.0, sx2 = 0.0, s2 = 0.0;
    if (v->hasTrapez)
        for (int i = 0; i <= kSweepSteps; ++i) {
            double x = lo + i * step;
            sx1 += x * mu[i];
            s1 += mu[i];
        }
    if (v->hasSingleton)
        for (FuzzyMember* m = v->members; m; m = m->next)
            if (m->set && m->set->shape == FZ_SHAPE_SINGLETON) {
                double a = m->set->value[0];
                double mu = inferAt(rules, a, true);
                sx2 += a * mu;
                s2 += mu;
            }
    if (s1 != 0.0 && s2 != 0.0)
        return (sx1 / s1 + sx2 / s2) * 0.5;
    if (s1 != 0.0)
        return sx1 / s1;
    if (s2 != 0.0)
        return sx2 / s2;
    return mid;
}

void SimulateStep(FuzzyKernel* kernel)
{
    FuzzyBlock* b = kernel->block;
    if (!b)
        return;
    for (FuzzyRuleNode* n = b->rules; n; n = n->next)
        if (n->rule && n->rule->conclusion)
            n->rule->conclusion->activation = n->rule->cf * premiseDegree(n->rule->premise);
    size_t k = 0;
    for (FuzzyIoNode* o = kernel->outputs; o; o = o->next, ++k)
        o->value = o->variable && k < kernel->outputRules.size() ? kernel->defuzzify(o, k) : 0.0;
}

namespace {

void setClamped(FuzzyIoNode* n, double value)
{
    if (!n)
        return;
    if (value > n->maximum)
        value = n->maximum;
    if (value < n->minimum)
        value = n->minimum;
    n->value = value;
}

} // namespace

void setFuzzyInput(FuzzyKernel* kernel, const char* name, double value)
{
    setClamped(kernel->findInput(name), value);
}

void setFuzzyInputAt(FuzzyKernel* kernel, double index, double value)
{
    setClamped(kernel->inputAt(index), value);
}

double getFuzzyOutput(FuzzyKernel* kernel, const char* name)
{
    FuzzyIoNode* n = kernel->findOutput(name);
    return n ? n->value : 0.0;
}

double getFuzzyOutputAt(FuzzyKernel* kernel, double index)
{
    FuzzyIoNode* n = kernel->outputAt(index);
    return n ? n->value : 0.0;
}

bool SetCfOfRule(FuzzyKernel* kernel, const char* cfText, const char* ruleNumber)
{
    int number;
    if (!fuzzyCutToInt(fuzzyTextValue(ruleNumber), &number) || number < 0)
        return false;
    FuzzyRuleNode* n = kernel->getRules();
    for (int i = 0; n && i < number; ++i)
        n = n->next;
    if (!n || !n->rule)
        return false;
    double cf = fuzzyTextValue(cfText);
    n->rule->cf = cf;
    free(n->rule->cfText);
    n->rule->cfText = fuzzyCopyText(numberText(cf, kCfDigits).c_str());
    return true;
}

bool setMemberParameter(FuzzyKernel* kernel, const char* variable, const char* member,
                       const char* number, const char* valueText)
{
    FuzzyBlock* b = kernel->getBlock();
    if (!b || !number)
        return false;
    FuzzyMember* m = findMember(findInputOrOutput(b, variable), member);
    if (!m || !m->set)
        return false;
    int k;
    if (strcmp(number, "1") == 0)
        k = 0;
    else if (strcmp(number, "2") == 0)
        k = 1;
    else if (strcmp(number, "3") == 0)
        k = 2;
    else if (strcmp(number, "4") == 0)
        k = 3;
    else
        return false;
    if (m->set->shape == FZ_SHAPE_SINGLETON && k != 0)
        return false;
    double value = fuzzyTextValue(valueText);
    m->set->value[k] = value;
    free(m->set->text[k]);
    m->set->text[k] = fuzzyCopyText(numberText(value, kParameterDigits).c_str());
    return true;
}

namespace {

// Adds a finding to the kernel's message text.
void addFinding(FuzzyKernel* kernel, const FuzzyCheckTexts& texts, const std::string& piece)
{
    kernel->message.append(piece.c_str(), getResString(texts.andSoOn));
    ++kernel->findings;
}

// The block to check; null after the finding that there is none.
FuzzyBlock* startCheck(FuzzyKernel* kernel, const FuzzyCheckTexts& texts)
{
    kernel->message.reset();
    kernel->findings = 0;
    FuzzyBlock* b = kernel->getBlock();
    if (!b)
        addFinding(kernel, texts, getResString(texts.noBlock));
    return b;
}

bool endCheck(FuzzyKernel* kernel)
{
    if (kernel->findings)
        return false;
    kernel->findings = 0;
    return true;
}

bool nameUsedBefore(FuzzyVariable* list, FuzzyVariable* stop, const char* name)
{
    for (FuzzyVariable* v = list; v && v != stop; v = v->next)
        if (v->name && name && strcmp(v->name, name) == 0)
            return true;
    return false;
}

bool memberNamed(FuzzyVariable* v, const char* name)
{
    for (FuzzyMember* m = v->members; m; m = m->next)
        if (m->name && strcmp(m->name, name) == 0)
            return true;
    return false;
}

// Gives a variable or member set that repeats an earlier name a new one: the
// stem and the next number that no name of the scope has. A mended fault:
// the number was written as a number text ("Input1."), a name the fuzzy text
// cannot read back, and it could repeat a name of the block.
template <typename Taken>
void rename(FuzzyKernel* kernel, const FuzzyCheckTexts& texts, char** name, const char* stem, int* counter,
            Taken taken)
{
    std::string fresh;
    do
        fresh = stem + std::to_string(++*counter);
    while (taken(fresh.c_str()));
    if (kernel->findings >= kListedRenames)
        addFinding(kernel, texts, ".");
    else
        addFinding(kernel, texts, std::string(*name ? *name : "") + getResString(texts.renamedTo) + fresh + " !\n");
    free(*name);
    *name = fuzzyCopyText(fresh.c_str());
}

// Inputs and outputs share one scope of names.
void renameVariable(FuzzyKernel* kernel, const FuzzyCheckTexts& texts, FuzzyBlock* b, FuzzyVariable* v,
                    const char* stem, int* counter)
{
    rename(kernel, texts, &v->name, stem, counter, [b](const char* candidate) {
        return nameUsedBefore(b->inputs, nullptr, candidate) || nameUsedBefore(b->outputs, nullptr, candidate);
    });
}

// The sets of one variable form the scope of their names.
void checkMemberNames(FuzzyKernel* kernel, const FuzzyCheckTexts& texts, FuzzyVariable* v, int* counter)
{
    for (FuzzyMember* m = v->members; m; m = m->next)
        for (FuzzyMember* e = v->members; e != m; e = e->next)
            if (e->name && m->name && strcmp(e->name, m->name) == 0) {
                rename(kernel, texts, &m->name, "Mem", counter,
                       [v](const char* candidate) { return memberNamed(v, candidate); });
                break;
            }
}

// A premise or a conclusion names a variable of the list and one of its sets.
void checkVariableAndSet(FuzzyKernel* kernel, const FuzzyCheckTexts& texts, FuzzyVariable* list, const char* var,
                         const char* term, unsigned int unknownVariable, unsigned int setOf)
{
    FuzzyVariable* v = findVariable(list, var);
    if (!v)
        addFinding(kernel, texts, getResString(unknownVariable) + std::string(var) + "\" !");
    else if (!findMember(v, term))
        addFinding(kernel, texts, getResString(texts.unknownSet) + std::string(term) + getResString(setOf) + var +
                                      "\" !");
}

// The comparisons from left to right.
void checkPremiseNames(FuzzyKernel* kernel, const FuzzyCheckTexts& texts, FuzzyBlock* b, FuzzyPremise* premise)
{
    forEachComparison(static_cast<const FuzzyPremise*>(premise), [&](const FuzzyPremise* p) {
        const char* var = p->left && p->left->name ? p->left->name : "";
        const char* term = p->right && p->right->name ? p->right->name : "";
        checkVariableAndSet(kernel, texts, b->inputs, var, term, texts.unknownInput, texts.setOfInput);
    });
}

} // namespace

bool checkFuzzyBlock(FuzzyKernel* kernel, const FuzzyCheckTexts& texts)
{
    FuzzyBlock* b = startCheck(kernel, texts);
    if (!b)
        return false;
    int inputCount = 0, outputCount = 0, memberCount = 0;
    for (FuzzyVariable* v = b->inputs; v; v = v->next) {
        if (nameUsedBefore(b->inputs, v, v->name))
            renameVariable(kernel, texts, b, v, "Input", &inputCount);
        checkMemberNames(kernel, texts, v, &memberCount);
    }
    for (FuzzyVariable* v = b->outputs; v; v = v->next) {
        if (nameUsedBefore(b->inputs, nullptr, v->name) || nameUsedBefore(b->outputs, v, v->name))
            renameVariable(kernel, texts, b, v, "Output", &outputCount);
        checkMemberNames(kernel, texts, v, &memberCount);
    }
    if (!b->inputs)
        addFinding(kernel, texts, getResString(texts.noInputs));
    if (!b->outputs)
        addFinding(kernel, texts, getResString(texts.noOutputs));
    // Lists built before the check name the variables through these pointers.
    for (FuzzyIoNode* list : {kernel->getInputs(), kernel->getOutputs()})
        for (FuzzyIoNode* n = list; n; n = n->next)
            n->name = n->variable->name;
    return endCheck(kernel);
}

bool checkFuzzyCompleteness(FuzzyKernel* kernel, const FuzzyCheckTexts& texts)
{
    FuzzyBlock* b = startCheck(kernel, texts);
    if (!b)
        return false;
    if (!b->config)
        addFinding(kernel, texts, getResString(texts.noConfiguration));
    if (!b->inputs)
        addFinding(kernel, texts, getResString(texts.noInputList));
    if (!b->outputs)
        addFinding(kernel, texts, getResString(texts.noOutputList));
    if (!b->rules) {
        addFinding(kernel, texts, getResString(texts.noRuleBase));
        addFinding(kernel, texts, getResString(texts.noRulesAtRules));
    }
    for (FuzzyRuleNode* n = b->rules; n; n = n->next) {
        FuzzyRule* r = n->rule;
        if (!r)
            continue;
        if (FuzzyConclusion* c = r->conclusion) {
            const char* out = c->output ? c->output : "";
            const char* term = c->term ? c->term : "";
            checkVariableAndSet(kernel, texts, b->outputs, out, term, texts.unknownOutput, texts.setOfOutput);
        }
        checkPremiseNames(kernel, texts, b, r->premise);
    }
    return endCheck(kernel);
}

namespace {

char* heapText(const std::string& s)
{
    return fuzzyCopyText(s.c_str(), s.size());
}

std::string joinNames(FuzzyVariable* list)
{
    std::string s;
    for (FuzzyVariable* v = list; v; v = v->next) {
        if (v != list)
            s += ", ";
        s += v->name ? v->name : "";
    }
    return s;
}

} // namespace

char* dumpFuzzyConfiguration(FuzzyKernel* kernel)
{
    std::string s = "AND: min\nOR: max\nINFERENCE: ";
    s += kernel->getInference() == FZ_INFERENCE_MAX_MIN ? "max_min\n" : "max_prod\n";
    s += "DEFUZZIFICATION: ";
    s += kernel->getDefuzzification() == FZ_DEFUZZ_MAX ? "maxim\n" : "centroid\n";
    return heapText(s);
}

char* dumpFuzzyInputNames(FuzzyKernel* kernel)
{
    FuzzyBlock* b = kernel->getBlock();
    return heapText("INPUTS: " + joinNames(b ? b->inputs : nullptr));
}

char* dumpFuzzyOutputNames(FuzzyKernel* kernel)
{
    FuzzyBlock* b = kernel->getBlock();
    return heapText("OUTPUTS: " + joinNames(b ? b->outputs : nullptr));
}

char* dumpFuzzyMembers(FuzzyKernel* kernel, const char* variable)
{
    FuzzyBlock* b = kernel->getBlock();
    if (!b)
        return nullptr;
    FuzzyVariable* v = findInputOrOutput(b, variable);
    if (!v)
        return nullptr;
    std::string s = std::string(v->name) + ":\n\tXMIN: " + (v->xmin ? v->xmin : "") +
                    "\n\tXMAX: " + (v->xmax ? v->xmax : "") + "\n\t";
    for (FuzzyMember* m = v->members; m; m = m->next) {
        if (m != v->members)
            s += ", ";
        s += m->name ? m->name : "";
    }
    return heapText(s);
}

char* dumpFuzzyMemberParameters(FuzzyKernel* kernel, const char* member, const char* variable)
{
    FuzzyBlock* b = kernel->getBlock();
    if (!b)
        return nullptr;
    FuzzyMember* m = findMember(findInputOrOutput(b, variable), member);
    if (!m || !m->set)
        return nullptr;
    std::string s = std::string(m->name) + ": ";
    auto t = [&](int i) { return std::string(m->set->text[i] ? m->set->text[i] : ""); };
    if (m->set->shape == FZ_SHAPE_SINGLETON)
        s += "\n\tSingleton: " + t(0);
    else
        s += "\n\tTrapez: " + t(0) + ", " + t(1) + ", " + t(2) + ", " + t(3);
    return heapText(s + "\n");
}

char* dumpFuzzyCertaintyFactors(FuzzyKernel* kernel)
{
    std::string s;
    int i = 0;
    for (FuzzyRuleNode* n = kernel->getRules(); n; n = n->next, ++i) {
        s += std::to_string(i) + " : ";
        s += n->rule && n->rule->cfText ? n->rule->cfText : " 1";
        s += "\n";
    }
    return heapText(s);
}

void freeFuzzyBlock(FuzzyKernel* kernel)
{
    delete kernel;
}
