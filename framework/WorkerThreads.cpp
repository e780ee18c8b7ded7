#include "framework/WorkerThreads.h"

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

namespace tov {

namespace {
struct Worker;
}

struct WorkerThreads::Shared {
    std::mutex mutex;
    std::vector<Worker*> idle; // waiting for a job; each lives until its thread ends
    size_t made = 0;
    bool closing = false;
};

namespace {
// One thread's mailbox: the job handed to it, or the word to end.
struct Worker {
    std::shared_ptr<WorkerThreads::Shared> shared;
    std::condition_variable wake;
    WorkerThreads::Job job; // guarded by Shared::mutex while the thread waits
    bool quit = false;
};

DWORD WINAPI WorkerMain(void* context) {
    const std::unique_ptr<Worker> worker(static_cast<Worker*>(context));
    WorkerThreads::Shared& shared = *worker->shared;
    WorkerThreads::Job job = std::move(worker->job);
    for (;;) {
        // Nothing thrown may end the process from a thread of ours.
        try {
            job();
        } catch (...) {
        }
        job = nullptr;
        std::unique_lock<std::mutex> lock(shared.mutex);
        if (shared.closing)
            return 0;
        shared.idle.push_back(worker.get());
        worker->wake.wait(lock, [&] { return worker->job || worker->quit; });
        if (worker->quit)
            return 0;
        job = std::move(worker->job);
    }
}
} // namespace

WorkerThreads::WorkerThreads() : m_shared(std::make_shared<Shared>()) {}

WorkerThreads::~WorkerThreads() {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->closing = true;
    for (Worker* worker : m_shared->idle) {
        worker->quit = true;
        worker->wake.notify_one();
    }
    m_shared->idle.clear();
}

bool WorkerThreads::Run(Job job) {
    {
        // The thread idle for the shortest time goes first.
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (!m_shared->idle.empty()) {
            Worker* worker = m_shared->idle.back();
            m_shared->idle.pop_back();
            worker->job = std::move(job);
            worker->wake.notify_one();
            return true;
        }
    }
    auto worker = std::make_unique<Worker>();
    worker->shared = m_shared;
    worker->job = std::move(job);
    const HANDLE thread = CreateThread(nullptr, 0, WorkerMain, worker.get(), 0, nullptr);
    if (thread == nullptr)
        return false;
    worker.release();
    CloseHandle(thread);
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    ++m_shared->made;
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
