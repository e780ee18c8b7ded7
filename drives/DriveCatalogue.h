// The one owner of the drive data: the drive list, its refresh from the
// platform and the update policy's answer for each record.
//
// A refresh lists the drive roots and asks every drive on its own worker
// thread, all at once: shell information, the stored shown flag, the drive
// type and, for a shown drive the policy allows, the free space. It waits for
// the answers only until a deadline measured from its start. A drive that has
// not answered by then gets the record of a failed call (no icon, no name, no
// size data, unknown type; its letter comes from the root) and is filled in
// when its answer arrives: the worker calls the notification, and the owner
// then calls ApplyAnswers on its own thread. At most one worker per root is
// out at a time; a refresh that finds one still out starts no other and does
// not wait for it. Workers touch nothing but their own shared state and the
// platform, and nothing waits for them when the catalogue goes away.
#pragma once

#include "drives/DrivePlatform.h"
#include "drives/DriveSource.h"
#include "drives/UpdatePolicy.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Long enough for the shell's first-use set-up on a cold start, short enough
// that the window does not seem to stall.
constexpr std::chrono::milliseconds kDriveAnswerDeadline{300};

class DriveCatalogue final : public DriveSource {
public:
    // The stored shown flag of a display name (1 when none is stored). Called
    // on worker threads: it must own everything it reads.
    using ShownFlagReader = std::function<int(const wchar_t* displayName)>;
    // Called on a worker thread when an answer arrives after its refresh
    // stopped waiting. It may only hand the news on (post a message).
    using Notify = std::function<void()>;

    // What applying late answers changed, for the owner to act on.
    struct Applied {
        bool changed = false;      // some record was filled in: repaint
        bool shownChanged = false; // the set of shown drives changed: rescroll
        // Choices made while a name was unknown, to store under the name now.
        std::vector<std::pair<std::wstring, int>> choices;
    };

    explicit DriveCatalogue(std::shared_ptr<DrivePlatform> platform = Win32DrivePlatform(),
                            std::chrono::milliseconds deadline = kDriveAnswerDeadline);
    ~DriveCatalogue();
    DriveCatalogue(const DriveCatalogue&) = delete;
    DriveCatalogue& operator=(const DriveCatalogue&) = delete;

    DriveList& Drives() override { return m_drives; }
    const DriveList& Drives() const { return m_drives; }
    bool IsDriveUpdatable(const DriveRecord& record) const override;
    UpdateOptions& Options() { return m_options; }
    const UpdateOptions& Options() const { return m_options; }

    void SetNotify(Notify notify) { m_notify = std::move(notify); }

    // Rebuilds the list (releasing the icons of the old one) under the
    // options in force, waiting for the drives' answers up to the deadline.
    // A root list that the platform could not deliver leaves the list empty.
    void Refresh(const ShownFlagReader& storedShownFlag);

    // Fills in the records whose answers have arrived, under the options in
    // force now; drops answers for roots no longer listed. Does nothing while
    // answers are held.
    Applied ApplyAnswers();
    // While held, answers wait: the drive selection dialog's entries stand
    // for the records as they were when it opened.
    void HoldAnswers(bool hold) { m_held = hold; }
    bool AnswersHeld() const { return m_held; }

    // The number of drives whose answers are still out.
    size_t QueriesInFlight() const { return m_inFlight.size(); }

    struct Shared;
    struct Query;

private:
    Applied ApplyDoneQueries();
    void Fill(DriveRecord& record, const Query& query, Applied& applied) const;

    std::shared_ptr<DrivePlatform> m_platform;
    std::chrono::milliseconds m_deadline;
    std::shared_ptr<Shared> m_shared;
    std::map<std::string, std::shared_ptr<Query>> m_inFlight; // by root
    DriveList m_drives;
    UpdateOptions m_options;
    Notify m_notify;
    bool m_held = false;
};

// Releases the icon of every record and clears the handles, so that the
// records can no longer be drawn with a released icon.
void ReleaseDriveIcons(DriveList& drives, DrivePlatform& platform);
