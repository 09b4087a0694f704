#include "IdleTasks.h"

IdleTaskList::~IdleTaskList()
{
    DListIteratorOf<IdleTask> walk(entries);
    while (IdleTask* task = walk.next()) {
        walk.removeCurrent();
        delete task;
    }
}

void IdleTaskList::add(const MemberCall<int()>& call)
{
    if (entries.append(new IdleTask(call)))
        ++count;
}

int IdleTaskList::remove(const MemberCall<int()>& call)
{
    DListIteratorOf<IdleTask> walk(entries);
    while (IdleTask* task = walk.next()) {
        if (task->call.isFor(call)) {
            walk.removeCurrent();
            --count;
            delete task;
            return 1;
        }
    }
    return 0;
}

void IdleTaskList::runPass()
{
    if (!enabled || count < 1)
        return;
    DListIteratorOf<IdleTask> walk(entries);
    DListIteratorOf<IdleTask>* outer = running;
    running = &walk;
    while (IdleTask* task = walk.next()) {
        if (task->call()) {
            walk.removeCurrent();
            --count;
            delete task;
        }
        // The main frame went while the task ran: no further task of this pass.
        if (!enabled)
            break;
    }
    running = outer;
}
