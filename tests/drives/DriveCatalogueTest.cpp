// The drive catalogue against a scripted platform: rebuilding the list, the
// policy's answer per record, and drives that answer late or not at all.
// Calls on a held drive block until the test releases them; no test reads
// a clock.
#include "drives/DriveCatalogue.h"
#include "tests/drives/ScriptedDrivePlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <set>
#include <thread>

namespace {
using Strings = std::vector<std::string>;
constexpr uint64_t GB = 1ull << 30;

template <typename T> std::vector<T> Sorted(std::vector<T> s) {
    std::sort(s.begin(), s.end());
    return s;
}

class DriveCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalogue.SetNotify([this] {
            std::lock_guard<std::mutex> lock(mutex);
            ++notified;
            notifiedSignal.notify_all();
        });
    }
    void TearDown() override { platform.ReleaseAll(); }

    // Refreshes with the flags in `stored` (default 1). False when the
    // refresh did not return while a drive was held (it waited for it).
    bool Refresh(RefreshWait wait = RefreshWait::Deadline, int iconSize = 32) {
        auto done = std::async(std::launch::async, [this, wait, iconSize] {
            catalogue.Refresh(
                [this](const wchar_t* wide) {
                    const std::string name = Ascii(wide);
                    std::lock_guard<std::mutex> lock(mutex);
                    lookups.emplace_back(name);
                    if (!throwingName.empty() && name == throwingName)
                        throw std::bad_alloc();
                    const auto it = stored.find(name);
                    return it != stored.end() ? it->second : 1;
                },
                iconSize, wait);
        });
        if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready)
            return true;
        platform.ReleaseAll();
        return false;
    }
    // Applies answers as they arrive until none is out.
    bool Settle() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (catalogue.ApplyAnswers(), catalogue.Busy() || catalogue.QueriesInFlight() != 0) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    // Waits for the n-th late answer's notification.
    bool WaitNotified(int n) {
        std::unique_lock<std::mutex> lock(mutex);
        return notifiedSignal.wait_for(lock, std::chrono::seconds(20),
                                       [&] { return notified >= n; });
    }
    Strings Names() const {
        Strings names;
        for (const DriveRecord& r : catalogue.Drives())
            names.emplace_back(Ascii(r.sfi.szDisplayName));
        return names;
    }
    const DriveRecord& At(size_t i) const { return catalogue.Drives().at(i); }

    std::shared_ptr<ScriptedDrivePlatform> platformPtr = std::make_shared<ScriptedDrivePlatform>();
    ScriptedDrivePlatform& platform = *platformPtr;
    // Long enough for answers the platform does not hold.
    DriveCatalogue catalogue{platformPtr, std::chrono::seconds(2)};
    std::map<std::string, int> stored;
    std::string throwingName; // the stored-flag reader throws for this name
    Strings lookups;
    std::mutex mutex;
    std::condition_variable notifiedSignal;
    int notified = 0;
};

