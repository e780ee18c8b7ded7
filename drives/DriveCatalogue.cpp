#include "drives/DriveCatalogue.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>

namespace {
// Room for the roots of all 26 drive letters ("C:\" and a NUL each) and more.
constexpr DWORD kRootBufferSize = 512;

// A fixed-size text field made a C string, whatever the platform wrote.
template <typename Char, size_t N> void Terminate(Char (&field)[N]) {
    field[N - 1] = Char{};
}

// A record of a drive whose answers are out: zeros but its root, shown
// until its name's stored entry says otherwise.
DriveRecord PendingRecord(const std::string& root) {
    DriveRecord record;
    std::memset(&record, 0, sizeof record);
    root.copy(record.szRoot, sizeof record.szRoot - 1);
    record.uDriveType = DRIVE_UNKNOWN;
    record.bShown = 1;
    record.bPending = 1;
    return record;
}
} // namespace

// One mutex and one signal for every worker of a catalogue: the refresh
// waits on it for the answers of the workers it started.
struct DriveCatalogue::Shared {
    std::mutex mutex;
    std::condition_variable answered;
};

// One drive's calls, shared by its worker and the catalogue. The answer is
// written by the worker before `done` is set and read only after.
struct DriveCatalogue::Query {
    std::string root;
    SHFILEINFOW sfi{};
    int storedFlag = 1;
    UINT type = DRIVE_UNKNOWN;
    BOOL sized = FALSE;
    uint64_t available = 0, total = 0, totalFree = 0;
    // Guarded by Shared::mutex.
    bool done = false;
    bool late = false;      // the refresh stopped waiting: notify when done
    bool abandoned = false; // the catalogue is gone: release the icon when done
};

namespace {
// The worker: the drive's whole sequence, then one report.
void AskDrive(const std::shared_ptr<DriveCatalogue::Shared>& shared,
              const std::shared_ptr<DriveCatalogue::Query>& query,
              const std::shared_ptr<DrivePlatform>& platform,
              const DriveCatalogue::ShownFlagReader& storedShownFlag, const UpdateOptions& options,
              const DriveCatalogue::Notify& notify) {
    DriveCatalogue::Query& q = *query;
    const char* root = q.root.c_str();
    platform->ShellFileInfo(root, &q.sfi);
    Terminate(q.sfi.szDisplayName);
    Terminate(q.sfi.szTypeName);
    q.storedFlag = storedShownFlag ? storedShownFlag(q.sfi.szDisplayName) : 1;
    const char letter = root[0];
    // Hidden drives are typed too: switched on later, they get their box
    // without a call.
    if (NeedsDriveType(letter))
        q.type = platform->DriveType(root);
    if (q.storedFlag != 0 && IsDriveUpdatable(letter, q.type, options))
        q.sized = platform->DiskFreeSpace(root, &q.available, &q.total, &q.totalFree);

    bool tell = false, release = false;
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        q.done = true;
        release = q.abandoned;
        tell = q.late && !q.abandoned;
    }
    shared->answered.notify_all();
    if (release)
        platform->ReleaseIcon(std::exchange(q.sfi.hIcon, nullptr));
    else if (tell && notify)
        notify();
}
// What one worker needs, owned by the worker: nothing of the catalogue.
struct Task {
    std::shared_ptr<DriveCatalogue::Shared> shared;
    std::shared_ptr<DriveCatalogue::Query> query;
    std::shared_ptr<DrivePlatform> platform;
    DriveCatalogue::ShownFlagReader storedShownFlag;
    UpdateOptions options;
    DriveCatalogue::Notify notify;
};

DWORD WINAPI RunTask(void* context) {
    const std::unique_ptr<Task> task(static_cast<Task*>(context));
    AskDrive(task->shared, task->query, task->platform, task->storedShownFlag, task->options,
             task->notify);
    return 0;
}
} // namespace

void ReleaseDriveIcons(DriveList& drives, DrivePlatform& platform) {
    for (DriveRecord& record : drives) {
        if (record.sfi.hIcon != nullptr)
            platform.ReleaseIcon(std::exchange(record.sfi.hIcon, nullptr));
    }
}

DriveCatalogue::DriveCatalogue(std::shared_ptr<DrivePlatform> platform,
                               std::chrono::milliseconds deadline)
    : m_platform(std::move(platform)), m_deadline(deadline), m_shared(std::make_shared<Shared>()) {}

