// Threads kept for reuse. Each job starts at once, on an idle thread or else
// on a new one, so a job that never returns holds only its own thread and
// never delays another. An idle thread waits without waking until a job comes
// for it or the set goes; a thread in a job when the set goes ends after that
// job. Nothing waits for the threads.
#pragma once

#include <functional>
#include <memory>

namespace tov {

class WorkerThreads {
public:
    // Must not wait for the thread that hands it out.
    using Job = std::function<void()>;

    WorkerThreads();
    // Ends the idle threads; those in a job end after it.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Runs `job` on a thread of its own for its length; false when the system
    // gives no thread (the job is dropped unrun). What the job holds is
    // released when it has run, before its thread waits for the next.
    bool Run(Job job);

    // The threads made so far, and those idle now.
    size_t ThreadsMade() const;
    size_t IdleThreads() const;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

} // namespace tov
