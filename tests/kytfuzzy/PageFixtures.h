// Small fuzzy-block records for the page and graphic tests, owned by the
// fixture and freed with it.
#ifndef KYT_TESTS_KYTFUZZY_PAGEFIXTURES_H
#define KYT_TESTS_KYTFUZZY_PAGEFIXTURES_H

#include "FuzzyBlock.h"

#include <cstdlib>
#include <initializer_list>
#include <string>

inline char* copyOrNull(const char* s)
{
    return s ? fuzzyCopyText(s) : nullptr;
}

// A member set from its parameter texts ("TRAPEZ" with four, "SINGLETON" with one).
inline FuzzyMember* makeTestMember(const char* name, const char* shape, std::initializer_list<const char*> texts,
                                   int colour = 1)
{
    const char* t[4] = {nullptr, nullptr, nullptr, nullptr};
    int i = 0;
    for (const char* s : texts)
        t[i++] = s;
    FuzzyMemberSet* set = makeMember(shape, copyOrNull(t[0]), copyOrNull(t[1]), copyOrNull(t[2]), copyOrNull(t[3]));
    for (int k = 0; k < 4; ++k)
        set->value[k] = fuzzyTextValue(set->text[k]);
    return appendMember(nullptr, fuzzyCopyText(name), set, colour, nullptr);
}

inline FuzzyVariable* makeTestVariable(const char* name, const char* xmin, const char* xmax, const char* grid)
{
    return makeVariable(fuzzyCopyText(name), copyOrNull(xmin), copyOrNull(xmax), copyOrNull(grid), nullptr);
}

inline void addTestMember(FuzzyVariable* v, FuzzyMember* m)
{
    if (!v->members) {
        v->members = m;
        return;
    }
    FuzzyMember* last = v->members;
    while (last->next)
        last = last->next;
    last->next = m;
}

struct MemberHolderGuard {
    FuzzyMember* member;
    explicit MemberHolderGuard(FuzzyMember* m) : member(m) {}
    ~MemberHolderGuard() { freeMembers(member); }
    MemberHolderGuard(const MemberHolderGuard&) = delete;
    MemberHolderGuard& operator=(const MemberHolderGuard&) = delete;
};

// A block record without configuration or rules.
struct TestBlock {
    FuzzyBlock block = {};
    ~TestBlock()
    {
        freeVariables(block.inputs);
        freeVariables(block.outputs);
        free(block.comment);
        free(block.name);
    }
    FuzzyVariable* addInput(FuzzyVariable* v)
    {
        block.inputs = appendVariable(block.inputs, v);
        return v;
    }
    FuzzyVariable* addOutput(FuzzyVariable* v)
    {
        block.outputs = appendVariable(block.outputs, v);
        return v;
    }
};

inline std::string names(const FuzzyVariable* list)
{
    std::string s;
    for (; list; list = list->next)
        s += std::string(s.empty() ? "" : " ") + list->name;
    return s;
}

#endif
