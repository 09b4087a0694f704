#include "ResString.h"

#include "CheckedHeap.h"
#include "String.h"

#include <cstdlib>
#include <cstring>

namespace {

struct CacheNode {
    CacheNode* next;
    unsigned int id;
    char* text;
};

CacheNode* cacheHead = nullptr;

int compiledTableLoader(const ResourceId& id, char* buf, int maxLen)
{
    const char* t = lookupCompiledString(id.id & 0xFFFFu);
    if (!t || maxLen <= 0)
        return 0;
    int n = static_cast<int>(strnlen(t, static_cast<size_t>(maxLen)));
    memcpy(buf, t, static_cast<size_t>(n));
    buf[n] = 0;
    return n;
}

ResourceStringLoader currentLoader = compiledTableLoader;

} // namespace

void setResourceStringLoader(ResourceStringLoader loader)
{
    currentLoader = loader ? loader : compiledTableLoader;
}

ResourceStringLoader getResourceStringLoader()
{
    return currentLoader;
}

const char* getResString(unsigned int id)
{
    for (CacheNode* n = cacheHead; n; n = n->next)
        if (n->id == id)
            return n->text;
    String s(ResourceId(id), kMaxResString);
    CacheNode* node = static_cast<CacheNode*>(CheckedAlloc(sizeof(CacheNode)));
    unsigned int len = s.getLength();
    node->text = static_cast<char*>(CheckedAlloc(len + 1));
    memcpy(node->text, s.text(), len + 1);
    node->id = id;
    node->next = cacheHead;
    cacheHead = node;
    return node->text;
}

void freeResStringCache()
{
    while (cacheHead) {
        CacheNode* n = cacheHead;
        cacheHead = n->next;
        free(n->text);
        free(n);
    }
}
