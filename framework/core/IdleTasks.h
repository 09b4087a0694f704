// Work that runs while the message queue is empty: the simulation advances
// for a short time slice per idle pass, the plot draws its new points, the
// wizard start polls its worker thread, printing sends one page. A task
// stays registered while it returns 0.
#ifndef KYT_FRAMEWORK_IDLETASKS_H
#define KYT_FRAMEWORK_IDLETASKS_H

#include "Collections.h"
#include "MemberCall.h"

#include <cstdint>

class IdleTask {
public:
    explicit IdleTask(const MemberCall<int()>& c) : call(c) {}
    MemberCall<int()> call;
};

class IdleTaskList {
public:
    IdleTaskList() : enabled(1), count(0), running(nullptr) {}
    // Frees the task records.
    ~IdleTaskList();

    // Appends a task at the end: tasks run in the order of registration.
    template <typename O, typename T>
    void add(O* object, int (T::*function)())
    {
        add(MemberCall<int()>(object, function));
    }
    void add(const MemberCall<int()>& call);
    // Removes the task of that object and function (also from inside a pass).
    template <typename O, typename T>
    int remove(O* object, int (T::*function)())
    {
        return remove(MemberCall<int()>(object, function));
    }
    int remove(const MemberCall<int()>& call);

    // One idle pass: every task once, in order; a task that returns non-zero
    // is removed. Nothing when the list is disabled or empty.
    void runPass();

    void disable() { enabled = 0; }
    void enable() { enabled = 1; }
    bool isEnabled() const { return enabled != 0; }
    int getCount() const { return count; }
    bool isRunning() const { return running != nullptr; }

private:
    IdleTaskList(const IdleTaskList&) = delete;
    IdleTaskList& operator=(const IdleTaskList&) = delete;

    DListOf<IdleTask> entries;
    int32_t enabled;
    int32_t count;
    DListIteratorOf<IdleTask>* running;
};

#endif