TEST_F(DriveCatalogueTest, KeepsThePlatformOrderAndAsksEachDriveByItsRoot) {
    platform.drives = {{"D:\\", "DATA (D:)", DRIVE_FIXED, true, 100 * GB, 40 * GB},
                       {"A:\\", "Floppy (A:)", DRIVE_REMOVABLE, true, 1440 * 1024, 1024},
                       {"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, 3 * GB, 2 * GB},
                       {"E:\\", "Stick (E:)", DRIVE_REMOVABLE, true, GB, GB}};
    stored = {{"Local Disk (C:)", 0}};
    platform.drives[1].fileSystem = "FAT";
    ASSERT_TRUE(Refresh(RefreshWait::Deadline, 48));

    EXPECT_EQ(Names(), (Strings{"DATA (D:)", "Floppy (A:)", "Local Disk (C:)", "Stick (E:)"}));
    EXPECT_EQ(Sorted(lookups), Sorted(Names()));
    // Hidden drives are typed but never sized; A: and B: are never typed.
    EXPECT_EQ(Sorted(platform.typeRoots), (Strings{"C:\\", "D:\\", "E:\\"}));
    EXPECT_EQ(Sorted(platform.sizeRoots), (Strings{"A:\\", "D:\\", "E:\\"}));
    // The file system is asked only where the size is, the icon at the size asked for.
    EXPECT_EQ(Sorted(platform.fileSystemRoots), Sorted(platform.sizeRoots));
    EXPECT_STREQ(At(1).szFileSystem, L"FAT");
    EXPECT_STREQ(At(2).szFileSystem, L"");
    EXPECT_EQ(platform.iconSizes, std::vector<int>(4, 48));
    EXPECT_FALSE(
        std::count(platform.callThreads.begin(), platform.callThreads.end(), GetCurrentThreadId()));
    EXPECT_EQ(At(0).ulTotalBytes, 100 * GB);
    EXPECT_EQ(At(0).ulTotalFreeBytes, 40 * GB);
    EXPECT_EQ(At(0).ulFreeBytesAvailable, 40 * GB);
    EXPECT_EQ(At(2).bShown, 0);
    EXPECT_EQ(At(2).ulTotalBytes, 0u);
    EXPECT_EQ(At(3).uDriveType, static_cast<UINT>(DRIVE_REMOVABLE));
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(At(i).bPending, 0) << i;
        EXPECT_NE(At(i).sfi.hIcon, nullptr) << i;
    }

    // The policy answers from the kept type, without a call.
    const size_t calls = platform.AllCalls();
    catalogue.Options() = {FALSE, FALSE};
    EXPECT_FALSE(catalogue.IsDriveUpdatable(At(1)));
    EXPECT_FALSE(catalogue.IsDriveUpdatable(At(3)));
    EXPECT_TRUE(catalogue.IsDriveUpdatable(At(0)));
    EXPECT_EQ(platform.AllCalls(), calls);
    // Under the new options the removable drive is no longer sized.
    ASSERT_TRUE(Refresh());
    EXPECT_EQ(At(3).ulTotalBytes, 0u);
    EXPECT_EQ(At(1).ulTotalBytes, 0u);
}

TEST_F(DriveCatalogueTest, LetterAndQueriesComeFromTheRootWhateverTheName) {
    // Letter first, no letter, a failed shell call, a missing medium.
    platform.drives = {{"D:\\", "(D:) DATA", DRIVE_FIXED, true, GB, GB},
                       {"N:\\", "Share", DRIVE_REMOTE, true, GB, GB},
                       {"X:\\", std::nullopt, DRIVE_FIXED, true, GB, GB},
                       {"F:\\", "CD (F:)", DRIVE_CDROM, false}};
    ASSERT_TRUE(Refresh());
    EXPECT_EQ(Sorted(platform.sizeRoots), (Strings{"D:\\", "F:\\", "N:\\", "X:\\"}));
    Strings letters;
    for (const DriveRecord& r : catalogue.Drives())
        letters.push_back(DriveLetterOf(r));
    EXPECT_EQ(letters, (Strings{"D", "N", "X", "F"}));
    EXPECT_EQ(At(0).ulTotalBytes, GB);
    EXPECT_EQ(At(1).ulTotalBytes, GB);
    EXPECT_EQ(At(2).sfi.hIcon, nullptr);
    EXPECT_EQ(ListedNameOf(At(2)), L"X:\\");
    EXPECT_EQ(ListedNameOf(At(0)), L"(D:) DATA");
    EXPECT_EQ(At(3).ulTotalBytes + At(3).ulTotalFreeBytes + At(3).ulFreeBytesAvailable, 0u);
}