DriveCatalogue::~DriveCatalogue() {
    // Workers still out release their own icons when they end; the icons of
    // answers that arrived but were not applied go now.
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        for (auto& [root, query] : m_inFlight) {
            query->abandoned = true;
            if (query->done)
                m_platform->ReleaseIcon(std::exchange(query->sfi.hIcon, nullptr));
        }
    }
    ReleaseDriveIcons(m_drives, *m_platform);
}

bool DriveCatalogue::IsDriveUpdatable(const DriveRecord& record) const {
    return ::IsDriveUpdatable(record.szRoot[0], record.uDriveType, m_options);
}

void DriveCatalogue::Refresh(const ShownFlagReader& storedShownFlag) {
    const auto deadline = std::chrono::steady_clock::now() + m_deadline;
    // Each refresh gets new icon handles from the shell; the old ones would
    // otherwise stay allocated for the life of the process.
    ReleaseDriveIcons(m_drives, *m_platform);
    DriveList().swap(m_drives);

    // The last character stays NUL whatever the platform writes, so the walk
    // below cannot run past the buffer.
    char roots[kRootBufferSize] = {};
    const DWORD length = m_platform->LogicalDriveStrings(kRootBufferSize - 1, roots);
    // 0 is a failure, a larger number the size the list would have needed:
    // either way the buffer holds no list.
    if (length == 0 || length > kRootBufferSize - 1)
        return;

    std::vector<std::shared_ptr<Query>> started;
    const char* const end = roots + kRootBufferSize;
    for (const char* root = roots; root < end && *root != '\0'; root += std::strlen(root) + 1) {
        m_drives.push_back(PendingRecord(root));
        // A drive whose earlier answers are still out is not asked again:
        // its record waits for those.
        auto& query = m_inFlight[root];
        if (query)
            continue;
        query = std::make_shared<Query>();
        query->root = root;
        // The system's thread pool runs the worker: a new thread per drive
        // and refresh would cost more than the calls themselves. The task is
        // marked long, so a blocked drive does not hold up the others.
        auto task = std::make_unique<Task>(
            Task{m_shared, query, m_platform, storedShownFlag, m_options, m_notify});
        if (QueueUserWorkItem(RunTask, task.get(), WT_EXECUTELONGFUNCTION)) {
            task.release();
            started.push_back(query);
        } else {
            // No worker for it: the drive counts as not answering.
            query->done = true;
        }
    }

    {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        m_shared->answered.wait_until(lock, deadline, [&] {
            return std::all_of(started.begin(), started.end(),
                               [](const std::shared_ptr<Query>& q) { return q->done; });
        });
        for (const std::shared_ptr<Query>& query : started)
            query->late = !query->done;
    }
    ApplyDoneQueries();
}

DriveCatalogue::Applied DriveCatalogue::ApplyAnswers() {
    if (m_held)
        return {};
    return ApplyDoneQueries();
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
        const auto record =
            std::find_if(m_drives.begin(), m_drives.end(), [&](const DriveRecord& r) {
                return r.bPending && query->root == r.szRoot;
            });
        if (record == m_drives.end()) {
            // The drive has left the list since it was asked.
            m_platform->ReleaseIcon(query->sfi.hIcon);
            continue;
        }
        Fill(*record, *query, applied);
    }
    return applied;
}

void DriveCatalogue::Fill(DriveRecord& record, const Query& query, Applied& applied) const {
    const BYTE wasShown = record.bShown;
    record.sfi = query.sfi;
    record.uDriveType = query.type;
    record.bPending = 0;
    if (record.bChosen) {
        // The user's choice stands; it is stored once there is a name for it.
        if (record.sfi.szDisplayName[0] != '\0')
            applied.choices.emplace_back(record.sfi.szDisplayName, record.bShown);
        record.bChosen = 0;
    } else {
        record.bShown = query.storedFlag != 0 ? 1 : 0;
    }
    // Figures count only for a drive shown and allowed now; one the options
    // now include but whose size was not asked waits for the next refresh.
    if (query.sized && record.bShown && IsDriveUpdatable(record)) {
        record.ulFreeBytesAvailable = query.available;
        record.ulTotalBytes = query.total;
        record.ulTotalFreeBytes = query.totalFree;
    }
    applied.changed = true;
    applied.shownChanged = applied.shownChanged || record.bShown != wasShown;
}
