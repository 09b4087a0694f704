#include "Collections.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int items[8] = {0, 1, 2, 3, 4, 5, 6, 7};

// Checks on every test that no node outlives its list.
class CollectionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlistNodes = DListNode::pool().inUse();
        slistNodes = SList::pool().inUse();
    }
    void TearDown() override
    {
        EXPECT_EQ(DListNode::pool().inUse(), dlistNodes) << "DList nodes leaked";
        EXPECT_EQ(SList::pool().inUse(), slistNodes) << "SList nodes leaked";
    }
    long dlistNodes = 0;
    long slistNodes = 0;
};

std::vector<int> walkAll(DList& list)
{
    std::vector<int> seen;
    DListIterator it(list);
    while (void* p = it.next())
        seen.push_back(*static_cast<int*>(p));
    return seen;
}

TEST_F(CollectionsTest, DListKeepsInsertionOrderAtBothEnds)
{
    DList list;
    list.append(&items[2]);
    list.prepend(&items[1]);
    list.append(&items[3]);
    EXPECT_EQ(walkAll(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.count(), 3);
}

TEST_F(CollectionsTest, CallbackRemovingItsOwnEntryDoesNotDisturbTheWalk)
{
    DList list;
    for (int i = 1; i <= 4; ++i)
        list.append(&items[i]);
    long before = DListNode::pool().inUse();
    std::vector<int> seen;
    {
        DListIterator it(list);
        while (void* p = it.next()) {
            int v = *static_cast<int*>(p);
            seen.push_back(v);
            if (v == 2) {
                // What a handler does that unregisters itself: the list's own
                // short walk finds the entry the outer walk stands on.
                EXPECT_EQ(list.remove(p), 1);
                EXPECT_EQ(DListNode::pool().inUse(), before) << "freed while the walk holds it";
            }
        }
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(DListNode::pool().inUse(), before - 1) << "freed when the walk left it";
    EXPECT_EQ(walkAll(list), (std::vector<int>{1, 3, 4}));
}

TEST_F(CollectionsTest, RemovingTheNextEntryDuringAWalkSkipsIt)
{
    DList list;
    for (int i = 1; i <= 3; ++i)
        list.append(&items[i]);
    std::vector<int> seen;
    DListIterator it(list);
    while (void* p = it.next()) {
        seen.push_back(*static_cast<int*>(p));
        if (p == &items[1])
            list.remove(&items[2]);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3}));
}

TEST_F(CollectionsTest, TwoIteratorsOnOneNodeKeepItUntilBothMoveOn)
{
    DList list;
    list.append(&items[1]);
    list.append(&items[2]);
    long before = DListNode::pool().inUse();
    DListIterator a(list), b(list);
    ASSERT_EQ(a.next(), &items[1]);
    ASSERT_EQ(b.next(), &items[1]);
    a.removeCurrent();
    EXPECT_EQ(a.next(), &items[2]);
    EXPECT_EQ(DListNode::pool().inUse(), before) << "b still stands on the removed node";
    EXPECT_EQ(b.next(), &items[2]);
    EXPECT_EQ(DListNode::pool().inUse(), before - 1);
    EXPECT_EQ(list.count(), 1);
}

TEST_F(CollectionsTest, EntriesAppendedDuringAWalkAreReachedPrependedAreNot)
{
    DList list;
    list.append(&items[1]);
    std::vector<int> seen;
    DListIterator it(list);
    while (void* p = it.next()) {
        seen.push_back(*static_cast<int*>(p));
        if (p == &items[1]) {
            list.append(&items[2]);
            list.prepend(&items[0]);
        }
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

TEST_F(CollectionsTest, ResetReleasesTheNodeAndStartsAgain)
{
    DList list;
    list.append(&items[1]);
    list.append(&items[2]);
    DListIterator it(list);
    it.next();
    it.removeCurrent();
    it.reset();
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(it.next(), &items[2]);
    EXPECT_EQ(it.next(), nullptr);
}

TEST_F(CollectionsTest, DestroyingAListFreesEveryNodeButNoItem)
{
    int* owned = new int(5);
    {
        DListOf<int> list;
        list.append(owned);
        list.append(&items[1]);
        DListIteratorOf<int> it(list);
        it.next();
        it.removeCurrent();
        it.abandon();
    }
    EXPECT_EQ(*owned, 5);
    delete owned;
}

TEST_F(CollectionsTest, SListRemoveFirstOnOneElementLeavesEmptyList)
{
    SList list(&items[1]);
    EXPECT_EQ(list.getCount(), 1);
    EXPECT_EQ(list.removeFirst(), &items[1]);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.getTail(), nullptr);
    EXPECT_EQ(list.removeFirst(), nullptr);
    EXPECT_EQ(list.first(), nullptr);
}

TEST_F(CollectionsTest, SListAsStackAndQueue)
{
    SList list;
    EXPECT_EQ(list.append(&items[2]), 1);
    EXPECT_EQ(list.append(&items[3]), 1);
    EXPECT_EQ(list.prepend(&items[1]), 1);
    EXPECT_EQ(list.first(), &items[1]);
    EXPECT_EQ(list.itemAt(2), &items[3]);
    EXPECT_EQ(list.itemAt(3), nullptr);
    EXPECT_EQ(list.itemAt(-1), nullptr);
    std::vector<int> seen;
    SListIterator it(list);
    while (void* p = it.next())
        seen.push_back(*static_cast<int*>(p));
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.removeFirst(), &items[1]);
    EXPECT_EQ(list.removeFirst(), &items[2]);
    EXPECT_EQ(list.getCount(), 1);
}

