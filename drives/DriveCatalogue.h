// The one owner of the drive data: the drive list, its refresh from the
// platform and the update policy's answer for each record.
//
// A refresh lists the drive roots and asks every drive through the drive
// engine (drives/DriveEngine.h), which runs the calls of a few drives side
// by side on threads it keeps: shell information, the stored shown flag,
// the drive type and, for a shown drive the policy allows, the free space
// and the file system. A drive listed before keeps its last record (the
// best known) while its new answer is out; a new drive gets the record of a
// failed call (no icon, no name, no size data, unknown type; its letter
// comes from the root). When an answer arrives the engine's thread calls
// the notification, and the owner then calls ApplyAnswers on its own
// thread, which replaces the record whole. Only a refresh asked to wait
// does so, up to a deadline from its start by the catalogue's clock.
//
// At most one call per root is out at a time: a refresh that finds one
// still out asks no other; that answer, from before the refresh, fills the
// record only as a stand-in, and the root is asked again at once. Opening a
// drive and the probe before its menu queue behind the call out on the
// root. The engine's jobs touch nothing but their own shared state and the
// platform, and nothing waits for them when the catalogue goes away. The
// call states and who owns each icon are set out in DriveEngine.h.
#pragma once

#include "drives/DrivePlatform.h"
#include "drives/DriveSource.h"
#include "drives/UpdatePolicy.h"
#include "drives/DriveEngine.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Long enough for the shell's first-use set-up on a cold start, short enough
// that the window does not seem to stall.
constexpr std::chrono::milliseconds kDriveAnswerDeadline{300};
// A drive whose call has been out this long is shown as not responding.
constexpr std::chrono::seconds kDriveStaleAfter{5};
// How long the drive menu waits for its drive to answer before it opens
// without the shell's items.
constexpr std::chrono::milliseconds kDriveMenuPatience{200};
// The icon size asked for when the caller names none: the row's at 96 DPI.
constexpr int kDefaultDriveIconSize = 32;

// Whether a refresh waits for the drives' answers up to the deadline.
enum class RefreshWait { Deadline, None };

class DriveCatalogue final : public DriveSource {
public:
    // The stored shown flag of a display name (1 when none is stored). Called
    // on worker threads: it must own everything it reads.
    using ShownFlagReader = std::function<int(const wchar_t* displayName)>;
    // Called on a worker thread, under the workers' lock, when an answer
    // arrives that its refresh does not wait for. It may only hand the news
    // on (post a message).
    using Notify = std::function<void()>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // What applying late answers changed, for the owner to act on.
    struct Applied {
        bool changed = false;      // some record's figures or looks changed: repaint
        bool shownChanged = false; // the set of shown drives changed: rescroll
        // The roots whose records changed; all rows changed when `changed`
        // and none is named (a held refresh ran).
        std::vector<std::string> changedRoots;
        // Every root whose answer was applied, its figures changed or not.
        std::vector<std::string> answeredRoots;
        // Choices made while a name was unknown, to store under the name now.
        std::vector<std::pair<std::wstring, int>> choices;
        // Adds what `more` changed.
        void Add(Applied&& more);
    };

    // The engine's first job is the shell's first-use set-up.
    explicit DriveCatalogue(std::shared_ptr<DrivePlatform> platform = Win32DrivePlatform(),
                            std::chrono::milliseconds deadline = kDriveAnswerDeadline,
                            tov::DriveEngine::Limits limits = tov::DriveEngine::Limits());
    ~DriveCatalogue();
    DriveCatalogue(const DriveCatalogue&) = delete;
    DriveCatalogue& operator=(const DriveCatalogue&) = delete;

    DriveList& Drives() override { return m_drives; }
    const DriveList& Drives() const { return m_drives; }
    bool IsDriveUpdatable(const DriveRecord& record) const override;
    // Adds "not responding" to the record's own state: an updatable drive
    // whose call has been out for kDriveStaleAfter by the clock.
    DriveState StateOf(const DriveRecord& record) const override;
    // True while any answer is out (and not yet "not responding") or
    // waiting to be applied, or a refresh is scheduled or waits for the
    // hold to end (a poll too): the list is not settled.
    bool Busy() const override;
    // The owner will refresh soon (a device notice came): until then the
    // list counts as not settled.
    void ScheduleRefresh() { m_refreshScheduled = true; }
    UpdateOptions& Options() { return m_options; }
    const UpdateOptions& Options() const { return m_options; }

