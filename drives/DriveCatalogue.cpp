#include "drives/DriveCatalogue.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <set>

namespace {
// How often a refresh that waits looks at the catalogue's clock.
constexpr std::chrono::milliseconds kDeadlineSlice{10};
// Room for the roots of all 26 drive letters ("C:\" and a NUL each) and more.
constexpr DWORD kRootBufferSize = 512;

// A fixed-size text field made a C string, whatever the platform wrote.
template <typename Char, size_t N> void Terminate(Char (&field)[N]) {
    field[N - 1] = Char{};
}

// A record of a drive never answered: zeros but its root, shown until its
// name's stored entry says otherwise.
DriveRecord PendingRecord(const std::string& root) {
    DriveRecord record;
    std::memset(&record, 0, sizeof record);
    root.copy(record.szRoot, sizeof record.szRoot - 1);
    record.uDriveType = DRIVE_UNKNOWN;
    record.bShown = 1;
    record.bPending = 1;
    return record;
}

void ClearFigures(DriveRecord& record) {
    record.ulFreeBytesAvailable = record.ulTotalBytes = record.ulTotalFreeBytes = 0;
}

// The drives whose free space a poll reads again: those that hold no medium
// to change follow the media notices instead, so an empty slow drive is
// never touched.
bool IsPolledType(char letter, UINT type) {
    return NeedsDriveType(letter) &&
           (type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_RAMDISK);
}
} // namespace

// One mutex and one signal for every job of a catalogue: the refresh waits
// on it for the answers of the jobs it queued, the menu for its probe. The
// notice target lives here so that teardown can clear it under the lock the
// jobs tell it under.
struct DriveCatalogue::Shared {
    std::mutex mutex;
    std::condition_variable answered;
    Notify notify;
    std::set<std::string> opening; // roots with an open queued or running
};

// A probe before the drive menu; `done` is guarded by Shared::mutex.
struct DriveCatalogue::ProbeCall {
    bool done = false;
};

// One drive's calls, shared by its job and the catalogue. The answer is
// written by the job before `done` is set and read only after.
struct DriveCatalogue::Query {
    std::string root;
    Kind kind = Kind::Full;
    int iconSize = kDefaultDriveIconSize;
    std::chrono::steady_clock::time_point started; // when it was asked
    SHFILEINFOW sfi{};
    WCHAR fileSystem[32] = {};
    int storedFlag = 1;
    UINT type = DRIVE_UNKNOWN;
    BOOL sized = FALSE;
    uint64_t available = 0, total = 0, totalFree = 0;
    // Guarded by Shared::mutex.
    bool done = false;
    bool late = false;      // nobody waits for it: notify when done
    bool abandoned = false; // the catalogue is gone: release the icon when done
};

namespace {
// What one job needs, owned by the job: nothing of the catalogue.
struct Task {
    std::shared_ptr<DriveCatalogue::Shared> shared;
    std::shared_ptr<DriveCatalogue::Query> query;
    std::shared_ptr<DrivePlatform> platform;
    DriveCatalogue::ShownFlagReader storedShownFlag;
    UpdateOptions options;
    bool full = true;
};

// The drive's calls. Hidden drives are typed too: switched on later, they
// get their box without a call.
void Ask(Task& task) {
    DriveCatalogue::Query& q = *task.query;
    const char* root = q.root.c_str();
    const char letter = root[0];
    if (task.full) {
        task.platform->ShellFileInfo(root, &q.sfi, q.iconSize);
        Terminate(q.sfi.szDisplayName);
        Terminate(q.sfi.szTypeName);
        q.storedFlag = task.storedShownFlag ? task.storedShownFlag(q.sfi.szDisplayName) : 1;
        if (NeedsDriveType(letter))
            q.type = task.platform->DriveType(root);
        if (q.storedFlag == 0 || !IsDriveUpdatable(letter, q.type, task.options))
            return;
    }
    q.sized = task.platform->DiskFreeSpace(root, &q.available, &q.total, &q.totalFree);
    if (task.full) {
        task.platform->FileSystemName(root, q.fileSystem, std::size(q.fileSystem));
        Terminate(q.fileSystem);
    }
}

// The job: the drive's whole sequence, then one report. Nothing thrown
// leaves it: a call that failed that way counts as failed, and its
// answer is done all the same.
void RunTask(Task& task) {
    DriveCatalogue::Query& q = *task.query;
    try {
        Ask(task);
    } catch (...) {
        q.sized = FALSE;
    }
    bool release = false;
    {
        std::lock_guard<std::mutex> lock(task.shared->mutex);
        q.done = true;
        release = q.abandoned;
        // Told under the lock, so that a target cleared at teardown is
        // never reached afterwards.
        if (q.late && !q.abandoned && task.shared->notify)
            task.shared->notify();
    }
    task.shared->answered.notify_all();
    if (release)
        task.platform->ReleaseIcon(std::exchange(q.sfi.hIcon, nullptr));
}

} // namespace

