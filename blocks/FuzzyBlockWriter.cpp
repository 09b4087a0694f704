#include "FuzzyBlockWriter.h"

#include "FileLayer.h"
#include "String.h"
#include "YaccParser.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class TextWriter {
public:
    TextWriter(FILE* f, bool prefix) : stream(f), hashPrefix(prefix), ok(true) {}

    // One line; "" gives the blank separator line ("#" alone in prefix mode).
    void line(const std::string& s)
    {
        std::string out = hashPrefix ? "#" + s : s;
        out += '\n';
        put(out);
    }

    // Free text whose lines each get the prefix; a last line feed is added
    // when the text lacks one. The editor keeps its text with CR LF: its line
    // ends become the writer's own, so the file has one kind throughout.
    void text(const char* s)
    {
        std::string out;
        bool lineStart = true;
        for (const char* p = s; *p; ++p) {
            if (*p == '\r' && p[1] == '\n')
                continue;
            if (lineStart && hashPrefix)
                out += '#';
            out += *p == '\r' ? '\n' : *p;
            lineStart = *p == '\n' || *p == '\r';
        }
        if (!lineStart || out.empty()) {
            if (out.empty() && hashPrefix)
                out += '#';
            out += '\n';
        }
        put(out);
    }

    bool good() const { return ok; }

private:
    void put(const std::string& s)
    {
        if (ok && fwrite(s.data(), 1, s.size(), stream) != s.size())
            ok = false;
    }

    FILE* stream;
    bool hashPrefix;
    bool ok;
};

std::string str(const char* s)
{
    return s ? s : "";
}

// The operands of a chain of one operator as the reader builds it from the
// left (a AND b AND c is (a AND b) AND c): the first operand, then the
// others in written order.
void chainOperands(const FuzzyPremise* p, const FuzzyPremise** first, std::vector<const FuzzyPremise*>& others)
{
    const int kind = p->kind;
    for (; p && p->kind == kind; p = p->left)
        others.push_back(p->right);
    *first = p;
    std::reverse(others.begin(), others.end());
}

// Deepest nesting of parentheses in the fully parenthesised text.
int nestingDepth(const FuzzyPremise* p)
{
    if (!p)
        return 0;
    switch (p->kind) {
    case FZ_PREMISE_COMPARE:
        return 1;
    case FZ_PREMISE_AND:
    case FZ_PREMISE_OR: {
        const FuzzyPremise* first = nullptr;
        std::vector<const FuzzyPremise*> others;
        chainOperands(p, &first, others);
        // The first operand sits inside one parenthesis per operator.
        int n = static_cast<int>(others.size());
        int depth = n + nestingDepth(first);
        for (int i = 0; i < n; ++i)
            depth = std::max(depth, n - i + nestingDepth(others[static_cast<size_t>(i)]));
        return depth;
    }
    case FZ_PREMISE_NOT:
        return 1 + nestingDepth(p->right);
    default:
        return 0;
    }
}

// A premise is written fully parenthesised, every operator with its own
// pair. Read back, each open parenthesis takes a place on the reader's
// stack, so a premise that would nest deeper than this is written with each
// chain of one operator in one pair: (a AND b AND c) reads back as the same
// tree. Walks recurse only into the operands of a chain, as deep as the text
// that was read nests.
const int kFullyParenthesisedDepth = kYaccStackDepth / 2;

void appendPremise(std::string& out, const FuzzyPremise* p, bool full)
{
    if (!p)
        return;
    switch (p->kind) {
    case FZ_PREMISE_COMPARE:
        out += "(" + str(p->left ? p->left->name : nullptr) + "==" + str(p->right ? p->right->name : nullptr) + ")";
        return;
    case FZ_PREMISE_AND:
    case FZ_PREMISE_OR: {
        const char* word = p->kind == FZ_PREMISE_AND ? " AND " : " OR ";
        const FuzzyPremise* first = nullptr;
        std::vector<const FuzzyPremise*> others;
        chainOperands(p, &first, others);
        out.append(full ? others.size() : 1, '(');
        appendPremise(out, first, full);
        for (const FuzzyPremise* o : others) {
            out += word;
            appendPremise(out, o, full);
            if (full)
                out += ")";
        }
        if (!full)
            out += ")";
        return;
    }
    case FZ_PREMISE_NOT:
        out += "NOT (";
        appendPremise(out, p->right, full);
        out += ")";
        return;
    default:
        out += str(p->name);
        return;
    }
}

std::string premiseText(const FuzzyPremise* p)
{
    std::string out;
    appendPremise(out, p, nestingDepth(p) <= kFullyParenthesisedDepth);
    return out;
}

