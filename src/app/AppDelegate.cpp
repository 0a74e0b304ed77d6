#include "app/AppDelegate.h"

#include "BuildInfo.h"
#include "app/TrayGlass.h"
#include "ports/FreedMemory.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QTimer>

namespace vigilo {

namespace {

QString toggleTitle(bool awake) {
    return awake ? QStringLiteral("Разрешить сон") : QStringLiteral("Не давать засыпать");
}

/// What the user reads when no tray host shows the icon; GNOME Shell shows tray icons only
/// through an extension.
std::string missingTrayAdvice(const QString& currentDesktop) {
    const QString howToGetOne =
        currentDesktop.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive)
            ? QStringLiteral("В GNOME трей даёт расширение AppIndicator (пакет "
                             "gnome-shell-extension-appindicator): включите его в «Расширениях».")
            : QStringLiteral("Добавьте на панель рабочего стола область уведомлений (трей).");
    return (QStringLiteral("Трея нет, поэтому Vigilo открыт в обычном окне. ") + howToGetOne +
            QStringLiteral(" Закрытое окно откроется снова, если запустить Vigilo ещё раз; "
                           "выйти — Ctrl+Q или «Выйти» в меню по правому клику."))
        .toStdString();
}

} // namespace

AppDelegate::AppDelegate(PlatformServices& platform, PanelSource& panels, QObject* parent)
    : QObject(parent)
    , platform_(platform)
    , watcher_(*platform.settings, *platform.workspace, *platform.scheduler)
    , sounds_(*platform.audio, *platform.settings, *platform.clock)
    , model_(AwakeModel::Services{.clock = *platform.clock,
                                  .settings = *platform.settings,
                                  .assertions = *platform.assertions,
                                  .powerSettings = *platform.powerSettings,
                                  .watcher = watcher_,
                                  .sounds = sounds_,
                                  .lid = *platform.lid,
                                  .displays = *platform.displays,
                                  .desktop = *platform.desktop,
                                  .stats = *platform.stats,
                                  .http = *platform.http,
                                  .scheduler = *platform.scheduler,
                                  .words = platform.words,
                                  .processes = *platform.processWatch})
    , trayGlass_(*platform.desktopAppearance)
    , reducedMotion_(*platform.reducedMotion)
    , statusItem_(*platform.statusItem)
    , panel_(
          panels,
          [this] {
              return Panel::Services{.model = model_,
                                     .watcher = watcher_,
                                     .clock = *platform_.clock,
                                     .scheduler = *platform_.scheduler,
                                     .windowSystem = *platform_.panelWindows,
                                     .sounds = sounds_,
                                     .updater = updater_.get(),
                                     // A right click in the ordinary window offers what the
                                     // tray menu offers.
                                     .showMenu = [this](QPoint at) { menu_.popup(at); },
                                     .returnFreedMemory = &returnFreedMemoryToSystem};
          },
          *platform.desktop) {
    buildMenu();
}

void AppDelegate::finishLaunching() {
    // The status item and its clicks.
    connect(&statusItem_, &StatusItem::panelClicked, this,
            [this] { panel_.togglePanel(panelAnchor()); });
    connect(&statusItem_, &StatusItem::toggleClicked, this, [this] { model_.toggle(); });
    statusItem_.setToolTip(QStringLiteral("Клик — панель, %1 + клик — вкл/выкл, правый клик — меню")
                               .arg(QString::fromStdString(platform_.words.toggleModifier)));
    statusItem_.setMenu(&menu_);

    if (platform_.updates) {
        updater_ = std::make_unique<Updater>(
            *platform_.updates, *platform_.scheduler,
            Updater::ProgramInfo{.version = BuildInfo::version, .copyright = BuildInfo::copyright});
    }

    stateConnection_ = model_.stateChanged().connect([this] {
        updateStatusItem();
        // An update that arrived while the computer was kept awake installs once it may sleep.
        if (updater_) {
            updater_->installPendingIfIdle();
        }
    });

    // Shares its wake-up with the look at the running applications.
    statsTimer_ = platform_.scheduler->onHeartbeat([this] { sampleStats(); });

    platform_.desktop->requestNotificationAccess();
    if (updater_) {
        // Installing relaunches the program, which would end a keep-awake period: never while
        // one runs. A relaunch keeps the period going in the new process.
        updater_->setCanInstallNow([this] { return !model_.isAwake(); });
        updater_->setWillRelaunch([this] { model_.saveForRelaunch(); });
    }

    model_.restoreAfterRelaunch();
    model_.applyWatchedApps();

    if (platform_.powerSourceMonitor) {
        connect(
            platform_.powerSourceMonitor.get(), &PowerSourceMonitor::changed, this,
            [this] { model_.refreshPowerSettings(true); }, Qt::QueuedConnection);
    }

    updateStatusItem();
    statusItem_.show();
    if (platform_.trayHosts) {
        connect(platform_.trayHosts.get(), &TrayHostMonitor::changed, this,
                &AppDelegate::followTrayHost);
        followTrayHost();
    }
    // The glass's colours follow the desktop's panel and the palette: a change redraws it.
    connect(&trayGlass_, &TrayGlass::changed, this, &AppDelegate::updateStatusItem);
    connect(&reducedMotion_, &ReducedMotion::changed, this,
            [this] { model_.panelState().setReducesMotion(reducedMotion_.isReduced()); });
    QCoreApplication::instance()->installEventFilter(this);

    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &AppDelegate::willTerminate);
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() &&
        event->type() == QEvent::ApplicationPaletteChange) {
        trayGlass_.setPalette(QGuiApplication::palette());
    }
    return QObject::eventFilter(watched, event);
}

