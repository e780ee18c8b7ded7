#include "drives/DriveEngine.h"

#include "framework/ComApartment.h"

#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace tov {

namespace {
// What a thread is asked to do next: take jobs, watch the queue for a
// stall, wait idle, or end.
enum class Role { Idle, Run, Watch, End };

struct Worker;

// One root's jobs not yet begun, and whether one of its jobs runs now.
struct RootQueue {
    std::deque<DriveEngine::Job> jobs;
    bool running = false;
};
} // namespace

struct DriveEngine::Shared : std::enable_shared_from_this<Shared> {
    explicit Shared(const Limits& limits_) : limits(limits_) {}
    const Limits limits;
    std::mutex mutex;
    // A root is listed while it has a job queued or running.
    std::map<std::string, RootQueue> roots;
    // The roots whose next job may begin now, in turn.
    std::deque<std::string> ready;
    std::vector<Worker*> idle; // each lives until its thread ends
    // Workers appointed whose threads the keeper has yet to start; it is
    // woken for each. Without a keeper the caller starts them.
    std::vector<Worker*> unborn;
    std::condition_variable keeperWake;
    bool keeper = false;
    Worker* watcher = nullptr;
    size_t runners = 0; // threads that take jobs
    size_t inJob = 0;   // runners in a job now
    size_t taken = 0;   // jobs begun so far: the queue's progress
    size_t done = 0;
    size_t alive = 0;
    size_t peak = 0;
    bool closing = false;
};

namespace {
struct Worker {
    std::shared_ptr<DriveEngine::Shared> shared;
    std::condition_variable wake;
    Role role = Role::Idle; // guarded by Shared::mutex
};

DWORD WINAPI WorkerMain(void* context);

// Takes back what appointing `worker` counted, for a thread that never ran.
// Called under the lock.
void Unappoint(DriveEngine::Shared& shared, Worker* worker) {
    --shared.alive;
    if (worker->role == Role::Run)
        --shared.runners;
    else if (shared.watcher == worker)
        shared.watcher = nullptr;
    delete worker;
}

// Starts the thread of an appointed worker; false when the system gives
// none (the worker is then still the caller's).
bool Start(Worker* worker) {
    const HANDLE thread = CreateThread(nullptr, 0, WorkerMain, worker, 0, nullptr);
    if (thread == nullptr)
        return false;
    CloseHandle(thread);
    return true;
}

// Gives `role` to an idle thread, or to a new one, which the keeper starts;
// false when there may be no more. Called under the lock.
bool Appoint(DriveEngine::Shared& shared, Role role) {
    Worker* worker = nullptr;
    if (!shared.idle.empty()) {
        worker = shared.idle.back();
        shared.idle.pop_back();
        worker->role = role;
        worker->wake.notify_one();
    } else {
        if (shared.alive >= shared.limits.maxThreads)
            return false;
        worker = new Worker{shared.shared_from_this(), {}, role};
        if (shared.keeper) {
            shared.unborn.push_back(worker);
            shared.keeperWake.notify_one();
        } else if (!Start(worker)) {
            delete worker;
            return false;
        }
        shared.peak = std::max(shared.peak, ++shared.alive);
    }
    if (role == Role::Run)
        ++shared.runners;
    else if (role == Role::Watch)
        shared.watcher = worker;
    return true;
}

// The keeper: starts the threads the others appoint, so that whoever queues
// a job (the window's thread) never waits for a thread to be made. It runs
// no job and needs no apartment; it ends with the engine.
DWORD WINAPI KeeperMain(void* context) {
    const std::unique_ptr<std::shared_ptr<DriveEngine::Shared>> owner(
        static_cast<std::shared_ptr<DriveEngine::Shared>*>(context));
    DriveEngine::Shared& shared = **owner;
    std::unique_lock<std::mutex> lock(shared.mutex);
    for (;;) {
        shared.keeperWake.wait(lock, [&] { return !shared.unborn.empty() || shared.closing; });
        std::vector<Worker*> unborn;
        unborn.swap(shared.unborn);
        if (shared.closing) {
            for (Worker* worker : unborn)
                Unappoint(shared, worker);
            return 0;
        }
        lock.unlock();
        std::vector<Worker*> failed;
        for (Worker* worker : unborn)
            if (!Start(worker))
                failed.push_back(worker);
        lock.lock();
        // Without a thread its jobs wait for the next one appointed.
        for (Worker* worker : failed)
            Unappoint(shared, worker);
    }
}

// Enough runners for the ready roots, up to the limit, and a watcher while
// some ready root has no runner free for it. Called under the lock.
void Staff(DriveEngine::Shared& shared) {
    while (shared.runners < shared.limits.threads &&
           shared.runners - shared.inJob < shared.ready.size() && Appoint(shared, Role::Run)) {
    }
    if (shared.runners - shared.inJob < shared.ready.size() && shared.watcher == nullptr)
        Appoint(shared, Role::Watch);
}

// Runs the next job of the first ready root; the lock is released meanwhile.
void RunNext(DriveEngine::Shared& shared, std::unique_lock<std::mutex>& lock) {
    const std::string root = std::move(shared.ready.front());
    shared.ready.pop_front();
    RootQueue& queue = shared.roots[root];
    DriveEngine::Job job = std::move(queue.jobs.front());
    queue.jobs.pop_front();
    queue.running = true;
    ++shared.taken;
    ++shared.inJob;
    if (shared.ready.empty() && shared.watcher != nullptr)
        shared.watcher->wake.notify_one();
    lock.unlock();
    // Nothing thrown may end the process from a thread of ours.
    try {
        job();
    } catch (...) {
    }
    job = nullptr;
    lock.lock();
    --shared.inJob;
    ++shared.done;
    const auto it = shared.roots.find(root);
    it->second.running = false;
    if (it->second.jobs.empty())
        shared.roots.erase(it);
    else
        shared.ready.push_back(root);
}

DWORD WINAPI WorkerMain(void* context) {
    const std::unique_ptr<Worker> worker(static_cast<Worker*>(context));
    DriveEngine::Shared& shared = *worker->shared;
    // The shell asks for an apartment on every thread that calls it; this
    // one's lasts as long as the thread.
    const ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::unique_lock<std::mutex> lock(shared.mutex);
    for (;;) {
        if (worker->role == Role::Run) {
            if (shared.ready.empty() || shared.closing) {
                --shared.runners;
                worker->role = Role::Idle;
                continue;
            }
            RunNext(shared, lock);
        } else if (worker->role == Role::Watch) {
            const size_t taken = shared.taken;
            const auto over = [&] { return shared.ready.empty() || shared.closing; };
            if (over()) {
                shared.watcher = nullptr;
                worker->role = Role::Idle;
            } else if (!worker->wake.wait_for(lock, shared.limits.patience, over) &&
                       shared.taken == taken && shared.runners == shared.inJob) {
                // No job has begun for a while and every runner is in one:
                // the jobs that wait get this thread, and the ones after
                // them a new watcher.
                shared.watcher = nullptr;
                worker->role = Role::Run;
                ++shared.runners;
                if (shared.ready.size() > 1)
                    Appoint(shared, Role::Watch);
            }
        } else if (worker->role == Role::Idle) {
            if (shared.closing || shared.idle.size() >= shared.limits.threads)
                break;
            shared.idle.push_back(worker.get());
            if (!worker->wake.wait_for(lock, shared.limits.linger,
                                       [&] { return worker->role != Role::Idle; })) {
                // Nothing came: the thread ends rather than wait for ever.
                shared.idle.erase(std::find(shared.idle.begin(), shared.idle.end(), worker.get()));
                break;
            }
        } else {
            break;
        }
    }
    --shared.alive;
    return 0;
}
} // namespace

