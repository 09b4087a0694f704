#include "IdleTasks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Tasks {
public:
    explicit Tasks(IdleTaskList& l) : list(l) {}
    std::string log;
    int aLeft = 0;
    IdleTaskList& list;

    int a()
    {
        log += 'a';
        return --aLeft <= 0 ? 1 : 0;
    }
    int b()
    {
        log += 'b';
        return 0;
    }
    int once()
    {
        log += 'o';
        return 1;
    }
    int addsC()
    {
        log += '+';
        list.add(this, &Tasks::c);
        return 1;
    }
    int c()
    {
        log += 'c';
        return 0;
    }
    int removesB()
    {
        log += '-';
        list.remove(this, &Tasks::b);
        return 0;
    }
    int disables()
    {
        log += 'd';
        list.disable();
        return 0;
    }
};

TEST(IdleTaskTest, TasksRunInRegistrationOrderUntilTheyReturnNonZero)
{
    IdleTaskList list;
    Tasks t(list);
    t.aLeft = 2;
    list.add(&t, &Tasks::once);
    list.add(&t, &Tasks::a);
    list.add(&t, &Tasks::b);
    EXPECT_EQ(list.getCount(), 3);
    list.runPass();
    list.runPass();
    list.runPass();
    EXPECT_EQ(t.log, "oab" "ab" "b");
    EXPECT_EQ(list.getCount(), 1);
}

TEST(IdleTaskTest, ADisabledListRunsNothing)
{
    IdleTaskList list;
    Tasks t(list);
    list.add(&t, &Tasks::b);
    list.disable();
    list.runPass();
    EXPECT_EQ(t.log, "");
    list.enable();
    list.runPass();
    EXPECT_EQ(t.log, "b");
}

TEST(IdleTaskTest, ATaskAddedDuringAPassRunsInThatPassOnce)
{
    IdleTaskList list;
    Tasks t(list);
    list.add(&t, &Tasks::addsC);
    list.add(&t, &Tasks::b);
    list.runPass();
    EXPECT_EQ(t.log, "+bc");
    list.runPass();
    EXPECT_EQ(t.log, "+bc" "bc");
}

TEST(IdleTaskTest, ATaskMayRemoveAnotherOrStopThePass)
{
    IdleTaskList list;
    Tasks t(list);
    list.add(&t, &Tasks::removesB);
    list.add(&t, &Tasks::b);
    list.add(&t, &Tasks::c);
    list.runPass();
    EXPECT_EQ(t.log, "-c");
    EXPECT_EQ(list.getCount(), 2);
    t.log.clear();
    list.add(&t, &Tasks::disables);
    list.add(&t, &Tasks::once);
    list.runPass();
    EXPECT_EQ(t.log, "-cd") << "no task runs after the list was disabled";
    EXPECT_FALSE(list.isRunning());
}

TEST(IdleTaskTest, AnEmptyListDoesNothing)
{
    IdleTaskList list;
    list.runPass();
    EXPECT_EQ(list.getCount(), 0);
    Tasks t(list);
    EXPECT_EQ(list.remove(&t, &Tasks::b), 0);
}

} // namespace

#include "TraceSink.h"

namespace {

TEST(TraceSinkTest, SilentWithoutASinkAndRecordedWithOne)
{
    trace("nichts %d", 1);
    RecordingTraceSink sink;
    TraceSink* before = setTraceSink(&sink);
    trace("Unable to create DDE conversation %d", 16394);
    std::string longText(600, 'x');
    trace("%s", longText.c_str());
    EXPECT_EQ(&sink, setTraceSink(before));
    trace("danach");
    ASSERT_EQ(2u, sink.lines.size());
    EXPECT_TRUE(sink.holds("Unable to create DDE conversation 16394"));
    EXPECT_EQ(511u, sink.lines[1].size());
}

} // namespace