TEST_F(DriveCatalogueTest, IconsOfThePreviousListAreReleasedAtEachRefresh) {
    platform.drives = {{"C:\\", "Local Disk (C:)"}, {"D:\\", "DATA (D:)"}};
    ASSERT_TRUE(Refresh());
    const std::vector<HICON> first = platform.handedOut;
    EXPECT_TRUE(platform.released.empty());
    ASSERT_TRUE(Refresh());
    EXPECT_EQ(std::set<HICON>(platform.released.begin(), platform.released.end()),
              std::set<HICON>(first.begin(), first.end()));
    ASSERT_EQ(catalogue.Drives().size(), 2u); // rebuilt, not appended to
}

TEST_F(DriveCatalogueTest, UndeliveredRootListGivesAnEmptyList) {
    platform.drives = {{"C:\\", "Local Disk (C:)"}};
    for (DWORD result : {DWORD{0}, DWORD{512}, DWORD{4096}}) {
        platform.rootListResult = result;
        ASSERT_TRUE(Refresh());
        EXPECT_TRUE(catalogue.Drives().empty()) << result;
    }
    EXPECT_TRUE(platform.infoRoots.empty());
    // 511 characters with no terminating empty string: one root, and the
    // walk stops at the end of the buffer.
    platform.rootListResult.reset();
    platform.rawRootList = std::string(511, 'x');
    ASSERT_TRUE(Refresh());
    ASSERT_EQ(platform.infoRoots.size(), 1u);
    EXPECT_EQ(platform.infoRoots[0].size(), 511u);
}