ControlReply AppDelegate::handleControl(const ControlRequest& request) {
    const ControlVerb verb = request.verb;
    if (verb == ControlVerb::Show) {
        panel_.showPanel(panelAnchor());
    }
    const bool awake = model_.isAwake();
    if (verb == ControlVerb::On && request.end != ControlRequest::End::None) {
        if (const auto end = requestedEnd(request)) {
            model_.keepAwake().switchOnUntil(*end);
        }
    } else if (verb == ControlVerb::On && awake && model_.keepAwake().end().isSet()) {
        model_.keepAwake().switchOnUntil({});
    } else if (verb == ControlVerb::Toggle || (verb == ControlVerb::On && !awake) ||
               (verb == ControlVerb::Off && awake)) {
        model_.toggle();
    }
    updateStatusItem();
    return {.awake = model_.isAwake(),
            .title = QString::fromStdString(model_.statusTitle(platform_.clock->now())),
            .subtitle = QString::fromStdString(model_.statusSubtitle())};
}

std::optional<AwakeEnd> AppDelegate::requestedEnd(const ControlRequest& request) const {
    switch (request.end) {
    case ControlRequest::End::None:
        return AwakeEnd{};
    case ControlRequest::End::At:
        return AwakeEnd::atTime(TimePoint(std::chrono::seconds(request.endValue)));
    case ControlRequest::End::WhilePid:
        if (const auto process = platform_.processWatch->identify(request.endValue)) {
            return AwakeEnd::whileRunning(*process);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

void AppDelegate::buildMenu() {
    toggleAction_ = menu_.addAction(toggleTitle(model_.isAwake()));
    connect(toggleAction_, &QAction::triggered, this, [this] { model_.toggle(); });
    menu_.addSeparator();
    QAction* about = menu_.addAction(QStringLiteral("О Vigilo"));
    connect(about, &QAction::triggered, this, [this] { panel_.showAbout(panelAnchor()); });
    menu_.addSeparator();
    QAction* quit = menu_.addAction(QStringLiteral("Выйти"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, QCoreApplication::instance(), &QCoreApplication::quit);
    connect(&menu_, &QMenu::aboutToShow, this, [this] {
        // The floating panel makes way for the menu; the ordinary window stays.
        if (!panel_.isWindowed()) {
            panel_.dismiss();
        }
        toggleAction_->setText(toggleTitle(model_.isAwake()));
    });
    // The first themed icon reads the icon theme from disk, a few milliseconds: a turn of its
    // own once the program runs.
    QTimer::singleShot(0, this, [about, quit] {
        about->setIcon(QIcon::fromTheme(QStringLiteral("help-about")));
        quit->setIcon(QIcon::fromTheme(QStringLiteral("application-exit")));
    });
}

void AppDelegate::updateStatusItem() {
    const bool awake = model_.isAwake();
    // The empty glass may take the menu bar's own colour; the filled one keeps its amber.
    statusItem_.setIcon(trayGlass_.icon(awake), !awake);
    toggleAction_->setText(toggleTitle(awake));
    // While a session has an end, the tooltip says it first, as the hero's subtitle does.
    const QString clicks = QStringLiteral("Клик — панель, %1 + клик — вкл/выкл, правый клик — меню")
                               .arg(QString::fromStdString(platform_.words.toggleModifier));
    statusItem_.setToolTip(awake && model_.keepAwake().end().isSet()
                               ? QString::fromStdString(model_.statusSubtitle()) +
                                     QLatin1Char('\n') + clicks
                               : clicks);
}

void AppDelegate::sampleStats() {
    model_.refreshStats();
    model_.refreshPowerSettings(false);
}

PanelAnchor AppDelegate::panelAnchor() const {
    const QRect icon = statusItem_.geometry();
    const QPoint pointer = QCursor::pos();
    PanelAnchor anchor{
        .pointer = {.x = static_cast<double>(pointer.x()), .y = static_cast<double>(pointer.y())}};
    if (!icon.isEmpty()) {
        anchor.icon = PanelRect{.x = static_cast<double>(icon.x()),
                                .y = static_cast<double>(icon.y()),
                                .width = static_cast<double>(icon.width()),
                                .height = static_cast<double>(icon.height())};
    }
    return anchor;
}

void AppDelegate::followTrayHost() {
    const std::optional<bool> hasTrayHost = platform_.trayHosts->hasTrayHost();
    if (!hasTrayHost) {
        return;
    }
    panel_.setWindowed(!*hasTrayHost);
    if (*hasTrayHost) {
        return;
    }
    panel_.showPanel(panelAnchor());
    if (!toldAboutMissingTray_) {
        toldAboutMissingTray_ = true;
        platform_.desktop->notify("Vigilo работает в окне",
                                  missingTrayAdvice(qEnvironmentVariable("XDG_CURRENT_DESKTOP")));
    }
}

void AppDelegate::willTerminate() {
    model_.deactivateOnQuit();
}

} // namespace vigilo
