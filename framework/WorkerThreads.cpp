#include "framework/WorkerThreads.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace tov {

namespace {
// What a thread is asked to do next: take jobs from the queue, watch the
// queue for a stall, wait idle, or end.
enum class Role { Idle, Run, Watch, End };

struct Worker;
} // namespace

struct WorkerThreads::Shared : std::enable_shared_from_this<Shared> {
    Shared(std::chrono::milliseconds patience_, size_t keptIdle_)
        : patience(patience_), keptIdle(keptIdle_) {}
    const std::chrono::milliseconds patience;
    const size_t keptIdle;
    std::mutex mutex;
    std::deque<Job> queue;
    std::vector<Worker*> idle; // each lives until its thread ends
    Worker* watcher = nullptr;
    size_t runners = 0; // threads that take jobs from the queue
    size_t taken = 0;   // jobs taken so far: the queue's progress
    size_t made = 0;
    bool closing = false;
};

namespace {
struct Worker {
    std::shared_ptr<WorkerThreads::Shared> shared;
    std::condition_variable wake;
    Role role = Role::Idle; // guarded by Shared::mutex
};

DWORD WINAPI WorkerMain(void* context);

// Gives `role` to an idle thread, or to a new one; false when the system
// gives none. Called under the lock.
bool Appoint(WorkerThreads::Shared& shared, Role role) {
    Worker* worker = nullptr;
    if (!shared.idle.empty()) {
        worker = shared.idle.back();
        shared.idle.pop_back();
        worker->role = role;
        worker->wake.notify_one();
    } else {
        auto made = std::make_unique<Worker>();
        made->shared = shared.shared_from_this();
        made->role = role;
        const HANDLE thread = CreateThread(nullptr, 0, WorkerMain, made.get(), 0, nullptr);
        if (thread == nullptr)
            return false;
        CloseHandle(thread);
        worker = made.release();
        ++shared.made;
    }
    if (role == Role::Run)
        ++shared.runners;
    else if (role == Role::Watch)
        shared.watcher = worker;
    return true;
}

DWORD WINAPI WorkerMain(void* context) {
    const std::unique_ptr<Worker> worker(static_cast<Worker*>(context));
    WorkerThreads::Shared& shared = *worker->shared;
    std::unique_lock<std::mutex> lock(shared.mutex);
    for (;;) {
        if (worker->role == Role::Run) {
            if (shared.queue.empty() || shared.closing) {
                --shared.runners;
                worker->role = Role::Idle;
                continue;
            }
            WorkerThreads::Job job = std::move(shared.queue.front());
            shared.queue.pop_front();
            ++shared.taken;
            if (shared.queue.empty() && shared.watcher != nullptr)
                shared.watcher->wake.notify_one();
            lock.unlock();
            // Nothing thrown may end the process from a thread of ours.
            try {
                job();
            } catch (...) {
            }
            job = nullptr;
            lock.lock();
        } else if (worker->role == Role::Watch) {
            const size_t taken = shared.taken;
            const auto over = [&] { return shared.queue.empty() || shared.closing; };
            if (over()) {
                shared.watcher = nullptr;
                worker->role = Role::Idle;
            } else if (shared.runners == 0 ||
                       (!worker->wake.wait_for(lock, shared.patience, over) &&
                        shared.taken == taken)) {
                // The queue has not moved for a while: the jobs that wait
                // get a thread, and the ones after them a new watcher.
                shared.watcher = nullptr;
                worker->role = Role::Run;
                ++shared.runners;
                if (shared.queue.size() > 1)
                    Appoint(shared, Role::Watch);
            }
        } else if (worker->role == Role::Idle) {
            if (shared.closing || shared.idle.size() >= shared.keptIdle)
                return 0;
            shared.idle.push_back(worker.get());
            worker->wake.wait(lock, [&] { return worker->role != Role::Idle; });
        } else {
            return 0;
        }
    }
}
} // namespace

WorkerThreads::WorkerThreads(std::chrono::milliseconds patience, size_t keptIdle)
    : m_shared(std::make_shared<Shared>(patience, keptIdle)) {}

WorkerThreads::~WorkerThreads() {
    std::deque<Job> dropped;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->closing = true;
        for (Worker* worker : m_shared->idle) {
            worker->role = Role::End;
            worker->wake.notify_one();
        }
        m_shared->idle.clear();
        if (m_shared->watcher != nullptr)
            m_shared->watcher->wake.notify_one();
        dropped.swap(m_shared->queue);
    }
}

bool WorkerThreads::Run(Job job) {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->queue.push_back(std::move(job));
    if (m_shared->runners == 0) {
        if (!Appoint(*m_shared, Role::Run)) {
            m_shared->queue.pop_back();
            return false;
        }
    } else if (m_shared->watcher == nullptr) {
        // Without a watcher the job still runs once a running one is done.
        Appoint(*m_shared, Role::Watch);
    }
    return true;
}

size_t WorkerThreads::ThreadsMade() const {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->made;
}

size_t WorkerThreads::IdleThreads() const {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->idle.size();
}

} // namespace tov
