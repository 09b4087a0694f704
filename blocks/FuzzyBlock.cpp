#include "FuzzyBlock.h"

#include "FuzzyKernel.h"

#include "CheckedHeap.h"
#include "NumberFormat.h"

#include <cstdlib>
#include <cstring>
#include <vector>

const char* const kFuzzyColorNames[kFuzzyColorCount] = {
    "green", "cyan", "brown", "grey", "magenta", "blue", "black", "red"
};

char* fuzzyCopyText(const char* s, size_t n)
{
    char* t = static_cast<char*>(CheckedAlloc(n + 1));
    if (n)
        memcpy(t, s, n);
    t[n] = 0;
    return t;
}

char* fuzzyCopyText(const char* s)
{
    return s ? fuzzyCopyText(s, strlen(s)) : nullptr;
}

double fuzzyTextValue(const char* text)
{
    if (!text)
        return 0.0;
    // parseNumber would also take "inf" and "nan"; a number text starts with
    // a digit or a point after its blanks and sign.
    const char* s = text;
    while (*s == ' ' || *s == '\t')
        ++s;
    if (*s == '+' || *s == '-')
        ++s;
    if (!(*s >= '0' && *s <= '9') && !(*s == '.' && s[1] >= '0' && s[1] <= '9'))
        return 0.0;
    double v = 0.0;
    if (!parseNumber(text, &v))
        return 0.0;
    return v;
}

namespace {

template <class T>
T* newRecord()
{
    return static_cast<T*>(checkedCalloc(sizeof(T)));
}

} // namespace

FuzzyPremise* makeLogicNode(const char* op, FuzzyPremise* left, FuzzyPremise* right)
{
    FuzzyPremise* p = newRecord<FuzzyPremise>();
    if (strcmp(op, "NOT") == 0) {
        p->kind = FZ_PREMISE_NOT;
        // NOT keeps its only operand on the right, whichever side it came on.
        p->right = right ? right : left;
        if (right && left)
            freePremise(left);
    } else {
        p->kind = strcmp(op, "OR") == 0 ? FZ_PREMISE_OR : FZ_PREMISE_AND;
        p->left = left;
        p->right = right;
    }
    return p;
}

FuzzyPremise* makeCompareNode(const char*, char* variable, char* term)
{
    FuzzyPremise* p = newRecord<FuzzyPremise>();
    p->kind = FZ_PREMISE_COMPARE;
    p->left = newRecord<FuzzyPremise>();
    p->left->kind = FZ_PREMISE_NAME;
    p->left->name = variable;
    p->right = newRecord<FuzzyPremise>();
    p->right->kind = FZ_PREMISE_NAME;
    p->right->name = term;
    return p;
}

FuzzyConclusion* makeConclusion(char* output, char* term)
{
    FuzzyConclusion* c = newRecord<FuzzyConclusion>();
    c->output = output;
    c->term = term;
    return c;
}

FuzzyRule* makeRule(FuzzyPremise* premise, FuzzyConclusion* conclusion, char* cfText)
{
    FuzzyRule* r = newRecord<FuzzyRule>();
    r->premise = premise;
    r->conclusion = conclusion;
    r->cfText = cfText;
    r->cf = 1.0;
    return r;
}

FuzzyRuleNode* newNameList(FuzzyRule* rule)
{
    FuzzyRuleNode* n = newRecord<FuzzyRuleNode>();
    n->rule = rule;
    return n;
}

FuzzyRuleNode* appendNameList(FuzzyRuleNode* list, FuzzyRule* rule)
{
    FuzzyRuleNode* n = newNameList(rule);
    if (!list)
        return n;
    FuzzyRuleNode* last = list;
    while (last->next)
        last = last->next;
    last->next = n;
    return list;
}

FuzzyConfiguration* makeConfiguration(char* andWord, char* orWord, char* inferenceWord,
                                      char* defuzzificationWord)
{
    FuzzyConfiguration* c = newRecord<FuzzyConfiguration>();
    if (inferenceWord) {
        if (strstr(inferenceWord, "max_prod"))
            c->inference = FZ_INFERENCE_MAX_PROD;
        else if (strstr(inferenceWord, "max_min"))
            c->inference = FZ_INFERENCE_MAX_MIN;
    }
    if (defuzzificationWord) {
        if (strstr(defuzzificationWord, "centroid"))
            c->defuzzification = FZ_DEFUZZ_CENTROID;
        else if (strstr(defuzzificationWord, "max"))
            c->defuzzification = FZ_DEFUZZ_MAX;
    }
    free(andWord);
    free(orWord);
    free(inferenceWord);
    free(defuzzificationWord);
    return c;
}

FuzzyPosition* makeNamedValue(char* first, char* second)
{
    if (!second) {
        free(first);
        return nullptr;
    }
    FuzzyPosition* p = newRecord<FuzzyPosition>();
    p->first = first;
    p->second = second;
    return p;
}

int colorIndex(char* word)
{
    int index = kFuzzyNoColor;
    for (int i = 0; word && i < kFuzzyColorCount; ++i)
        if (strcmp(word, kFuzzyColorNames[i]) == 0)
            index = i;
    free(word);
    return index;
}

