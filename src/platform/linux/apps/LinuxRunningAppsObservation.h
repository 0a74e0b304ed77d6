#pragma once

#include "platform/linux/apps/LinuxProcessApps.h"
#include "platform/linux/apps/LinuxSystemdUnitWatch.h"
#include "platform/posix/KeptOpenFile.h"
#include "ports/Scheduler.h"
#include "ports/Workspace.h"

#include <QDBusConnection>
#include <QObject>
#include <QThread>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vigilo {

/// Notices of applications starting and quitting. The systemd user manager's unit signals, where
/// it answers, come at once but only for programs given a unit of their own; a look at the
/// running applications on every heartbeat of the scheduler finds the rest (programs started
/// from a terminal, launchers that make no unit).
///
/// A heartbeat does nothing more when no process has started since the latest look and the
/// processes of the applications found then still run; else it lists /proc on the main thread
/// and stops there when the listing did not change.
/// A few processes not seen before are read there too; more of them are read on a thread of the
/// observation's own, whose answer comes back to the main thread. The first look, taken at once,
/// is all done there: it lists /proc as well and reads every process.
class LinuxRunningAppsObservation final : public Workspace::Observation {
public:
    /// Where the processes and the installed applications are, as `LinuxWorkspace` takes them.
    struct Setup {
        std::filesystem::path procRoot;
        uid_t user = 0;
        std::set<std::string> programNames;
        std::vector<std::filesystem::path> applicationFolders;
    };
    /// What the latest look found; nothing until the first look is in.
    using Running = std::optional<std::set<std::string>>;

    /// Calls `onChange` on the main thread after every look whose answer differs from the
    /// previous one (the first one included), and after the look that follows a unit signal.
    LinuxRunningAppsObservation(const QDBusConnection& bus, Scheduler& scheduler,
                                const Setup& setup, std::function<void()> onChange);
    /// Waits for a look under way to end.
    ~LinuxRunningAppsObservation() override;
    LinuxRunningAppsObservation(const LinuxRunningAppsObservation&) = delete;
    LinuxRunningAppsObservation& operator=(const LinuxRunningAppsObservation&) = delete;

    /// True once the systemd manager agreed to send its notices besides the poll.
    [[nodiscard]] bool usesSystemdNotices() const { return unitWatch_.isSubscribed(); }
    /// The latest answer, kept up to date on the main thread while the observation lives.
    [[nodiscard]] std::shared_ptr<const Running> running() const { return running_; }

private:
    class Looker;
    struct Answer {
        std::set<std::string> ids;
        bool settled = false;
        std::vector<std::string> applicationProcesses;
        /// What was looked at.
        LinuxProcessApps::Listing listing;
    };
    /// Reading this many processes takes well under a millisecond: the main thread does it
    /// rather than wake the other thread and be woken by its answer.
    static constexpr std::size_t readHereAtMost = 8;

    void beat();
    /// Lists /proc, noting the last process id first.
    [[nodiscard]] LinuxProcessApps::Listing listProcesses();
    /// True when the latest look is settled, no process started since its listing and none of
    /// its application processes ended.
    [[nodiscard]] bool nothingStartedOrEnded();
    /// Read on every heartbeat, through a descriptor kept open.
    [[nodiscard]] std::optional<long> lastProcessId();
    /// Looks at `listing`; without one, the other thread lists /proc first.
    void look(std::optional<LinuxProcessApps::Listing> listing);
    void lookDone(Answer answer);

    std::filesystem::path procRoot_;
    KeptOpenFile loadavg_;
    std::function<void()> onChange_;
    std::shared_ptr<Running> running_ = std::make_shared<Running>();
    /// Used by one thread at a time: the main thread, except while `looking_`.
    std::unique_ptr<Looker> looker_;
    /// The listing the latest look was given, and whether that look left nothing to check.
    std::optional<LinuxProcessApps::Listing> lookedAt_;
    bool settled_ = false;
    /// The last process id when the latest listing was taken. Every listing is either looked at
    /// or found the same as the one looked at, so this also dates `lookedAt_`.
    std::optional<long> lastIdListed_;
    /// The processes that gave the latest look's applications.
    std::vector<std::string> applicationProcesses_;
    /// The other thread looks.
    bool looking_ = false;
    /// Something asked for a look while the other thread looked.
    bool lookAgain_ = false;
    /// A unit signal came: the next look to start owes a notice, then the one under way.
    bool noticeOwed_ = false;
    bool lookOwesNotice_ = false;
    /// Answers from the other thread are delivered to this, on the main thread; destroying it
    /// drops those not delivered yet.
    QObject answers_;
    QThread thread_;
    /// Lives on `thread_`, which deletes it as it finishes.
    QObject* threadContext_;
    LinuxSystemdUnitWatch unitWatch_;
    std::unique_ptr<Scheduler::Repeating> heartbeat_;
};

} // namespace vigilo