TEST_F(DriveCatalogueTest, AHeldDriveIsWaitedForOnlyUntilTheDeadlineAndFilledInLate) {
    DriveCatalogue quick{platformPtr, std::chrono::milliseconds(200)};
    // The test's clock stands still until the engine has returned `free`
    // jobs (the shell's set-up and the drives not held), then the deadline
    // passes: however slow the machine, the free drives are in first.
    size_t free = 3;
    auto now = std::chrono::steady_clock::now();
    quick.SetClock([&] {
        if (quick.Engine().JobsDone() >= free)
            now += std::chrono::hours(1);
        return now;
    });
    quick.SetNotify([this] {
        std::lock_guard<std::mutex> lock(mutex);
        ++notified;
        notifiedSignal.notify_all();
    });
    platform.drives = {{"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, GB, GB},
                       {"S:\\", "Slow (S:)", DRIVE_REMOTE, true, 2 * GB, GB},
                       {"T:\\", "Tape (T:)", DRIVE_REMOVABLE, true, GB, GB}};
    platform.Hold("S:\\");
    quick.Refresh([](const wchar_t*) { return 1; });
    // Every other drive is complete; S: has the record of a failed call.
    ASSERT_EQ(quick.Drives().size(), 3u);
    EXPECT_EQ(quick.Drives()[0].ulTotalBytes, GB);
    const DriveRecord slow = quick.Drives()[1];
    EXPECT_EQ(slow.bPending, 1);
    EXPECT_EQ(slow.bShown, 1);
    EXPECT_EQ(slow.sfi.hIcon, nullptr);
    EXPECT_STREQ(slow.sfi.szDisplayName, L"");
    EXPECT_EQ(slow.ulTotalBytes, 0u);
    EXPECT_EQ(DriveLetterOf(slow), "S");
    EXPECT_TRUE(quick.IsDriveUpdatable(slow)) << "light box: asked, no answer";

    // Refreshes while S: is still out do not wait for it, nor ask it again.
    for (int i = 0; i < 2; ++i) {
        free += 2; // C: and T:
        auto again = std::async(std::launch::async,
                                [&] { quick.Refresh([](const wchar_t*) { return 1; }); });
        // The deadline is far shorter than this; a refresh that waited for
        // S: would not return before the release below.
        ASSERT_EQ(again.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    }
    EXPECT_EQ(platform.CallsOn("S:\\"), 1u);
    EXPECT_EQ(quick.QueriesInFlight(), 1u);
    EXPECT_TRUE(quick.ApplyAnswers().choices.empty());

    // The options change before the answer arrives: T: is removable and its
    // figures, asked under the old options, are dropped.
    platform.Hold("T:\\");
    free += 1; // C:
    quick.Refresh([](const wchar_t*) { return 1; });
    quick.Options().viewRemoveables = FALSE;
    platform.Release("S:\\");
    platform.Release("T:\\");
    ASSERT_TRUE(WaitNotified(2));
    platform.Hold("S:\\");
    const DriveCatalogue::Applied applied = quick.ApplyAnswers();
    EXPECT_TRUE(applied.changed);
    EXPECT_FALSE(applied.shownChanged);
    EXPECT_STREQ(quick.Drives()[1].sfi.szDisplayName, L"Slow (S:)");
    EXPECT_NE(quick.Drives()[1].sfi.hIcon, nullptr);
    EXPECT_EQ(quick.Drives()[1].ulTotalBytes, 2 * GB);
    EXPECT_EQ(quick.Drives()[1].uDriveType, static_cast<UINT>(DRIVE_REMOTE));
    EXPECT_EQ(quick.Drives()[2].bPending, 0);
    EXPECT_EQ(quick.Drives()[2].ulTotalBytes, 0u);
    // S:'s answer predates the two refreshes that listed it again: it stands
    // in, and S: is asked again at once (a disc swapped meanwhile shows).
    EXPECT_EQ(quick.Drives()[1].bPending, 1);
    platform.drives[1].displayName = "Swapped (S:)";
    platform.Release("S:\\");
    ASSERT_TRUE(WaitNotified(3));
    EXPECT_TRUE(quick.ApplyAnswers().changed);
    EXPECT_STREQ(quick.Drives()[1].sfi.szDisplayName, L"Swapped (S:)");
    EXPECT_EQ(quick.Drives()[1].bPending, 0);
    EXPECT_EQ(quick.QueriesInFlight(), 0u);
    EXPECT_FALSE(quick.ApplyAnswers().changed);
}

TEST_F(DriveCatalogueTest, LateAnswersMeetTheListAsItIsThen) {
    DriveCatalogue quick{platformPtr, std::chrono::milliseconds(200)};
    quick.SetNotify([this] {
        std::lock_guard<std::mutex> lock(mutex);
        ++notified;
        notifiedSignal.notify_all();
    });
    const auto flags = [](const wchar_t* name) {
        return std::wstring(name) == L"Old (H:)" ? 0 : 1;
    };
    platform.drives = {{"G:\\", "Gone (G:)"}, {"H:\\", "Old (H:)"}, {"K:\\", "Kept (K:)"}};
    for (const char* root : {"G:\\", "H:\\", "K:\\"})
        platform.Hold(root);
    quick.Refresh(flags);
    // G: leaves the list; K: is hidden by the user while its name is unknown.
    platform.rawRootList = std::string("H:\\\0K:\\\0", 9);
    quick.Refresh(flags);
    ASSERT_EQ(quick.Drives().size(), 2u);
    quick.SetShown(1, false);
    quick.HoldAnswers(true);
    platform.ReleaseAll();
    ASSERT_TRUE(WaitNotified(3));
    EXPECT_FALSE(quick.ApplyAnswers().changed) << "held while the dialog is open";
    EXPECT_EQ(quick.Drives()[0].bPending, 1);

    quick.HoldAnswers(false);
    // Both answers predate the second refresh: they stand in, and H: and K:
    // are asked again, which waits here.
    platform.Hold("H:\\");
    platform.Hold("K:\\");
    const DriveCatalogue::Applied applied = quick.ApplyAnswers();
    // G:'s answer is dropped and its icon released.
    ASSERT_EQ(platform.handedOut.size(), 3u);
    EXPECT_EQ(platform.released.size(), 1u);
    EXPECT_TRUE(applied.changed);
    // H:'s stored entry hides it once its name is known.
    EXPECT_TRUE(applied.shownChanged);
    EXPECT_EQ(quick.Drives()[0].bShown, 0);
    EXPECT_EQ(quick.Drives()[0].ulTotalBytes, 0u);
    // K:'s choice stands, and is to be stored under its name.
    EXPECT_EQ(quick.Drives()[1].bShown, 0);
    EXPECT_EQ(applied.choices, (std::vector<std::pair<std::wstring, int>>{{L"Kept (K:)", 0}}));
    // The stored flag the new answer read may predate the store: the choice
    // still stands.
    platform.ReleaseAll();
    ASSERT_TRUE(WaitNotified(5));
    quick.ApplyAnswers();
    EXPECT_EQ(quick.Drives()[1].bShown, 0);
    EXPECT_EQ(quick.Drives()[1].bPending, 0);
}

TEST_F(DriveCatalogueTest, GoingAwayWithACallOutDoesNotWaitAndTheWorkerReleasesItsIcon) {
    platform.drives = {{"S:\\", "Slow (S:)"}};
    platform.Hold("S:\\");
    {
        DriveCatalogue quick{platformPtr, std::chrono::milliseconds(0)};
        quick.Refresh([](const wchar_t*) { return 1; });
        EXPECT_EQ(quick.Drives()[0].bPending, 1);
        // Out, not only queued: a job not yet begun is dropped unrun.
        ASSERT_TRUE(PumpUntil([&] { return platform.CallsOn("S:\\") == 1; }, [] {}));
    }
    platform.Release("S:\\");
    // The worker is the last owner of the platform but for this test.
    while (platformPtr.use_count() > 2)
        std::this_thread::yield();
    EXPECT_EQ(platform.released, platform.handedOut);
    EXPECT_EQ(platform.released.size(), 1u);
}

TEST_F(DriveCatalogueTest, ARefreshKeepsTheBestKnownRecordAndSaysWhenACallIsOutTooLong) {
    auto now = std::chrono::steady_clock::time_point{};
    catalogue.SetClock([&now] { return now; });
    platform.drives = {{"A:\\", "Floppy (A:)", DRIVE_REMOVABLE, true, 1440 * 1024, 1024},
                       {"S:\\", "Slow (S:)", DRIVE_REMOTE, true, 2 * GB, GB}};
    ASSERT_TRUE(Refresh());
    EXPECT_FALSE(catalogue.Busy());
    const HICON icon = At(1).sfi.hIcon;

    // F5 with S: slow, a new drive T: and the floppy switched off: the
    // refresh returns at once, S: keeps its record, A: loses its figures.
    platform.Hold("S:\\");
    platform.Hold("T:\\");
    platform.drives.push_back({"T:\\", "New (T:)", DRIVE_FIXED, true, GB, GB});
    platform.drives[1].freeBytes = GB / 2;
    catalogue.Options().viewFloppies = FALSE;
    ASSERT_TRUE(Refresh(RefreshWait::None));
    EXPECT_TRUE(catalogue.Busy());
    EXPECT_EQ(catalogue.StateOf(At(0)), DriveState::NotQueried);
    EXPECT_EQ(At(0).ulTotalBytes, 0u);
    EXPECT_STREQ(At(1).sfi.szDisplayName, L"Slow (S:)");
    EXPECT_EQ(At(1).sfi.hIcon, icon);
    EXPECT_EQ(At(1).ulTotalFreeBytes, GB);
    EXPECT_EQ(catalogue.StateOf(At(1)), DriveState::Sized);
    EXPECT_EQ(catalogue.StateOf(At(2)), DriveState::Waiting);

    // Five seconds on, figures known or not, neither is to be believed.
    ASSERT_EQ(catalogue.NextStateChangeIn(), std::chrono::milliseconds(kDriveStaleAfter));
    now += kDriveStaleAfter;
    EXPECT_EQ(catalogue.StateOf(At(1)), DriveState::NotResponding);
    EXPECT_EQ(catalogue.StateOf(At(2)), DriveState::NotResponding);
    EXPECT_EQ(catalogue.StateOf(At(0)), DriveState::NotQueried);
    EXPECT_FALSE(catalogue.NextStateChangeIn());
    // Calls that may never return no longer keep the list busy, once A:'s
    // answer is in.
    ASSERT_TRUE(PumpUntil(
        [&] { return catalogue.ApplyAnswers(), catalogue.QueriesInFlight() == 2; }, [] {}));
    EXPECT_FALSE(catalogue.Busy());

    platform.ReleaseAll();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(At(1).ulTotalFreeBytes, GB / 2);
    EXPECT_EQ(catalogue.StateOf(At(1)), DriveState::Sized);
    EXPECT_EQ(catalogue.StateOf(At(2)), DriveState::Sized);
    EXPECT_EQ(std::count(platform.released.begin(), platform.released.end(), icon), 1);
}

TEST_F(DriveCatalogueTest, APollReadsOnlyTheFreeSpaceOfAnsweredFixedNetworkAndRamDrives) {
    platform.drives = {{"A:\\", "Floppy (A:)", DRIVE_FIXED, true, GB, GB},
                       {"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, 4 * GB, 2 * GB},
                       {"E:\\", "Stick (E:)", DRIVE_REMOVABLE, true, GB, GB},
                       {"F:\\", "CD (F:)", DRIVE_CDROM, true, GB, GB},
                       {"H:\\", "Hidden (H:)", DRIVE_FIXED, true, GB, GB},
                       {"N:\\", "Share (N:)", DRIVE_REMOTE, true, GB, GB},
                       {"R:\\", "Ram (R:)", DRIVE_RAMDISK, true, GB, GB},
                       {"S:\\", "Slow (S:)", DRIVE_FIXED, true, GB, GB}};
    stored = {{"Hidden (H:)", 0}};
    platform.Hold("S:\\");
    ASSERT_TRUE(Refresh(RefreshWait::None));
    ASSERT_TRUE(WaitNotified(7));
    ASSERT_TRUE(PumpUntil([&] { return platform.CallsOn("S:\\") == 1; }, [] {}));
    catalogue.ApplyAnswers();
    const size_t infoCalls = platform.infoRoots.size(), typeCalls = platform.typeRoots.size();
    const size_t fsCalls = platform.fileSystemRoots.size();
    platform.sizeRoots.clear();

    // Free space only, of C:, N: and R:; S: is still out; the file system stays.
    platform.drives[1].freeBytes = GB;
    catalogue.Poll();
    ASSERT_TRUE(WaitNotified(10));
    const DriveCatalogue::Applied applied = catalogue.ApplyAnswers();
    EXPECT_EQ(Sorted(platform.sizeRoots), (Strings{"C:\\", "N:\\", "R:\\"}));
    EXPECT_EQ(platform.infoRoots.size(), infoCalls);
    EXPECT_EQ(platform.typeRoots.size(), typeCalls);
    EXPECT_EQ(platform.fileSystemRoots.size(), fsCalls);
    EXPECT_TRUE(applied.changed);
    EXPECT_EQ(At(1).ulTotalFreeBytes, GB);
    EXPECT_STREQ(At(1).szFileSystem, L"NTFS");
    // Unchanged figures repaint nothing, yet each answer is a reading.
    catalogue.Poll();
    ASSERT_TRUE(WaitNotified(13));
    const DriveCatalogue::Applied again = catalogue.ApplyAnswers();
    EXPECT_FALSE(again.changed);
    EXPECT_EQ(Sorted(again.answeredRoots), (Strings{"C:\\", "N:\\", "R:\\"}));
    // Answers that a refresh finds in are applied by it, and said so: their
    // readings count too.
    catalogue.Poll();
    ASSERT_TRUE(WaitNotified(16));
    const DriveCatalogue::Applied byRefresh =
        catalogue.Refresh([](const wchar_t*) { return 1; }, 32, RefreshWait::None);
    const std::set<std::string> answered(byRefresh.answeredRoots.begin(),
                                         byRefresh.answeredRoots.end());
    for (const char* root : {"C:\\", "N:\\", "R:\\"})
        EXPECT_EQ(answered.count(root), 1u) << root;
}

TEST_F(DriveCatalogueTest, AChoiceForAnUnnamedDriveSurvivesRefreshesAndToggles) {
    platform.drives = {{"K:\\", "Kept (K:)"}};
    platform.Hold("K:\\");
    ASSERT_TRUE(Refresh(RefreshWait::None));
    catalogue.SetShown(0, false);
    ASSERT_TRUE(Refresh(RefreshWait::None));
    catalogue.Options().viewRemoveables = FALSE;
    ASSERT_TRUE(Refresh(RefreshWait::None));
    EXPECT_EQ(At(0).bShown, 0);
    platform.ReleaseAll();
    ASSERT_TRUE(WaitNotified(1));
    const DriveCatalogue::Applied applied = catalogue.ApplyAnswers();
    EXPECT_EQ(applied.choices, (std::vector<std::pair<std::wstring, int>>{{L"Kept (K:)", 0}}));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(At(0).bShown, 0);
}

TEST_F(DriveCatalogueTest, WhileHeldNoRefreshOrPollRunsAndEachRunsOnceAfterTheLastHold) {
    platform.drives = {{"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, GB, GB}};
    ASSERT_TRUE(Refresh());
    catalogue.HoldAnswers(true);
    catalogue.HoldAnswers(true);
    platform.drives.push_back({"D:\\", "DATA (D:)"});
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Refresh(RefreshWait::None));
        catalogue.Poll();
    }
    EXPECT_EQ(platform.rootListCalls, 1);
    EXPECT_EQ(platform.sizeRoots.size(), 1u);
    EXPECT_EQ(catalogue.Drives().size(), 1u);
    EXPECT_TRUE(catalogue.Busy());
    catalogue.HoldAnswers(false);
    EXPECT_FALSE(catalogue.ApplyAnswers().changed);
    catalogue.HoldAnswers(false);
    EXPECT_TRUE(catalogue.ApplyAnswers().shownChanged);
    EXPECT_EQ(platform.rootListCalls, 2);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Names(), (Strings{"Local Disk (C:)", "DATA (D:)"}));
}

TEST_F(DriveCatalogueTest, AClearedNoticeTargetIsNeverCalledAndAThrowingCallCountsAsFailed) {
    platform.drives = {{"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, GB, GB},
                       {"S:\\", "Slow (S:)", DRIVE_REMOTE, true, GB, GB}};
    throwingName = "Local Disk (C:)";
    platform.Hold("S:\\");
    ASSERT_TRUE(Refresh(RefreshWait::None));
    ASSERT_TRUE(WaitNotified(1));
    catalogue.SetNotify(nullptr);
    platform.Release("S:\\");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(notified, 1);
    // The worker's exception stayed in the worker: the answer is a failed call.
    EXPECT_EQ(At(0).bPending, 0);
    EXPECT_EQ(At(0).ulTotalBytes, 0u);
    EXPECT_EQ(At(1).ulTotalBytes, GB);
}

TEST_F(DriveCatalogueTest, EveryIconHandedOutIsReleasedExactlyOnceAfterTheCatalogueAndItsWorkers) {
    platform.drives = {{"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, GB, GB},
                       {"G:\\", "Gone (G:)"},
                       {"S:\\", "Slow (S:)", DRIVE_REMOTE, true, GB, GB}};
    {
        DriveCatalogue local{platformPtr, std::chrono::milliseconds(0)};
        const auto refresh = [&] {
            local.Refresh([](const wchar_t*) { return 1; }, 32, RefreshWait::None);
        };
        platform.Hold("G:\\");
        refresh();
        refresh(); // G: is out: its answer will stand in
        platform.rawRootList = std::string("C:\\\0S:\\\0", 9);
        refresh(); // G: has gone while its call is out
        platform.Release("G:\\");
        const auto settle = [&] {
            while (local.ApplyAnswers(), local.QueriesInFlight() != 0)
                std::this_thread::yield();
        };
        settle();
        local.Poll();
        settle();
        platform.Hold("S:\\");
        const size_t calls = platform.CallsOn("S:\\");
        refresh(); // the catalogue goes with S: out
        while (platform.CallsOn("S:\\") == calls)
            std::this_thread::yield();
    }
    platform.ReleaseAll();
    while (platformPtr.use_count() > 2)
        std::this_thread::yield();
    EXPECT_EQ(Sorted(platform.released), Sorted(platform.handedOut));
    EXPECT_GE(platform.handedOut.size(), 6u);
}

TEST_F(DriveCatalogueTest, AHeldRootAndTwentyFreeOnesThroughFiveRefreshes) {
    // No thread is added for a stall: the free drives keep the queue moving.
    const tov::DriveEngine::Limits limits{3, 6, std::chrono::hours(1)};
    DriveCatalogue local{platformPtr, std::chrono::milliseconds(0), limits};
    for (char letter = 'C'; letter <= 'W'; ++letter)
        platform.drives.push_back(
            {std::string(1, letter) + ":\\", std::string(1, letter), DRIVE_FIXED, true, GB, GB});
    platform.Hold("H:\\");
    for (int i = 0; i < 5; ++i) {
        local.Refresh([](const wchar_t*) { return 1; }, 32, RefreshWait::None);
        ASSERT_TRUE(
            PumpUntil([&] { return local.ApplyAnswers(), local.QueriesInFlight() == 1; }, [] {}));
        for (const DriveRecord& r : local.Drives())
            EXPECT_EQ(r.ulTotalBytes, r.szRoot[0] == 'H' ? 0 : GB) << r.szRoot << " " << i;
    }
    EXPECT_EQ(platform.CallsOn("H:\\"), 1u);
    EXPECT_LE(local.Engine().PeakThreads(), limits.threads + 1) << "the runners and one watcher";
}

TEST_F(DriveCatalogueTest, OneOpenPerDriveAndFreeSpaceNoticesReadTheNamedDrivesOnly) {
    platform.drives = {{"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, GB, GB},
                       {"E:\\", "Stick (E:)", DRIVE_REMOVABLE, true, GB, GB},
                       {"N:\\", "Share (N:)", DRIVE_REMOTE, true, GB, GB}};
    ASSERT_TRUE(Refresh());
    // Ten opens of a drive whose open hangs: one call.
    std::promise<void> gate;
    const std::shared_future<void> open = gate.get_future().share();
    std::atomic<int> opens{0};
    int queued = 0;
    for (int i = 0; i < 10; ++i)
        queued += catalogue.Open("N:\\", [&opens, open] {
            ++opens;
            open.wait();
        });
    EXPECT_EQ(queued, 1);
    // The notice names E:; its figures are as they were, yet it answered.
    platform.sizeRoots.clear();
    catalogue.PollRoots({"E:\\"});
    ASSERT_TRUE(WaitNotified(1));
    const DriveCatalogue::Applied applied = catalogue.ApplyAnswers();
    EXPECT_EQ(platform.sizeRoots, (Strings{"E:\\"}));
    EXPECT_EQ(applied.answeredRoots, (Strings{"E:\\"}));
    EXPECT_FALSE(applied.changed);
    // A notice that names none reads every polled drive; N:'s poll waits
    // behind its open.
    catalogue.PollRoots({});
    ASSERT_TRUE(WaitNotified(2));
    EXPECT_EQ(platform.sizeRoots, (Strings{"E:\\", "C:\\"}));
    gate.set_value();
    ASSERT_TRUE(WaitNotified(3));
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(platform.rootListCalls, 1);
}

TEST(DriveRecordTest, CountsShownDrives) {
    DriveList drives(3, DriveRecord{});
    EXPECT_EQ(CountShownDrives({}), 0);
    EXPECT_EQ(CountShownDrives(drives), 0);
    drives[0].bShown = 1;
    drives[2].bShown = 1;
    EXPECT_EQ(CountShownDrives(drives), 2);
}
} // namespace
