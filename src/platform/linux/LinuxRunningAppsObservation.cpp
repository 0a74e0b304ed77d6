#include "platform/linux/LinuxRunningAppsObservation.h"

#include "platform/linux/LinuxApplicationIndex.h"

namespace vigilo {

/// Reads the processes on the observation's thread, and only there.
class LinuxRunningAppsObservation::Looker final : public QObject {
public:
    explicit Looker(const Setup& setup)
        : processes_(setup.procRoot, setup.user, setup.programNames)
        , applicationFolders_(setup.applicationFolders) {}

    [[nodiscard]] Answer look(const LinuxProcessApps::Listing& listing) {
        // Installing or removing software changes the folders; the index is read again then only.
        if (!installed_ || installed_->isOutdated()) {
            installed_ = std::make_unique<LinuxApplicationIndex>(applicationFolders_);
            processes_.forgetProcesses(); // matched against the old entries
        }
        auto ids = processes_.look(listing, *installed_);
        return {.ids = std::move(ids), .settled = processes_.isSettled()};
    }

private:
    LinuxProcessApps processes_;
    std::vector<std::filesystem::path> applicationFolders_;
    std::unique_ptr<LinuxApplicationIndex> installed_;
};

LinuxRunningAppsObservation::LinuxRunningAppsObservation(const QDBusConnection& bus,
                                                         Scheduler& scheduler, Setup setup,
                                                         std::function<void()> onChange)
    : procRoot_(setup.procRoot)
    , onChange_(std::move(onChange))
    , looker_(new Looker(setup))
    , unitWatch_(bus) {
    thread_.setObjectName(QStringLiteral("running applications"));
    looker_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, looker_, &QObject::deleteLater);
    thread_.start(QThread::LowPriority);

    QObject::connect(&unitWatch_, &LinuxSystemdUnitWatch::unitsChanged, &answers_, [this] {
        noticeOwed_ = true;
        if (looking_) {
            lookAgain_ = true;
        } else {
            startLook(LinuxProcessApps::listProcesses(procRoot_));
        }
    });
    heartbeat_ = scheduler.onHeartbeat([this] { beat(); });
    startLook(LinuxProcessApps::listProcesses(procRoot_));
}

LinuxRunningAppsObservation::~LinuxRunningAppsObservation() {
    thread_.quit();
    thread_.wait();
}

void LinuxRunningAppsObservation::beat() {
    if (looking_) {
        lookAgain_ = true;
        return;
    }
    auto listing = LinuxProcessApps::listProcesses(procRoot_);
    if (settled_ && listing == lookedAt_) {
        return;
    }
    startLook(std::move(listing));
}

void LinuxRunningAppsObservation::startLook(LinuxProcessApps::Listing listing) {
    looking_ = true;
    lookOwesNotice_ = std::exchange(noticeOwed_, false);
    lookedAt_ = listing;
    // The answer goes to `answers_`, which outlives the thread: the destructor ends the thread
    // first.
    QMetaObject::invokeMethod(
        looker_,
        [looker = looker_, listing = std::move(listing), answers = &answers_, this] {
            auto answer = looker->look(listing);
            QMetaObject::invokeMethod(
                answers,
                [this, answer = std::move(answer)]() mutable { lookDone(std::move(answer)); },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void LinuxRunningAppsObservation::lookDone(Answer answer) {
    looking_ = false;
    settled_ = answer.settled;
    const bool notify = std::exchange(lookOwesNotice_, false) || *running_ != answer.ids;
    *running_ = std::move(answer.ids);
    if (std::exchange(lookAgain_, false)) {
        auto listing = LinuxProcessApps::listProcesses(procRoot_);
        if (noticeOwed_ || !settled_ || listing != lookedAt_) {
            startLook(std::move(listing));
        }
    }
    if (notify) {
        onChange_();
    }
}

} // namespace vigilo