TEST_F(CollectionsTest, SListConcatMovesAllNodes)
{
    SList a, b;
    a.append(&items[1]);
    b.append(&items[2]);
    b.append(&items[3]);
    EXPECT_EQ(a.concat(b), 1);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ(a.getCount(), 3);
    EXPECT_EQ(a.itemAt(0), &items[1]);
    EXPECT_EQ(a.itemAt(2), &items[3]);
    SList empty;
    EXPECT_EQ(empty.concat(a), 1);
    EXPECT_EQ(empty.getCount(), 3);
    EXPECT_EQ(empty.first(), &items[1]);
}

struct Counted {
    static int alive;
    Counted() { ++alive; }
    ~Counted() { --alive; }
};
int Counted::alive = 0;

TEST(LinkListTest, RemovingTheLastLinkWhileWalkingForwardLeavesTheIteratorOnThePrevious)
{
    LinkList list;
    for (int i = 1; i <= 3; ++i)
        list.append(new Link(&items[i]));
    LinkListIterator it(list);
    while (it.next() != &items[3]) {
    }
    it.remove();
    EXPECT_EQ(it.item(), &items[2]);
    EXPECT_EQ(it.next(), nullptr);
    EXPECT_EQ(list.getCount(), 2);
}

TEST(LinkListTest, RemovingDuringABackwardWalkReachesTheFollowingLink)
{
    LinkList list;
    for (int i = 1; i <= 3; ++i)
        list.append(new Link(&items[i]));
    LinkListIterator it(list, 1);
    EXPECT_EQ(it.next(), &items[3]);
    EXPECT_EQ(it.next(), &items[2]);
    it.remove();
    EXPECT_EQ(it.next(), &items[1]);
    EXPECT_EQ(it.next(), nullptr);
}

TEST(LinkListTest, SeekFindAndItemAtBounds)
{
    LinkList list;
    for (int i = 0; i < 3; ++i)
        list.append(new Link(&items[i]));
    LinkListIterator it(list);
    EXPECT_EQ(it.seek(3), 0) << "index equal to the count";
    EXPECT_EQ(it.seek(-1), 0);
    EXPECT_EQ(it.seek(2), 1);
    EXPECT_EQ(it.item(), &items[2]);
    EXPECT_EQ(it.find(&items[1]), 1);
    EXPECT_EQ(it.next(), &items[2]);
    EXPECT_EQ(it.find(&items[7]), 0);
    EXPECT_EQ(list.itemAt(3), nullptr);
    EXPECT_EQ(list.itemAt(0), &items[0]);
    EXPECT_EQ(list.remove(&items[1]), 1);
    EXPECT_EQ(list.remove(&items[1]), 0);
    EXPECT_EQ(list.itemAt(1), &items[2]);
    Link a(&items[4]), b(&items[4]);
    EXPECT_TRUE(a == b);
}

TEST(LinkListTest, ClearDeletesItemsOnlyWhenAsked)
{
    {
        LinkListOf<Counted> list;
        Counted* kept = new Counted;
        list.append(kept);
        list.clear(0);
        EXPECT_EQ(Counted::alive, 1);
        list.append(kept);
        list.append(new Counted);
        list.clear(1);
        EXPECT_EQ(Counted::alive, 0);
        EXPECT_EQ(list.getCount(), 0);
        Counted* item = new Counted;
        list.append(item);
        list.remove(item);
        EXPECT_EQ(Counted::alive, 1) << "remove deletes the link, not the item";
        delete item;
    }
}

} // namespace
