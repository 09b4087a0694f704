#include "SignalNameRegistry.h"

#include "ElementDestroy.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

SignalNameRegistry* sNBase = nullptr;

namespace {

const char kAutomaticPrefix[] = "Sig ";

// The number of an automatic name "Sig n", or -1.
int automaticNumber(const char* text)
{
    size_t len = strlen(kAutomaticPrefix);
    if (strncmp(text, kAutomaticPrefix, len) != 0)
        return -1;
    const char* digits = text + len;
    if (!*digits || strlen(digits) > 9)
        return -1;
    for (const char* p = digits; *p; ++p)
        if (*p < '0' || *p > '9')
            return -1;
    return atoi(digits);
}

} // namespace

SignalNameRegistry::SignalNameRegistry() : names(deleteStringElement), counter(1) {}

SignalNameRegistry::~SignalNameRegistry() = default;

String* SignalNameRegistry::add(const char* name)
{
    std::string candidate;
    if (!name) {
        do {
            candidate = kAutomaticPrefix + std::to_string(counter);
            ++counter;
        } while (contains(candidate.c_str()));
    } else {
        candidate = name;
        for (int i = 1; contains(candidate.c_str()); ++i)
            candidate = std::string(name) + "_" + std::to_string(i);
    }
    String* s = new String(candidate.c_str());
    names.AddTail(s);
    return s;
}

void SignalNameRegistry::remove(String* name)
{
    for (AList<String*>::Position p = names.GetHeadPosition(); p; p = names.GetNext(p)) {
        if (names.GetAt(p) != name)
            continue;
        if (automaticNumber(name->text()) == counter - 1)
            --counter;
        names.RemoveAt(p);
        return;
    }
}

int SignalNameRegistry::contains(const char* text) const
{
    const char* t = text ? text : "";
    for (AList<String*>::Position p = names.GetHeadPosition(); p; p = names.GetNext(p))
        if (strcmp(names.GetAt(p)->text(), t) == 0)
            return 1;
    return 0;
}

int SignalNameRegistry::rename(const char* oldText, const char* newText)
{
    const char* o = oldText ? oldText : "";
    const char* n = newText ? newText : "";
    if (strcmp(o, n) == 0)
        return 1;
    if (contains(n))
        return 0;
    for (AList<String*>::Position p = names.GetHeadPosition(); p; p = names.GetNext(p)) {
        String* s = names.GetAt(p);
        if (strcmp(s->text(), o) == 0) {
            *s = n;
            return 1;
        }
    }
    return 0;
}

int SignalNameRegistry::count() const
{
    int n = 0;
    for (AList<String*>::Position p = names.GetHeadPosition(); p; p = names.GetNext(p))
        ++n;
    return n;
}

String SignalNameRegistry::nameAt(int i) const
{
    for (AList<String*>::Position p = names.GetHeadPosition(); p; p = names.GetNext(p))
        if (i-- == 0)
            return *names.GetAt(p);
    return String();
}