FuzzyMemberSet* makeMember(const char* shapeWord, char* a, char* b, char* c, char* d)
{
    FuzzyMemberSet* s = newRecord<FuzzyMemberSet>();
    s->shape = strcmp(shapeWord, "SINGLETON") == 0 ? FZ_SHAPE_SINGLETON : FZ_SHAPE_TRAPEZ;
    s->text[0] = a;
    s->text[1] = b;
    s->text[2] = c;
    s->text[3] = d;
    return s;
}

FuzzyMember* appendMember(FuzzyMember* list, char* name, FuzzyMemberSet* set, int color,
                          FuzzyPosition* position)
{
    FuzzyMember* m = newRecord<FuzzyMember>();
    m->name = name;
    m->set = set;
    m->color = color;
    m->position = position;
    if (!list)
        return m;
    FuzzyMember* last = list;
    while (last->next)
        last = last->next;
    last->next = m;
    return list;
}

FuzzyVariable* makeVariable(char* name, char* xmin, char* xmax, char* grid, FuzzyMember* members)
{
    FuzzyVariable* v = newRecord<FuzzyVariable>();
    v->name = name;
    v->xmin = xmin;
    v->xmax = xmax;
    v->grid = grid;
    v->members = members;
    return v;
}

FuzzyVariable* appendVariable(FuzzyVariable* list, FuzzyVariable* variable)
{
    if (!list)
        return variable;
    FuzzyVariable* last = list;
    while (last->next)
        last = last->next;
    last->next = variable;
    return list;
}

FuzzyBlock* FuzzyBlock::finish(FuzzyKernel* kernel, char* name, FuzzyConfiguration* config,
                               FuzzyVariable* inputs, FuzzyVariable* outputs, FuzzyRuleNode* rules,
                               char* comment)
{
    FuzzyBlock* b = newRecord<FuzzyBlock>();
    b->name = name;
    b->config = config;
    b->inputs = inputs;
    b->outputs = outputs;
    b->rules = rules;
    b->comment = comment;
    for (FuzzyVariable* list : {inputs, outputs})
        for (FuzzyVariable* v = list; v; v = v->next)
            for (FuzzyMember* m = v->members; m; m = m->next)
                if (m->set)
                    for (int i = 0; i < 4; ++i)
                        m->set->value[i] = fuzzyTextValue(m->set->text[i]);
    if (kernel)
        kernel->setBlock(b);
    return b;
}

void freePremise(FuzzyPremise* p)
{
    // In a loop: a premise read from a text may chain any number of ORs.
    std::vector<FuzzyPremise*> pending;
    while (p || !pending.empty()) {
        if (!p) {
            p = pending.back();
            pending.pop_back();
        }
        if (p->right)
            pending.push_back(p->right);
        FuzzyPremise* left = p->left;
        free(p->name);
        free(p);
        p = left;
    }
}

void freeConclusion(FuzzyConclusion* c)
{
    if (!c)
        return;
    free(c->output);
    free(c->term);
    free(c);
}

void freeRule(FuzzyRule* r)
{
    if (!r)
        return;
    freePremise(r->premise);
    freeConclusion(r->conclusion);
    free(r->cfText);
    free(r);
}

void freeRuleList(FuzzyRuleNode* list)
{
    while (list) {
        FuzzyRuleNode* next = list->next;
        freeRule(list->rule);
        free(list);
        list = next;
    }
}

void freeConfiguration(FuzzyConfiguration* c)
{
    free(c);
}

void freePosition(FuzzyPosition* p)
{
    if (!p)
        return;
    free(p->first);
    free(p->second);
    free(p);
}

void freeMemberSet(FuzzyMemberSet* s)
{
    if (!s)
        return;
    for (int i = 0; i < 4; ++i)
        free(s->text[i]);
    free(s);
}

void freeMembers(FuzzyMember* list)
{
    while (list) {
        FuzzyMember* next = list->next;
        free(list->name);
        freeMemberSet(list->set);
        freePosition(list->position);
        free(list);
        list = next;
    }
}

void freeVariables(FuzzyVariable* list)
{
    while (list) {
        FuzzyVariable* next = list->next;
        free(list->name);
        free(list->xmin);
        free(list->xmax);
        free(list->grid);
        freeMembers(list->members);
        free(list);
        list = next;
    }
}

void freeBlockRecord(FuzzyBlock* block)
{
    if (!block)
        return;
    free(block->name);
    free(block->comment);
    freeConfiguration(block->config);
    freeVariables(block->inputs);
    freeVariables(block->outputs);
    freeRuleList(block->rules);
    free(block);
}

FuzzyVariable* findVariable(FuzzyVariable* list, const char* name)
{
    for (FuzzyVariable* v = list; v; v = v->next)
        if (name && v->name && strcmp(v->name, name) == 0)
            return v;
    return nullptr;
}

FuzzyMember* findMember(FuzzyVariable* variable, const char* name)
{
    if (!variable)
        return nullptr;
    for (FuzzyMember* m = variable->members; m; m = m->next)
        if (name && m->name && strcmp(m->name, name) == 0)
            return m;
    return nullptr;
}