DriveEngine::DriveEngine(Job first, Limits limits)
    : m_limits(limits), m_shared(std::make_shared<Shared>(limits)) {
    // The keeper's stack holds little: a small one is reserved. (Under
    // Wine any thread costs about 1 MB of private bytes whatever its
    // stack: measured 984 KB with a 64 KB reserve and with the default.)
    constexpr SIZE_T kKeeperStack = 64 * 1024;
    auto* owner = new std::shared_ptr<Shared>(m_shared);
    const HANDLE keeper = CreateThread(nullptr, kKeeperStack, KeeperMain, owner,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (keeper != nullptr) {
        CloseHandle(keeper);
        m_shared->keeper = true;
    } else {
        delete owner;
    }
    if (first)
        Run(std::string(), std::move(first));
}

DriveEngine::~DriveEngine() {
    std::vector<Job> dropped; // released outside the lock
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->closing = true;
    m_shared->keeperWake.notify_one();
    for (Worker* worker : m_shared->idle) {
        worker->role = Role::End;
        worker->wake.notify_one();
    }
    m_shared->idle.clear();
    if (m_shared->watcher != nullptr)
        m_shared->watcher->wake.notify_one();
    m_shared->ready.clear();
    for (auto& [root, queue] : m_shared->roots)
        std::move(queue.jobs.begin(), queue.jobs.end(), std::back_inserter(dropped));
    for (auto it = m_shared->roots.begin(); it != m_shared->roots.end();)
        it = it->second.running ? (it->second.jobs.clear(), std::next(it))
                                : m_shared->roots.erase(it);
}

bool DriveEngine::Run(const std::string& root, Job job) {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    RootQueue& queue = m_shared->roots[root];
    queue.jobs.push_back(std::move(job));
    const bool readyNow = !queue.running && queue.jobs.size() == 1;
    if (readyNow)
        m_shared->ready.push_back(root);
    Staff(*m_shared);
    if (m_shared->runners == 0) {
        // Nobody will ever take it.
        queue.jobs.pop_back();
        if (readyNow)
            m_shared->ready.pop_back();
        if (queue.jobs.empty() && !queue.running)
            m_shared->roots.erase(root);
        return false;
    }
    return true;
}

size_t DriveEngine::Threads() const {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->alive;
}

size_t DriveEngine::PeakThreads() const {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->peak;
}

size_t DriveEngine::JobsDone() const {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->done;
}

} // namespace tov