    // Sets the notice target under the workers' lock: a worker that has not
    // yet told of its answer tells the new one, or nobody when it is empty.
    void SetNotify(Notify notify);
    // The clock the call ages are measured with (the steady clock by default).
    void SetClock(Clock clock) { m_clock = std::move(clock); }
    // Where the warnings' view of a record comes from; none by default.
    using OutlookReader = std::function<DriveOutlook(const DriveRecord&)>;
    void SetOutlook(OutlookReader outlook) { m_outlook = std::move(outlook); }
    DriveOutlook OutlookOf(const DriveRecord& record) const override {
        return m_outlook ? m_outlook(record) : DriveOutlook{};
    }

    // Rebuilds the list under the options in force: drives listed before
    // keep their last records until their answers arrive, their icons
    // included; others are pending. Figures of drives the options now
    // exclude go at once. Icons are asked at `iconSize` pixels. A root list
    // that the platform could not deliver leaves the list empty. While
    // answers are held nothing changes: the refresh runs when they are
    // applied again. Answers that are in by its end are applied: what that
    // changed is returned, for the owner to act on as on ApplyAnswers.
    Applied Refresh(const ShownFlagReader& storedShownFlag, int iconSize = kDefaultDriveIconSize,
                    RefreshWait wait = RefreshWait::Deadline);
    // Asks the free space again (nothing else) of every shown fixed, network
    // and RAM drive the policy allows whose last answer has arrived and
    // whose call is not out. Waits for nothing; answers arrive as late ones.
    // While answers are held, the poll runs when they are applied again.
    void Poll();
    // A free-space notice: reads the free space (nothing else) of the shown,
    // answered drives with these roots ("C:\") whose call is not out and
    // that the policy allows, whatever their type; with none named, polls.
    void PollRoots(const std::vector<std::string>& roots);

    // Runs `open` (which opens the drive) behind the call out on `root`;
    // dropped, and false, while an open of the root is queued or running.
    bool Open(const std::string& root, std::function<void()> open);
    // Asks the drive a cheap call and waits up to `patience` for it; true
    // when it answered. A probe still out from before is waited for instead
    // of asking again.
    bool Probe(const std::string& root, std::chrono::milliseconds patience = kDriveMenuPatience);

    // Fills in the records whose answers have arrived, under the options in
    // force now; drops answers for roots no longer listed. First runs a
    // refresh or poll that waited for the hold. Does nothing while answers
    // are held.
    Applied ApplyAnswers();
    // Holds are counted; while any is held, answers, refreshes and polls
    // wait: the drive selection dialog's entries stand for the records as
    // they were when it opened.
    void HoldAnswers(bool hold);
    // Forgets the refresh and the poll that wait for the hold to end: the
    // owner is closing and wants no more calls.
    void DropOwedWork() { m_refreshOwed = m_pollOwed = false; }
    bool AnswersHeld() const { return m_holds > 0; }

    // The number of drives whose answers are out or not yet applied.
    size_t QueriesInFlight() const { return m_inFlight.size(); }
    // How long until the next call still out turns "not responding"; none
    // when no call is out that will.
    std::optional<std::chrono::milliseconds> NextStateChangeIn() const;

    const tov::DriveEngine& Engine() const { return m_engine; }

    struct Shared;
    struct Query;
    struct ProbeCall;

private:
    enum class Kind { Full, FreeSpace };
    // Queues the calls of `root` on the engine.
    void Start(const std::string& root, Kind kind, bool waitedFor);
    Applied ApplyDoneQueries();
    void Fill(DriveRecord& record, Query& query, bool standIn, Applied& applied) const;
    void FillFreeSpace(DriveRecord& record, const Query& query, Applied& applied) const;
    bool CallOut(const std::string& root, std::chrono::steady_clock::time_point* started) const;
    // Asks the free space of `record` when nothing stops it.
    void PollRecord(const DriveRecord& record, bool polledTypesOnly);

    std::shared_ptr<DrivePlatform> m_platform;
    std::chrono::milliseconds m_deadline;
    std::shared_ptr<Shared> m_shared;
    std::map<std::string, std::shared_ptr<Query>> m_inFlight; // by root
    // Roots a refresh listed while their earlier call was out: asked again
    // once that answer is in.
    std::set<std::string> m_askAgain;
    DriveList m_drives;
    UpdateOptions m_options;
    ShownFlagReader m_storedShownFlag;
    OutlookReader m_outlook;
    int m_iconSize = kDefaultDriveIconSize;
    Clock m_clock;
    int m_holds = 0;
    bool m_refreshOwed = false;
    bool m_refreshScheduled = false;
    bool m_pollOwed = false;
    std::map<std::string, std::shared_ptr<ProbeCall>> m_probes; // by root
    // Last, so that it goes first: its dropped jobs release what they hold
    // while the catalogue is still whole.
    tov::DriveEngine m_engine;
};

// Releases the icon of every record and clears the handles, so that the
// records can no longer be drawn with a released icon.
void ReleaseDriveIcons(DriveList& drives, DrivePlatform& platform);
