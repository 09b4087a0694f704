// Doubly linked list of nodes {pNext, pPrev, payload} with a head and a tail.
// The list keeps no count. Removal hands the payload to the list's
// element-destroy function before the node is freed.
#ifndef KYT_FOUNDATION_ALIST_H
#define KYT_FOUNDATION_ALIST_H

#include "Assert.h"
#include "CheckedHeap.h"

#include <cstdlib>
#include <new>

template <class TYPE>
struct ANode {
    ANode* pNext;
    ANode* pPrev;
    TYPE data;
};

template <class TYPE>
class AList {
public:
    typedef void (*DestroyFunction)(TYPE& payload);
    typedef ANode<TYPE>* Position;

    explicit AList(DestroyFunction destroy) : head(nullptr), tail(nullptr), destroyElement(destroy) {}
    ~AList() { RemoveAll(); }

    Position GetHeadPosition() const { return head; }
    Position GetTailPosition() const { return tail; }
    bool IsEmpty() const { return head == nullptr; }

    Position AddTail(const TYPE& payload)
    {
        ANode<TYPE>* pNode = newNode(payload);
        pNode->pPrev = tail;
        pNode->pNext = nullptr;
        if (tail)
            tail->pNext = pNode;
        else
            head = pNode;
        tail = pNode;
        return pNode;
    }

    // Links a new node in front of pos; a null pos appends at the tail.
    Position InsertBefore(Position pos, const TYPE& payload)
    {
        if (!pos)
            return AddTail(payload);
        checkNode(pos, "IsValidAddress(pOldNode, sizeof(ANode<TYPE>))");
        ANode<TYPE>* pNode = newNode(payload);
        pNode->pNext = pos;
        pNode->pPrev = pos->pPrev;
        if (pos->pPrev)
            pos->pPrev->pNext = pNode;
        else
            head = pNode;
        pos->pPrev = pNode;
        return pNode;
    }

    Position GetNext(Position pNode) const
    {
        checkNode(pNode, "IsValidAddress(pNode, sizeof(ANode<TYPE>))");
        return pNode->pNext;
    }

    Position GetPrev(Position pNode) const
    {
        checkNode(pNode, "IsValidAddress(pNode, sizeof(ANode<TYPE>))");
        return pNode->pPrev;
    }

    TYPE& GetAt(Position pNode) const
    {
        checkNode(pNode, "IsValidAddress(pNode, sizeof(ANode<TYPE>))");
        return pNode->data;
    }

    void RemoveAt(Position pOldNode)
    {
        checkNode(pOldNode, "IsValidAddress(pOldNode, sizeof(ANode<TYPE>))");
        if (pOldNode == head) {
            head = pOldNode->pNext;
        } else {
            checkNode(pOldNode->pPrev, "IsValidAddress(pOldNode->pPrev, sizeof(ANode<TYPE>))");
            pOldNode->pPrev->pNext = pOldNode->pNext;
        }
        if (pOldNode == tail) {
            tail = pOldNode->pPrev;
        } else {
            checkNode(pOldNode->pNext, "IsValidAddress(pOldNode->pNext, sizeof(ANode<TYPE>))");
            pOldNode->pNext->pPrev = pOldNode->pPrev;
        }
        if (destroyElement)
            destroyElement(pOldNode->data);
        pOldNode->data.~TYPE();
        free(pOldNode);
    }

    void RemoveAll()
    {
        while (head)
            RemoveAt(head);
        head = tail = nullptr;
    }

private:
    AList(const AList&) = delete;
    AList& operator=(const AList&) = delete;

    static ANode<TYPE>* newNode(const TYPE& payload)
    {
        ANode<TYPE>* pNode = static_cast<ANode<TYPE>*>(calloc(1, sizeof(ANode<TYPE>)));
        KYT_ASSERT_TEXT(pNode, "pNode");
        new (&pNode->data) TYPE(payload);
        return pNode;
    }

    static void checkNode(const ANode<TYPE>* p, const char* text)
    {
        KYT_ASSERT_TEXT(IsValidAddress(p, sizeof(ANode<TYPE>)), text);
    }

    ANode<TYPE>* head;
    ANode<TYPE>* tail;
    DestroyFunction destroyElement;
};

#endif