void writeMembers(TextWriter& w, const FuzzyMember* members)
{
    for (const FuzzyMember* m = members; m; m = m->next) {
        w.line("");
        w.line("   MEMBER " + str(m->name) + ";");
        const FuzzyMemberSet* s = m->set;
        if (s && s->shape == FZ_SHAPE_SINGLETON)
            w.line("      SINGLETON " + str(s->text[0]) + ";");
        else if (s)
            w.line("      TRAPEZ " + str(s->text[0]) + ", " + str(s->text[1]) + ", " + str(s->text[2]) + ", " +
                   str(s->text[3]) + ";");
        if (m->color >= 0 && m->color < kFuzzyColorCount)
            w.line(std::string("      COLOR ") + kFuzzyColorNames[m->color] + ";");
        if (m->position) {
            std::string pos = "      POSITION " + str(m->position->first);
            if (m->position->second)
                pos += ", " + str(m->position->second);
            w.line(pos + ";");
        }
        w.line("   ENDMEMBER;");
    }
}

void writeVariables(TextWriter& w, const FuzzyVariable* list, const char* keyword, const char* endKeyword,
                    const char* skeletonName)
{
    if (!list) {
        w.line("");
        w.line(std::string(keyword) + " " + skeletonName + ";");
        w.line("   XMIN 0;");
        w.line("   XMAX 100;");
        w.line("   MEMBER msf1;");
        w.line("      SINGLETON 50;");
        w.line("   ENDMEMBER;");
        w.line(std::string(endKeyword) + ";");
        return;
    }
    for (const FuzzyVariable* v = list; v; v = v->next) {
        w.line("");
        w.line(std::string(keyword) + " " + str(v->name) + ";");
        w.line("   XMIN " + str(v->xmin) + ";");
        w.line("   XMAX " + str(v->xmax) + ";");
        if (v->grid)
            w.line("   GRID " + str(v->grid) + ";");
        writeMembers(w, v->members);
        w.line(std::string(endKeyword) + ";");
    }
}

void writeBlock(TextWriter& w, const FuzzyBlock* b, const char* ruleText)
{
    if (b && b->name)
        w.line("FBLOCK \"" + str(b->name) + "\";");
    else
        w.line("FBLOCK fuzzy;");
    w.line("");

    bool maxMin = b && b->config && b->config->inference == FZ_INFERENCE_MAX_MIN;
    bool maxDefuzz = b && b->config && b->config->defuzzification == FZ_DEFUZZ_MAX;
    w.line("CONFIGURATION;");
    w.line("   AND_METHOD = min;");
    w.line("   OR_METHOD = max;");
    w.line(maxMin ? "   INFERENCE_METHOD = max_min;" : "   INFERENCE_METHOD = max_prod;");
    w.line(maxDefuzz ? "   DEFUZZIFICATION_METHOD = max;" : "   DEFUZZIFICATION_METHOD = centroid;");
    w.line("ENDCONFIGURATION;");

    writeVariables(w, b ? b->inputs : nullptr, "INPUTVAR", "ENDINPUTVAR", "in1");
    writeVariables(w, b ? b->outputs : nullptr, "OUTPUTVAR", "ENDOUTPUTVAR", "out1");

    w.line("");
    w.line("RULEBASE;");
    const FuzzyRuleNode* rules = b ? b->rules : nullptr;
    if (!rules) {
        w.line("   IF (in1==msf1) THEN out1=msf1;");
    } else if (ruleText) {
        w.text(ruleText);
    } else {
        for (const FuzzyRuleNode* n = rules; n; n = n->next) {
            const FuzzyRule* r = n->rule;
            if (!r)
                continue;
            std::string s = "IF " + premiseText(r->premise) + " THEN ";
            if (r->conclusion)
                s += str(r->conclusion->output) + "=" + str(r->conclusion->term);
            if (r->cfText)
                s += " WITH " + str(r->cfText);
            w.line(s + ";");
        }
    }
    w.line("ENDRULEBASE;");
    w.line("");

    if (b && b->comment) {
        w.line("COMMENT " + str(b->comment) + ";");
        w.line("");
    }
    w.line("ENDFBLOCK;");
}

} // namespace

int FuzzyBlockWrite(const FuzzyBlock* block, const char* fileName, const char* ruleText, FILE* stream)
{
    if (stream) {
        TextWriter w(stream, true);
        writeBlock(w, block, ruleText);
        return w.good() && fflush(stream) == 0 && !ferror(stream) ? 1 : 0;
    }
    if (!fileName || !*fileName)
        return 0;

    // The old file stays until the new text is complete on disk.
    bool ok = writeFileChecked(fileName, "wt", [block, ruleText](FILE* f) {
        TextWriter w(f, false);
        writeBlock(w, block, ruleText);
        return w.good() && fflush(f) == 0;
    });
    return ok ? 1 : 0;
}
