#include "ParameterList.h"

#include "CheckedHeap.h"

#include <cstring>

char* copyText(const char* text)
{
    size_t n = strlen(text ? text : "");
    char* p = static_cast<char*>(CheckedAlloc(n + 1));
    memcpy(p, text ? text : "", n + 1);
    return p;
}

ParameterList::ParameterList() : count(0), head(nullptr) {}

ParameterList::~ParameterList()
{
    clear();
}

bool ParameterList::contains(const char* name) const
{
    for (const Record* r = head; r; r = r->next)
        if (strcmp(r->name, name) == 0)
            return true;
    return false;
}

void ParameterList::add(const char* name)
{
    if (!name || contains(name))
        return;
    Record** link = &head;
    // strcmp compares the bytes as unsigned characters: ascending byte order.
    while (*link && strcmp((*link)->name, name) < 0)
        link = &(*link)->next;
    Record* r = static_cast<Record*>(CheckedAlloc(sizeof(Record)));
    r->name = copyText(name);
    r->value = copyText("1.0");
    r->comment = copyText("[?]");
    r->next = *link;
    *link = r;
    ++count;
}

void ParameterList::clear()
{
    while (head) {
        Record* r = head;
        head = r->next;
        freeHook(r->name);
        freeHook(r->value);
        freeHook(r->comment);
        freeHook(r);
    }
    count = 0;
}