void DriveCatalogue::Applied::Add(Applied&& more) {
    changed = changed || more.changed;
    shownChanged = shownChanged || more.shownChanged;
    const auto append = [](auto& to, auto& from) {
        std::move(from.begin(), from.end(), std::back_inserter(to));
    };
    append(changedRoots, more.changedRoots);
    append(answeredRoots, more.answeredRoots);
    append(choices, more.choices);
}

void ReleaseDriveIcons(DriveList& drives, DrivePlatform& platform) {
    for (DriveRecord& record : drives) {
        if (record.sfi.hIcon != nullptr)
            platform.ReleaseIcon(std::exchange(record.sfi.hIcon, nullptr));
    }
}

DriveCatalogue::DriveCatalogue(std::shared_ptr<DrivePlatform> platform,
                               std::chrono::milliseconds deadline, tov::DriveEngine::Limits limits)
    : m_platform(std::move(platform)), m_deadline(deadline), m_shared(std::make_shared<Shared>()),
      m_clock([] { return std::chrono::steady_clock::now(); }),
      m_engine([] { WaitForShellSetUp(); }, limits) {}

DriveCatalogue::~DriveCatalogue() {
    // Jobs still out release their own icons when they end; the icons of
    // answers that arrived but were not applied go now.
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->notify = nullptr;
        for (auto& [root, query] : m_inFlight) {
            query->abandoned = true;
            if (query->done)
                m_platform->ReleaseIcon(std::exchange(query->sfi.hIcon, nullptr));
        }
    }
    ReleaseDriveIcons(m_drives, *m_platform);
}

void DriveCatalogue::SetNotify(Notify notify) {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->notify = std::move(notify);
}

bool DriveCatalogue::IsDriveUpdatable(const DriveRecord& record) const {
    return ::IsDriveUpdatable(record.szRoot[0], record.uDriveType, m_options);
}

bool DriveCatalogue::CallOut(const std::string& root,
                             std::chrono::steady_clock::time_point* started) const {
    const auto it = m_inFlight.find(root);
    if (it == m_inFlight.end())
        return false;
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    if (it->second->done)
        return false;
    *started = it->second->started;
    return true;
}

DriveState DriveCatalogue::StateOf(const DriveRecord& record) const {
    std::chrono::steady_clock::time_point started;
    if (IsDriveUpdatable(record) && CallOut(record.szRoot, &started) &&
        m_clock() - started >= kDriveStaleAfter)
        return DriveState::NotResponding;
    return DriveSource::StateOf(record);
}

bool DriveCatalogue::Busy() const {
    if (m_refreshOwed || m_refreshScheduled || m_pollOwed)
        return true;
    // A call already "not responding" may never return: the list has
    // settled on what it shows.
    const auto now = m_clock();
    return std::any_of(m_inFlight.begin(), m_inFlight.end(), [&](const auto& entry) {
        std::chrono::steady_clock::time_point started;
        return !CallOut(entry.first, &started) || now - started < kDriveStaleAfter;
    });
}

std::optional<std::chrono::milliseconds> DriveCatalogue::NextStateChangeIn() const {
    std::optional<std::chrono::milliseconds> next;
    const auto now = m_clock();
    for (const auto& [root, query] : m_inFlight) {
        std::chrono::steady_clock::time_point started;
        if (!CallOut(root, &started))
            continue;
        const auto due = started + kDriveStaleAfter;
        if (due <= now)
            continue; // already not responding
        const auto in = std::chrono::ceil<std::chrono::milliseconds>(due - now);
        if (!next || in < *next)
            next = in;
    }
    return next;
}

void DriveCatalogue::HoldAnswers(bool hold) {
    m_holds = std::max(0, m_holds + (hold ? 1 : -1));
}

void DriveCatalogue::Start(const std::string& root, Kind kind, bool waitedFor) {
    auto& query = m_inFlight[root];
    query = std::make_shared<Query>();
    query->root = root;
    query->kind = kind;
    query->iconSize = m_iconSize;
    query->started = m_clock();
    query->late = !waitedFor;
    auto task = std::make_shared<Task>(
        Task{m_shared, query, m_platform, m_storedShownFlag, m_options, kind == Kind::Full});
    // No thread for it: the drive counts as not answering.
    if (!m_engine.Run(root, [task] { RunTask(*task); }))
        query->done = true;
}

