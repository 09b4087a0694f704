#include "Collections.h"

#include <new>

NodePool::NodePool(size_t size, int blocks) : nodeSize(size), blockCount(blocks), live(0)
{
}

void* NodePool::allocate()
{
    // One heap block per node: a freed node is then seen by the heap checks
    // of the sanitizer build, which a private free list would hide.
    void* block = ::operator new(nodeSize, std::nothrow);
    if (block)
        ++live;
    return block;
}

void NodePool::release(void* block)
{
    if (!block)
        return;
    --live;
    ::operator delete(block);
}

// ---------------------------------------------------------------- DListNode

NodePool& DListNode::pool()
{
    static NodePool nodes(sizeof(DListNode), 400);
    return nodes;
}

DListNode* DListNode::create(void* item)
{
    void* block = pool().allocate();
    if (!block)
        return nullptr;
    DListNode* node = new (block) DListNode;
    node->item = item;
    return node;
}

void DListNode::destroy(DListNode* node)
{
    if (!node)
        return;
    node->~DListNode();
    pool().release(node);
}

void DListNode::linkAfter(DListNode* node)
{
    next = node->next;
    previous = node;
    node->next->previous = this;
    node->next = this;
    refCount = 0;
}

void DListNode::unlink()
{
    previous->next = next;
    next->previous = previous;
    next = this;
    previous = this;
}

// ---------------------------------------------------------------- DList

DList::~DList()
{
    DListNode* node = sentinel.next;
    while (node != &sentinel) {
        DListNode* following = node->next;
        DListNode::destroy(node);
        node = following;
    }
    sentinel.next = sentinel.previous = &sentinel;
}

DListNode* DList::prepend(void* item)
{
    DListNode* node = DListNode::create(item);
    if (node)
        node->linkAfter(&sentinel);
    return node;
}

DListNode* DList::append(void* item)
{
    DListNode* node = DListNode::create(item);
    if (node)
        node->linkAfter(sentinel.previous);
    return node;
}

int DList::remove(void* item)
{
    DListIterator walk(*this);
    while (void* p = walk.next()) {
        if (p == item) {
            walk.removeCurrent();
            return 1;
        }
    }
    return 0;
}

DListNode* DList::find(void* item)
{
    for (DListNode* node = sentinel.next; node != &sentinel; node = node->next)
        if (!node->removed && node->item == item)
            return node;
    return nullptr;
}

int DList::count() const
{
    int n = 0;
    for (const DListNode* node = sentinel.next; node != &sentinel; node = node->next)
        if (!node->removed)
            ++n;
    return n;
}

void* DList::first() const
{
    for (const DListNode* node = sentinel.next; node != &sentinel; node = node->next)
        if (!node->removed)
            return node->item;
    return nullptr;
}

// ---------------------------------------------------------------- DListIterator

void* DListIterator::next()
{
    DListNode* sentinel = list->sentinelNode();
    if (!current) {
        current = sentinel;
        ++current->refCount;
    }
    do {
        DListNode* node = current;
        --node->refCount;
        if (node->removed && node->refCount == 0) {
            current = node->next;
            node->unlink();
            DListNode::destroy(node);
        } else {
            current = node->next;
        }
        ++current->refCount;
    } while (current->removed && current != sentinel);
    return current == sentinel ? nullptr : current->item;
}

void DListIterator::removeCurrent()
{
    if (current && current != list->sentinelNode())
        current->removed = 1;
}

void DListIterator::release()
{
    if (!current)
        return;
    DListNode* node = current;
    current = nullptr;
    --node->refCount;
    if (node->removed && node->refCount == 0) {
        node->unlink();
        DListNode::destroy(node);
    }
}

void DListIterator::reset()
{
    release();
}

// ---------------------------------------------------------------- SList

NodePool& SList::pool()
{
    static NodePool nodes(sizeof(SList::Node), 400);
    return nodes;
}

SList::SList(void* item) : tail(nullptr), count(0)
{
    append(item);
}

SList::~SList()
{
    while (tail)
        removeFirst();
}

int SList::prepend(void* item)
{
    Node* node = static_cast<Node*>(pool().allocate());
    if (!node)
        return 0;
    node->item = item;
    if (tail) {
        node->next = tail->next;
        tail->next = node;
    } else {
        node->next = node;
        tail = node;
    }
    ++count;
    return 1;
}

int SList::append(void* item)
{
    if (!prepend(item))
        return 0;
    // The new head becomes the tail: one step further round the ring.
    tail = tail->next;
    return 1;
}

void* SList::removeFirst()
{
    if (!tail)
        return nullptr;
    Node* head = tail->next;
    void* item = head->item;
    if (head == tail)
        tail = nullptr;
    else
        tail->next = head->next;
    pool().release(head);
    --count;
    return item;
}

int SList::concat(SList& other)
{
    if (!other.tail)
        return 1;
    if (!tail) {
        tail = other.tail;
    } else {
        Node* head = tail->next;
        tail->next = other.tail->next;
        other.tail->next = head;
        tail = other.tail;
    }
    count += other.count;
    other.tail = nullptr;
    other.count = 0;
    return 1;
}

void* SList::itemAt(int index) const
{
    if (!tail || index < 0)
        return nullptr;
    Node* node = tail->next;
    for (int i = 0; i < index; ++i) {
        if (node == tail)
            return nullptr;
        node = node->next;
    }
    return node->item;
}

void* SListIterator::next()
{
    if (!tail)
        return nullptr;
    if (!current)
        current = tail->next;
    else if (current == tail)
        return nullptr;
    else
        current = current->next;
    void* item = current->item;
    return item;
}

// ---------------------------------------------------------------- LinkList

void LinkList::append(Link* link)
{
    link->previous = head.previous;
    link->next = &head;
    head.previous->next = link;
    head.previous = link;
    ++count;
}

int LinkList::remove(void* item)
{
    for (Link* link = head.next; link != &head; link = link->next) {
        if (link->item == item) {
            link->previous->next = link->next;
            link->next->previous = link->previous;
            --count;
            delete link;
            return 1;
        }
    }
    return 0;
}

void* LinkList::itemAt(int index) const
{
    if (index < 0 || index >= count)
        return nullptr;
    const Link* link = head.next;
    for (int i = 0; i < index; ++i)
        link = link->next;
    return link->item;
}

void LinkList::clear(int deleteItems)
{
    Link* link = head.next;
    while (link != &head) {
        Link* following = link->next;
        if (deleteItems)
            destroyItem(link->item);
        delete link;
        link = following;
    }
    head.next = head.previous = &head;
    count = 0;
}

void* LinkListIterator::next()
{
    current = direction ? current->previous : current->next;
    return current == &list->head ? nullptr : current->item;
}

int LinkListIterator::seek(int index)
{
    if (index < 0 || index >= list->count)
        return 0;
    Link* link = list->head.next;
    for (int i = 0; i < index; ++i)
        link = link->next;
    current = link;
    return 1;
}

int LinkListIterator::find(void* wanted)
{
    for (Link* link = list->head.next; link != &list->head; link = link->next) {
        if (link->item == wanted) {
            current = link;
            return 1;
        }
    }
    return 0;
}

void LinkListIterator::remove()
{
    if (current == &list->head)
        return;
    Link* gone = current;
    current = direction ? gone->next : gone->previous;
    gone->previous->next = gone->next;
    gone->next->previous = gone->previous;
    --list->count;
    delete gone;
}
