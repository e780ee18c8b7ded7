// The one way Tovemar calls a drive: every call that may touch one (its
// name and icon, type, size, free space, file system, opening it, the probe
// before the shell's menu) is a job queued here for the drive's root.
//
// A few threads, each in a single-threaded COM apartment entered once for
// the thread's life, run the jobs. Up to `threads` run side by side; while
// they are all busy one more thread watches the queue, and when no job has
// begun for `patience` it runs the waiting jobs itself (a new watcher may
// follow), never more than `maxThreads` in all. Jobs of one root run one
// after another, in the order queued, never two at once: a root whose call
// hangs holds exactly one thread, and its later jobs wait in its own queue
// without holding any. Threads left without work wait `linger` for more and
// then end, so a program that asks nothing runs none of them. One more
// thread, the keeper, lives as long as the engine and makes the others:
// queuing a job never waits for a thread to be made. Nothing waits for the
// threads: when the engine goes, jobs not yet begun are dropped unrun and a
// thread in a job ends after it.
//
// A root's call, as its owner (the drive catalogue) sees it:
//
//   state      what it means                      moved on by
//   ---------  ---------------------------------  -------------------------------
//   idle       nothing asked of the root          a request: queued, out
//   out        queued or running here             the job's return: answered;
//                                                 kDriveStaleAfter on the clock:
//                                                 late; the owner going: abandoned
//   late       out for kDriveStaleAfter: shown    the job's return: answered
//              "not responding", not busy
//   answered   returned; the answer waits for     the owner applies it: idle
//              the owner's thread
//   abandoned  its owner went while it was out    the job's return: it releases
//                                                 what it holds and ends
//
// What a call holds (the icon the shell handed out) has one owner at a time:
// the job until it is answered, then the owner's answer until it is applied,
// then the drive's record, until the record is replaced or the catalogue
// goes. An abandoned job releases its own; nothing else releases it twice.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tov {

struct DriveEngineLimits {
    size_t threads = 3;    // jobs run side by side
    size_t maxThreads = 6; // with the watcher and those added behind hung jobs
    std::chrono::milliseconds patience{250};
    std::chrono::milliseconds linger{2000};
};

class DriveEngine {
public:
    using Job = std::function<void()>;

    using Limits = DriveEngineLimits;

    // `first` is the first job queued (the shell's first-use set-up); none
    // when empty.
    explicit DriveEngine(Job first = nullptr, Limits limits = Limits());
    ~DriveEngine();
    DriveEngine(const DriveEngine&) = delete;
    DriveEngine& operator=(const DriveEngine&) = delete;

    // Queues `job` behind every job queued before on `root`; false when the
    // system gives no thread to run it (the job is dropped unrun). What the
    // job holds is released once it has run.
    bool Run(const std::string& root, Job job);

    // The threads that run jobs alive now (made or about to be; the keeper
    // not counted), the most alive at once so far, and the jobs that have
    // returned so far.
    size_t Threads() const;
    size_t PeakThreads() const;
    size_t JobsDone() const;
    const Limits& GetLimits() const { return m_limits; }

    struct Shared;

private:
    Limits m_limits;
    std::shared_ptr<Shared> m_shared;
};

} // namespace tov