DriveCatalogue::Applied DriveCatalogue::Refresh(const ShownFlagReader& storedShownFlag,
                                                int iconSize, RefreshWait wait) {
    const auto deadline = m_clock() + m_deadline;
    m_storedShownFlag = storedShownFlag;
    m_iconSize = iconSize;
    m_refreshScheduled = false;
    if (m_holds > 0) {
        m_refreshOwed = true;
        return {};
    }
    m_refreshOwed = false;

    // The last character stays NUL whatever the platform writes, so the walk
    // below cannot run past the buffer.
    char roots[kRootBufferSize] = {};
    const DWORD length = m_platform->LogicalDriveStrings(kRootBufferSize - 1, roots);
    DriveList next;
    // 0 is a failure, a larger number the size the list would have needed:
    // either way the buffer holds no list.
    const bool listed = length != 0 && length <= kRootBufferSize - 1;
    std::vector<std::string> started;
    const char* const end = roots + kRootBufferSize;
    for (const char* root = roots; listed && root < end && *root != '\0';
         root += std::strlen(root) + 1) {
        const auto old = std::find_if(m_drives.begin(), m_drives.end(), [&](const DriveRecord& r) {
            return root == std::string(r.szRoot);
        });
        DriveRecord record = old != m_drives.end() ? *old : PendingRecord(root);
        if (old != m_drives.end())
            old->sfi.hIcon = nullptr; // the kept record owns it now
        record.bPending = 1;
        // The options act at once, whatever the answer brings.
        if (!IsDriveUpdatable(record))
            ClearFigures(record);
        next.push_back(record);
        if (m_inFlight.count(root) != 0) {
            // Its call is out: not asked twice, but asked again when it is in.
            m_askAgain.insert(root);
            continue;
        }
        Start(root, Kind::Full, wait == RefreshWait::Deadline);
        started.emplace_back(root);
    }
    // Each refresh gets new icon handles from the shell; the old ones of
    // drives no longer listed would otherwise stay allocated.
    ReleaseDriveIcons(m_drives, *m_platform);
    m_drives.swap(next);

    if (wait == RefreshWait::Deadline) {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        const auto done = [&](const std::string& root) { return m_inFlight.at(root)->done; };
        while (!std::all_of(started.begin(), started.end(), done) && m_clock() < deadline)
            m_shared->answered.wait_for(lock, std::min(kDeadlineSlice, m_deadline));
        for (const std::string& root : started)
            m_inFlight.at(root)->late = !done(root);
    }
    return ApplyDoneQueries();
}

void DriveCatalogue::Poll() {
    if (m_holds > 0) {
        m_pollOwed = true;
        return;
    }
    m_pollOwed = false;
    for (const DriveRecord& record : m_drives)
        PollRecord(record, true);
}

void DriveCatalogue::PollRoots(const std::vector<std::string>& roots) {
    if (roots.empty() || m_holds > 0) {
        Poll();
        return;
    }
    for (const DriveRecord& record : m_drives) {
        if (std::find(roots.begin(), roots.end(), record.szRoot) != roots.end())
            PollRecord(record, false);
    }
}

void DriveCatalogue::PollRecord(const DriveRecord& record, bool polledTypesOnly) {
    if (record.bShown && !record.bPending && m_inFlight.count(record.szRoot) == 0 &&
        (!polledTypesOnly || IsPolledType(record.szRoot[0], record.uDriveType)) &&
        IsDriveUpdatable(record))
        Start(record.szRoot, Kind::FreeSpace, false);
}

bool DriveCatalogue::Open(const std::string& root, std::function<void()> open) {
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (!m_shared->opening.insert(root).second)
            return false;
    }
    const auto done = [shared = m_shared, root] {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->opening.erase(root);
    };
    if (m_engine.Run(root, [open = std::move(open), done] {
            try {
                open();
            } catch (...) {
            }
            done();
        }))
        return true;
    done();
    return false;
}

bool DriveCatalogue::Probe(const std::string& root, std::chrono::milliseconds patience) {
    std::shared_ptr<ProbeCall>& slot = m_probes[root];
    if (!slot) {
        slot = std::make_shared<ProbeCall>();
        const auto record = std::find_if(m_drives.begin(), m_drives.end(),
                                         [&](const DriveRecord& r) { return root == r.szRoot; });
        // A drive the policy leaves alone (a floppy) is not spun up for it.
        const bool touch = record != m_drives.end() && IsDriveUpdatable(*record);
        const auto call = [shared = m_shared, platform = m_platform, probe = slot, root, touch] {
            uint64_t available = 0, total = 0, totalFree = 0;
            if (touch)
                platform->DiskFreeSpace(root.c_str(), &available, &total, &totalFree);
            else
                platform->DriveType(root.c_str());
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                probe->done = true;
            }
            shared->answered.notify_all();
        };
        if (!m_engine.Run(root, call)) {
            m_probes.erase(root);
            return false;
        }
    }
    const std::shared_ptr<ProbeCall> probe = slot;
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    if (!m_shared->answered.wait_for(lock, patience, [&] { return probe->done; }))
        return false;
    lock.unlock();
    m_probes.erase(root);
    return true;
}

