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

// Splits "base_k" (k from 1, at most nine digits) into base and k.
bool splitSuffix(const std::string& text, std::string& base, int& k)
{
    size_t bar = text.rfind('_');
    if (bar == std::string::npos || bar + 1 == text.size() || text.size() - bar - 1 > 9)
        return false;
    for (size_t i = bar + 1; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    base = text.substr(0, bar);
    k = atoi(text.c_str() + bar + 1);
    return k >= 1;
}

} // namespace

SignalNameRegistry::SignalNameRegistry() : names(deleteStringElement), counter(1), size(0) {}

SignalNameRegistry::~SignalNameRegistry() = default;

String* SignalNameRegistry::add(const char* name)
{
    std::string candidate;
    if (!name) {
        do {
            candidate = kAutomaticPrefix + std::to_string(counter);
            ++counter;
        } while (byText.count(candidate));
    } else {
        candidate = name;
        if (byText.count(candidate)) {
            int& next = nextSuffix.emplace(candidate, 1).first->second;
            int i = next;
            while (byText.count(std::string(name) + "_" + std::to_string(i)))
                ++i;
            candidate = std::string(name) + "_" + std::to_string(i);
            next = i + 1;
        }
    }
    String* s = new String(candidate.c_str());
    names.AddTail(s);
    byText[candidate] = s;
    ++size;
    return s;
}

void SignalNameRegistry::released(const std::string& text)
{
    byText.erase(text);
    std::string base;
    int k = 0;
    if (!splitSuffix(text, base, k))
        return;
    auto hint = nextSuffix.find(base);
    if (hint != nextSuffix.end() && hint->second > k)
        hint->second = k;
}

void SignalNameRegistry::remove(String* name)
{
    for (AList<String*>::Position p = names.GetHeadPosition(); p; p = names.GetNext(p)) {
        if (names.GetAt(p) != name)
            continue;
        if (automaticNumber(name->text()) == counter - 1)
            --counter;
        released(name->text());
        --size;
        names.RemoveAt(p);
        return;
    }
}

int SignalNameRegistry::contains(const char* text) const
{
    return byText.count(text ? text : "") ? 1 : 0;
}

int SignalNameRegistry::rename(const char* oldText, const char* newText)
{
    const char* o = oldText ? oldText : "";
    const char* n = newText ? newText : "";
    if (strcmp(o, n) == 0)
        return 1;
    // An empty name would leave its column unnamed.
    if (!*n || contains(n))
        return 0;
    auto entry = byText.find(o);
    if (entry == byText.end())
        return 0;
    String* s = entry->second;
    released(o);
    *s = n;
    byText[n] = s;
    return 1;
}

int SignalNameRegistry::count() const
{
    return size;
}

String SignalNameRegistry::nameAt(int i) const
{
    for (AList<String*>::Position p = names.GetHeadPosition(); p; p = names.GetNext(p))
        if (i-- == 0)
            return *names.GetAt(p);
    return String();
}
