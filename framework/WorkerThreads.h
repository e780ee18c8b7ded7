// A few threads kept for reuse, that run the jobs handed to them one after
// another. A job that has waited `patience` behind running ones without any
// of them moving on gets a thread of its own: a job that never returns holds
// only its own thread and delays the others by `patience`. Threads left idle
// wait without waking until a job comes or the set goes; more than `keptIdle`
// idle ones end. Nothing waits for the threads: one in a job when the set
// goes ends after that job, and jobs not yet begun are dropped.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tov {

class WorkerThreads {
public:
    using Job = std::function<void()>;

    explicit WorkerThreads(std::chrono::milliseconds patience, size_t keptIdle = 2);
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Queues `job`; false when the system gives no thread to run it (the job
    // is dropped unrun). What the job holds is released once it has run.
    bool Run(Job job);

    // The threads made so far, and those idle now.
    size_t ThreadsMade() const;
    size_t IdleThreads() const;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

} // namespace tov