DriveCatalogue::Applied DriveCatalogue::ApplyAnswers() {
    if (m_holds > 0)
        return {};
    const bool refreshed = m_refreshOwed;
    Applied applied;
    if (refreshed)
        applied = Refresh(m_storedShownFlag, m_iconSize, RefreshWait::None);
    if (m_pollOwed)
        Poll();
    applied.Add(ApplyDoneQueries());
    if (refreshed) {
        applied.changed = applied.shownChanged = true;
        applied.changedRoots.clear();
    }
    return applied;
}

DriveCatalogue::Applied DriveCatalogue::ApplyDoneQueries() {
    Applied applied;
    for (auto it = m_inFlight.begin(); it != m_inFlight.end();) {
        const std::shared_ptr<Query> query = it->second;
        {
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            if (!query->done) {
                ++it;
                continue;
            }
        }
        it = m_inFlight.erase(it);
        const bool again = m_askAgain.erase(query->root) != 0;
        const auto record =
            std::find_if(m_drives.begin(), m_drives.end(),
                         [&](const DriveRecord& r) { return query->root == r.szRoot; });
        if (record == m_drives.end()) {
            // The drive has left the list since it was asked.
            m_platform->ReleaseIcon(query->sfi.hIcon);
            continue;
        }
        if (query->kind == Kind::Full)
            Fill(*record, *query, again, applied);
        else
            FillFreeSpace(*record, *query, applied);
        if (again) {
            // The answer predates the refresh that listed the drive: it
            // stands in until the drive answers again.
            record->bPending = 1;
            Start(query->root, Kind::Full, false);
        }
    }
    return applied;
}

void DriveCatalogue::Fill(DriveRecord& record, Query& query, bool standIn, Applied& applied) const {
    const BYTE wasShown = record.bShown;
    if (record.sfi.hIcon != nullptr)
        m_platform->ReleaseIcon(record.sfi.hIcon);
    record.sfi = std::exchange(query.sfi, SHFILEINFOW{});
    record.uDriveType = query.type;
    std::copy(std::begin(query.fileSystem), std::end(query.fileSystem), record.szFileSystem);
    record.bPending = 0;
    if (record.bChosen) {
        // The user's choice stands; it is stored once there is a name for
        // it, and holds for the run while there is none. A stand-in keeps
        // it for the answer after: that one's stored flag may predate the
        // store.
        if (record.sfi.szDisplayName[0] != '\0') {
            applied.choices.emplace_back(record.sfi.szDisplayName, record.bShown);
            record.bChosen = standIn ? 1 : 0;
        }
    } else {
        record.bShown = query.storedFlag != 0 ? 1 : 0;
    }
    // Figures count only for a drive shown and allowed now; one the options
    // now include but whose size was not asked waits for the next refresh.
    ClearFigures(record);
    if (query.sized && record.bShown && IsDriveUpdatable(record)) {
        record.ulFreeBytesAvailable = query.available;
        record.ulTotalBytes = query.total;
        record.ulTotalFreeBytes = query.totalFree;
    }
    applied.changed = true;
    applied.changedRoots.emplace_back(record.szRoot);
    applied.answeredRoots.emplace_back(record.szRoot);
    applied.shownChanged = applied.shownChanged || record.bShown != wasShown;
}

void DriveCatalogue::FillFreeSpace(DriveRecord& record, const Query& query,
                                   Applied& applied) const {
    if (!record.bShown || !IsDriveUpdatable(record))
        return;
    applied.answeredRoots.emplace_back(record.szRoot);
    const uint64_t before[] = {record.ulFreeBytesAvailable, record.ulTotalBytes,
                               record.ulTotalFreeBytes};
    ClearFigures(record);
    if (query.sized) {
        record.ulFreeBytesAvailable = query.available;
        record.ulTotalBytes = query.total;
        record.ulTotalFreeBytes = query.totalFree;
    }
    const uint64_t after[] = {record.ulFreeBytesAvailable, record.ulTotalBytes,
                              record.ulTotalFreeBytes};
    // A row repaints only when its figures change.
    if (!std::equal(std::begin(before), std::end(before), after)) {
        applied.changed = true;
        applied.changedRoots.emplace_back(record.szRoot);
    }
}
