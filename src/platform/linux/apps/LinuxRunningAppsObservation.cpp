#include "platform/linux/apps/LinuxRunningAppsObservation.h"

#include "platform/linux/apps/LinuxApplicationIndex.h"

#include <algorithm>
#include <malloc.h>
#include <unistd.h>

namespace vigilo {

/// The processes seen so far, and the installed applications they are matched against.
class LinuxRunningAppsObservation::Looker {
public:
    explicit Looker(const Setup& setup)
        : processes_(setup.procRoot, setup.user, setup.programNames)
        , applicationFolders_(setup.applicationFolders) {}

    /// Whether the look at `listing` is light enough for the main thread.
    [[nodiscard]] bool isLight(const LinuxProcessApps::Listing& listing) const {
        return installed_ && processes_.unseenIn(listing) <= readHereAtMost;
    }

    [[nodiscard]] Answer look(LinuxProcessApps::Listing listing) {
        // Installing or removing software changes the folders; the index is read again then only.
        if (!installed_ || installed_->isOutdated()) {
            installed_ = std::make_unique<LinuxApplicationIndex>(applicationFolders_);
            processes_.forgetProcesses(); // matched against the old entries
        }
        auto ids = processes_.look(listing, *installed_);
        return {.ids = std::move(ids),
                .settled = processes_.isSettled(),
                .applicationProcesses = processes_.applicationProcesses(),
                .listing = std::move(listing)};
    }

private:
    LinuxProcessApps processes_;
    std::vector<std::filesystem::path> applicationFolders_;
    std::unique_ptr<LinuxApplicationIndex> installed_;
};

LinuxRunningAppsObservation::LinuxRunningAppsObservation(const QDBusConnection& bus,
                                                         Scheduler& scheduler, const Setup& setup,
                                                         std::function<void()> onChange)
    : procRoot_(setup.procRoot)
    , loadavg_(procRoot_ / "loadavg")
    , onChange_(std::move(onChange))
    , looker_(std::make_unique<Looker>(setup))
    , threadContext_(new QObject)
    , unitWatch_(bus) {
    thread_.setObjectName(QStringLiteral("running applications"));
    threadContext_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, threadContext_, &QObject::deleteLater);
    thread_.start(QThread::LowPriority);

    QObject::connect(&unitWatch_, &LinuxSystemdUnitWatch::unitsChanged, &answers_, [this] {
        noticeOwed_ = true;
        if (looking_) {
            lookAgain_ = true;
        } else {
            look(listProcesses());
        }
    });
    heartbeat_ = scheduler.onHeartbeat([this] { beat(); });
    // Listing /proc takes a millisecond or more on a busy desktop: the first look lists it on
    // the other thread too.
    lastIdListed_ = lastProcessId();
    look(std::nullopt);
}

LinuxRunningAppsObservation::~LinuxRunningAppsObservation() {
    // After this the other thread touches nothing of the observation's.
    thread_.quit();
    thread_.wait();
}

void LinuxRunningAppsObservation::beat() {
    if (looking_) {
        lookAgain_ = true;
        return;
    }
    // Listing /proc costs the kernel a walk over every task of the system, which on a busy
    // desktop is most of an idle heartbeat's work.
    if (nothingStartedOrEnded()) {
        return;
    }
    auto listing = listProcesses();
    if (settled_ && listing == lookedAt_) {
        return;
    }
    look(std::move(listing));
}

LinuxProcessApps::Listing LinuxRunningAppsObservation::listProcesses() {
    lastIdListed_ = lastProcessId();
    return LinuxProcessApps::listProcesses(procRoot_);
}

std::optional<long> LinuxRunningAppsObservation::lastProcessId() {
    const auto loadavg = loadavg_.readStart(128);
    return loadavg ? LinuxProcessApps::lastProcessId(*loadavg) : std::nullopt;
}

bool LinuxRunningAppsObservation::nothingStartedOrEnded() {
    if (!settled_ || !lastIdListed_ || lastProcessId() != lastIdListed_) {
        return false;
    }
    // An ended process's id comes back only after the ids have gone round, which would have
    // changed the last one.
    return std::ranges::all_of(applicationProcesses_, [this](const std::string& process) {
        return ::access((procRoot_ / process).c_str(), F_OK) == 0;
    });
}

void LinuxRunningAppsObservation::look(std::optional<LinuxProcessApps::Listing> listing) {
    lookOwesNotice_ = std::exchange(noticeOwed_, false);
    if (listing && looker_->isLight(*listing)) {
        lookDone(looker_->look(std::move(*listing)));
        return;
    }
    looking_ = true;
    // The answer goes to `answers_`, which outlives the thread: the destructor ends the thread
    // first.
    QMetaObject::invokeMethod(
        threadContext_,
        [looker = looker_.get(), listing = std::move(listing), answers = &answers_,
         this]() mutable {
            if (!listing) {
                listing = LinuxProcessApps::listProcesses(procRoot_);
            }
            auto answer = looker->look(std::move(*listing));
            // Reading hundreds of processes leaves the thread's memory pool full of freed
            // pieces: given back, they cost the idle program nothing.
            ::malloc_trim(0);
            QMetaObject::invokeMethod(
                answers,
                [this, answer = std::move(answer)]() mutable { lookDone(std::move(answer)); },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void LinuxRunningAppsObservation::lookDone(Answer answer) {
    looking_ = false;
    lookedAt_ = std::move(answer.listing);
    settled_ = answer.settled;
    applicationProcesses_ = std::move(answer.applicationProcesses);
    const bool notify = std::exchange(lookOwesNotice_, false) || *running_ != answer.ids;
    *running_ = std::move(answer.ids);
    if (std::exchange(lookAgain_, false)) {
        auto listing = listProcesses();
        if (noticeOwed_ || !settled_ || listing != lookedAt_) {
            look(std::move(listing));
        }
    }
    if (notify) {
        onChange_();
    }
}

} // namespace vigilo
