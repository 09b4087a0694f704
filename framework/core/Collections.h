// The framework's own small containers.
//
// DList: a doubly linked list that may change while it is walked. Handler
// lists, children, idle tasks, timers and the window map's buckets are walked
// while the callbacks they hold add or remove entries, even their own. A node
// therefore counts the iterators standing on it; removal during a walk only
// marks the node, and the last iterator to leave it unlinks and frees it.
//
// SList: a circular singly linked list used as a stack and a queue.
//
// LinkList: a list whose head is its own sentinel, with a bidirectional
// iterator, for the status bar, tool bar and table model.
//
// None of the lists deletes its items, except LinkList::clear when asked.
#ifndef KYT_FRAMEWORK_COLLECTIONS_H
#define KYT_FRAMEWORK_COLLECTIONS_H

#include <cstddef>
#include <cstdint>

// Hands out the node blocks of one node type and counts those in use, so that
// a leak of nodes shows in the tests.
class NodePool {
public:
    NodePool(size_t nodeSize, int blockCount);
    void* allocate();
    void release(void* block);
    long inUse() const { return live; }
    size_t getNodeSize() const { return nodeSize; }

private:
    size_t nodeSize;
    int blockCount;
    long live;
};

class DListNode {
public:
    DListNode* next;
    DListNode* previous;
    uint16_t refCount;
    void* item;
    int32_t removed;

    DListNode() : next(this), previous(this), refCount(0), item(nullptr), removed(0) {}

    // Links this node after the given one; the node starts with no iterator on it.
    void linkAfter(DListNode* node);
    // Joins the neighbours of this node.
    void unlink();

    static DListNode* create(void* item);
    static void destroy(DListNode* node);
    static NodePool& pool();
};

class DList {
public:
    DList() {}
    // Frees every node (never the items).
    virtual ~DList();

    // Insertion at the front and at the end; the result is the list position.
    DListNode* prepend(void* item);
    DListNode* append(void* item);
    // Removes the first live entry holding item, with a short walk of its own:
    // when another walk stands on that node, it is freed when that walk leaves
    // it. Returns 1 when an entry was found.
    int remove(void* item);
    // The position of the first live entry holding item, or null.
    DListNode* find(void* item);
    // Number of entries not marked removed.
    int count() const;
    bool isEmpty() const { return count() == 0; }
    void* first() const;

    DListNode* sentinelNode() { return &sentinel; }

private:
    DList(const DList&) = delete;
    DList& operator=(const DList&) = delete;

    DListNode sentinel;
};

class DListIterator {
public:
    explicit DListIterator(DList& list) : current(nullptr), list(&list) {}
    ~DListIterator() { release(); }

    // The item of the next node not marked removed; null at the end.
    void* next();
    // Marks the current node removed; it goes when no walk holds it any more.
    void removeCurrent();
    // Releases the current node and starts again before the first node.
    void reset();
    // The node the iterator stands on (null before the walk, the sentinel at its end).
    DListNode* position() const { return current; }
    // Forgets the walk without touching the nodes, for the case that the
    // list itself was destroyed by the callback the walk was running.
    void abandon() { current = nullptr; }

private:
    DListIterator(const DListIterator&) = delete;
    DListIterator& operator=(const DListIterator&) = delete;

    void release();

    DListNode* current;
    DList* list;
};

// Typed views of the same lists.
template <typename T>
class DListOf : public DList {
public:
    DListNode* prepend(T* item) { return DList::prepend(item); }
    DListNode* append(T* item) { return DList::append(item); }
    int remove(T* item) { return DList::remove(item); }
    DListNode* find(T* item) { return DList::find(item); }
    T* first() const { return static_cast<T*>(DList::first()); }
};

template <typename T>
class DListIteratorOf : public DListIterator {
public:
    explicit DListIteratorOf(DListOf<T>& list) : DListIterator(list) {}
    T* next() { return static_cast<T*>(DListIterator::next()); }
};

class SList {
public:
    struct Node {
        Node* next;
        void* item;
    };

    SList() : tail(nullptr), count(0) {}
    explicit SList(void* item);
    // Frees every node, not the items.
    virtual ~SList();

    // Each returns 1, or 0 when no node could be had.
    int prepend(void* item);
    int append(void* item);
    // The head's item (the node is freed), null when empty.
    void* removeFirst();
    void* first() const { return tail ? tail->next->item : nullptr; }
    // Moves all nodes of other to the end of this list; other becomes empty.
    int concat(SList& other);
    void* itemAt(int index) const;
    int getCount() const { return count; }
    bool isEmpty() const { return tail == nullptr; }
    Node* getTail() const { return tail; }

    static NodePool& pool();

private:
    SList(const SList&) = delete;
    SList& operator=(const SList&) = delete;

    Node* tail;
    int32_t count;
};

class SListIterator {
public:
    explicit SListIterator(const SList& list) : tail(list.getTail()), current(nullptr) {}
    // The next item in ring order from the head, null after the tail.
    void* next();

private:
    SList::Node* tail;
    SList::Node* current;
};

class Link {
public:
    explicit Link(void* linkItem = nullptr) : next(this), previous(this), item(linkItem) {}
    virtual ~Link() {}
    bool operator==(const Link& other) const { return item == other.item; }

    Link* next;
    Link* previous;
    void* item;
};

class LinkList {
public:
    LinkList() : count(0) {}
    virtual ~LinkList() { clear(0); }

    void append(Link* link);
    // 1 when a link with that item was found and removed (the link is deleted).
    int remove(void* item);
    // 0-based; null when out of range.
    void* itemAt(int index) const;
    // Deletes every link, and its item too when deleteItems is set.
    void clear(int deleteItems);
    int getCount() const { return count; }
    Link* getHead() { return &head; }

protected:
    // Deletes one item for clear(1); the typed lists know the item's class.
    virtual void destroyItem(void*) {}

private:
    friend class LinkListIterator;
    LinkList(const LinkList&) = delete;
    LinkList& operator=(const LinkList&) = delete;

    Link head;
    int32_t count;
};

template <typename T>
class LinkListOf : public LinkList {
public:
    ~LinkListOf() override { clear(0); }
    void append(T* item) { LinkList::append(new Link(item)); }
    T* itemAt(int index) const { return static_cast<T*>(LinkList::itemAt(index)); }

protected:
    void destroyItem(void* item) override { delete static_cast<T*>(item); }
};

class LinkListIterator {
public:
    // direction 0 walks forward, anything else backward.
    explicit LinkListIterator(LinkList& list, int direction = 0)
        : list(&list), current(&list.head), direction(direction) {}

    // The item of the next link in the walking direction, null at the head.
    void* next();
    // The current link's item (null before the first step).
    void* item() const { return current->item; }
    Link* currentLink() const { return current; }
    // Makes link index the current one; 0 when index is outside [0, count).
    int seek(int index);
    // Makes the first link holding item the current one; 0 when there is none.
    int find(void* item);
    // Unlinks and deletes the current link and steps back against the walking
    // direction, so that the next step reaches the link that followed it.
    void remove();

private:
    LinkList* list;
    Link* current;
    int direction;
};

#endif
