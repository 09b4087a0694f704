// Running a piece of a test on a thread with the stack the Winelib programs
// have (1 MiB), so that a walk that would overflow it crashes the test
// instead of passing on the 8 MiB of the test's main thread.
#ifndef KYT_TESTS_SMALLSTACK_H
#define KYT_TESTS_SMALLSTACK_H

#include <pthread.h>

#include <cstddef>
#include <functional>

const size_t kProgramStackSize = 1024 * 1024;

// Runs work on a new thread with a stack of the given size and waits for
// it; false when the thread could not be started.
inline bool runOnSmallStack(const std::function<void()>& work, size_t stackSize = kProgramStackSize)
{
    struct Call {
        static void* run(void* arg)
        {
            (*static_cast<const std::function<void()>*>(arg))();
            return nullptr;
        }
    };
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    bool ok = pthread_attr_setstacksize(&attributes, stackSize) == 0;
    pthread_t thread;
    ok = ok && pthread_create(&thread, &attributes, Call::run, const_cast<std::function<void()>*>(&work)) == 0;
    pthread_attr_destroy(&attributes);
    if (ok)
        ok = pthread_join(thread, nullptr) == 0;
    return ok;
}

#endif
