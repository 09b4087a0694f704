// Cpu and wall time of a child process, for the benchmark programs that
// time kytsim as a whole.
#ifndef KYT_TESTS_ENGINE_CHILDTIMING_H
#define KYT_TESTS_ENGINE_CHILDTIMING_H

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace childtiming {

struct Figure {
    double cpu;    // user + system seconds
    double wall;
    int status;    // the child's exit status, -1 when it did not exit
};

inline double seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
}

// Runs child() in a child process (it must end with _exit or exec) and
// takes its times.
inline Figure timeChild(const std::function<void()>& child)
{
    rusage before, after;
    getrusage(RUSAGE_CHILDREN, &before);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        child();
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_CHILDREN, &after);
    const double cpu = seconds(after.ru_utime) - seconds(before.ru_utime) +
                       seconds(after.ru_stime) - seconds(before.ru_stime);
    return {cpu, wall, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace childtiming

#endif
