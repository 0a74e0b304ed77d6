// Writes PNGs of the panel in its states, main screen and settings, and of its update area, light
// and dark, for a person to look at: vigilo_render_panel <folder>. The "off" pictures show the
// empty glass; the "focus" ones an amber control holding the keyboard focus. The panel is laid on a
// plain backdrop, as a compositor would show it, so its margin and shadow show too.
#include "PanelBridges.h"
#include "ViewHarness.h"
#include "fakes/FakeUpdateFramework.h"
#include "fakes/ModelFakes.h"
#include "ports/SystemClock.h"
#include "ui/PanelBridge.h"
#include "ui/UpdatesBridge.h"
#include "ui/ViewServices.h"

#include <QAccessible>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>
#include <cstdio>
#include <functional>

Q_IMPORT_QML_PLUGIN(VigiloPlugin)

namespace vigilo {
namespace {

constexpr std::uint64_t GiB = 1ULL << 30;

QPalette palette(bool dark) {
    QPalette palette;
    palette.setColor(QPalette::Window, dark ? QColor(0x2b, 0x2b, 0x2e) : QColor(0xf0, 0xf0, 0xf0));
    palette.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    palette.setColor(QPalette::ToolTipBase, dark ? QColor(0x3a, 0x3a, 0x3c) : Qt::white);
    palette.setColor(QPalette::ToolTipText, dark ? Qt::white : Qt::black);
    return palette;
}

/// One picture: a model over fakes brought into a state, and the panel showing it.
class Scene : protected testing::PanelBridges {
public:
    explicit Scene(bool opaque)
        : PanelBridges(linuxWords()) {
        stats.memory = MemoryFigures{.internal = 9 * GiB, .wired = GiB, .physical = 16 * GiB};
        stats.volume = VolumeCapacity{245'000'000'000, 494'000'000'000};
        stats.sources = {{.kind = PowerSource::Kind::InternalBattery,
                          .unit = ChargeUnit::MicrowattHours,
                          .charge = 1100,
                          .capacity = 1900,
                          .drain = 600}};
        stats.addresses = {{"en0", true, false, InterfaceAddress::Family::IPv4, "192.168.1.20"}};
        std::uint32_t busy = 0;
        for (int i = 1; i < 30; ++i) {
            busy += static_cast<std::uint32_t>(20 + (i * 37) % 60);
            stats.ticks.push_back(
                CpuTicks{.user = busy, .idle = static_cast<std::uint32_t>(100 * i)});
        }
        for (int i = 1; i < 30; ++i) {
            model.refreshStats();
        }
        addVigiloImportPath(engine);
        QQmlComponent component(&engine);
        component.setData("import Vigilo\nPanelView {}", QUrl());
        auto properties = PanelBridges::properties();
        properties.insert(QStringLiteral("opaque"), opaque);
        view.reset(qobject_cast<QQuickItem*>(component.createWithInitialProperties(properties)));
        if (!view) {
            std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
            std::exit(1);
        }
        view->setParentItem(window.contentItem());
        window.setColor(Qt::transparent);
        model.panelState().setPanelVisible(true);
    }

    AwakeModel& awakeModel() { return model; }
    fakes::FakeLidControl& lidControl() { return lid; }
    fakes::FakeClock& fakeClock() { return clock; }
    fakes::FakeStatsSource& fakeStats() { return stats; }
    fakes::FakeWorkspace& fakeWorkspace() { return workspace; }
    RunningAppsWatcher& watchedApps() { return appsWatcher; }
    QQuickItem& panelView() { return *view; }

    /// Waits for the springs, then grabs the window onto a backdrop; the control whose accessible
    /// name begins with `focused`, when given, holds the keyboard focus.
    QImage picture(const QString& focused = {}) {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            std::fprintf(stderr, "the window never showed\n");
        }
        if (!focused.isEmpty()) {
            window.requestActivate();
            auto* control = controlNamed(focused, window.accessibleRoot());
            if (!QTest::qWaitForWindowActive(&window) || control == nullptr) {
                std::fprintf(stderr, "cannot focus %s\n", qPrintable(focused));
                std::exit(1);
            }
            control->forceActiveFocus(Qt::TabFocusReason);
        }
        QTest::qWait(900);
        window.resize(QSizeF(view->implicitWidth(), view->implicitHeight()).toSize());
        QTest::qWait(100);
        const QImage grabbed = window.grabWindow();
        QImage picture(grabbed.size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&picture);
        QLinearGradient backdrop(0, 0, picture.width(), picture.height());
        backdrop.setColorAt(0, QColor(0x5b, 0x7d, 0x9a));
        backdrop.setColorAt(1, QColor(0xb0, 0x9c, 0x80));
        painter.fillRect(picture.rect(), backdrop);
        painter.drawImage(0, 0, grabbed);
        return picture;
    }

private:
    static QQuickItem* controlNamed(const QString& prefix, QAccessibleInterface* node) {
        if (node->text(QAccessible::Name).startsWith(prefix) && !node->state().invisible) {
            return qobject_cast<QQuickItem*>(node->object());
        }
        for (int i = 0; i < node->childCount(); ++i) {
            if (auto* found = controlNamed(prefix, node->child(i))) {
                return found;
            }
        }
        return nullptr;
    }

    QQmlEngine engine;
    /// The glass fills and empties along real time.
    SystemClock wallClock;
    ViewServices viewServices{wallClock, nullptr, engine};
    QQuickWindow window;
    std::unique_ptr<QQuickItem> view;
};

/// The update area in each of its rows, one under another on the panel's surface.
class UpdateRows : protected fakes::ModelFakes {
public:
    UpdateRows() {
        const std::vector<std::function<void(Updater&)>> arrangements = {
            [](Updater&) {},
            [](Updater& updater) { updater.showUpdateFound("1.3", [] {}); },
            [](Updater& updater) {
                updater.setCanInstallNow([] { return false; });
                updater.showUpdateFound("1.3", [] {});
                updater.showReadyToInstall([] {});
            },
            [](Updater& updater) { updater.checkForUpdates(); },
            [](Updater& updater) {
                updater.checkForUpdates();
                updater.showUpdateNotFound({.reason = NoUpdateReason::onLatestVersion}, [] {});
            },
            [](Updater& updater) {
                updater.checkForUpdates();
                updater.showUpdateFound("1.3", [] {});
            },
            [](Updater& updater) { download(updater, 4); },
            [](Updater& updater) { download(updater, 620); },
            [](Updater& updater) {
                download(updater, 1000);
                updater.showExtractionStarted();
                updater.showExtractionProgress(0.4);
            },
            [](Updater& updater) {
                download(updater, 1000);
                updater.showReadyToInstall([] {});
            },
            [](Updater& updater) {
                updater.checkForUpdates();
                updater.showReadyToInstall([] {});
            },
            [](Updater& updater) {
                updater.checkForUpdates();
                updater.showUpdaterError({UpdateErrorKind::download, "download failed"}, [] {});
            },
        };
        QVariantList bridges;
        for (const auto& arrange : arrangements) {
            auto& updater = updaters.emplace_back(std::make_unique<Updater>(
                framework, scheduler, Updater::ProgramInfo{.version = "1.2", .copyright = ""}));
            arrange(*updater);
            bridges.append(QVariant::fromValue(
                bridgesKept.emplace_back(std::make_unique<UpdatesBridge>(*updater)).get()));
        }
        addVigiloImportPath(engine);
        QQmlComponent component(&engine);
        component.setData(R"(
import QtQuick
import Vigilo
Rectangle {
    id: root
    required property var bridges
    required property PanelBridge panel
    width: 340
    height: rows.height + 32
    color: Style.surfaceFill(true)
    Column {
        id: rows
        x: 16
        y: 16
        spacing: 10
        Repeater {
            model: root.bridges
            UpdateStatus {
                required property var modelData
                width: 308
                updates: modelData
                panel: root.panel
                space: root
            }
        }
    }
}
)",
                          QUrl());
        view.reset(qobject_cast<QQuickItem*>(component.createWithInitialProperties(
            {{QStringLiteral("bridges"), bridges},
             {QStringLiteral("panel"), QVariant::fromValue(&panel)}})));
        if (!view) {
            std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
            std::exit(1);
        }
        view->setParentItem(window.contentItem());
    }

    QImage picture() {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            std::fprintf(stderr, "the window never showed\n");
        }
        QTest::qWait(100);
        window.resize(view->size().toSize());
        QTest::qWait(100);
        return window.grabWindow();
    }

private:
    static void download(Updater& updater, std::uint64_t received) {
        updater.checkForUpdates();
        updater.showUpdateFound("1.3", [] {});
        updater.showDownloadExpectedLength(1000);
        updater.showDownloadReceived(received);
    }

    AwakeModel model{services()};
    PanelBridge panel{model};
    fakes::FakeUpdateFramework framework;
    std::vector<std::unique_ptr<Updater>> updaters;
    std::vector<std::unique_ptr<UpdatesBridge>> bridgesKept;
    QQmlEngine engine;
    SystemClock wallClock;
    ViewServices viewServices{wallClock, nullptr, engine};
    QQuickWindow window;
    std::unique_ptr<QQuickItem> view;
};

struct State {
    const char* name;
    bool opaque;
    std::function<void(Scene&)> arrange;
    /// The beginning of the accessible name of the control that holds the keyboard focus.
    const char* focused = "";
};

/// The settings open on `tab`.
void showSettings(Scene& scene, PanelTab tab) {
    scene.awakeModel().panelState().setShowsSettings(true);
    scene.awakeModel().panelState().setPanelTab(tab);
}

/// The general tab, on battery below the level that ends keep-awake.
void showGeneralOnLowBattery(Scene& scene) {
    scene.fakeStats().sources = {{.kind = PowerSource::Kind::InternalBattery,
                                  .unit = ChargeUnit::MicrowattHours,
                                  .charge = 17,
                                  .capacity = 100,
                                  .drain = 40}};
    scene.awakeModel().refreshStats();
    showSettings(scene, PanelTab::General);
}

/// Watched applications of every kind: a built-in one running, one installed without an icon,
/// one installed only as a command, one not installed and one the user added.
void watchSomeApps(Scene& scene) {
    auto& workspace = scene.fakeWorkspace();
    workspace.installed["claude-desktop"] = {"/usr/share/applications/claude-desktop.desktop",
                                             "display-im6.q16"};
    workspace.installed["com.openai.codex"] = {"/usr/share/applications/codex.desktop",
                                               std::nullopt};
    workspace.installed["process:gemini"] = {"/home/u/.local/bin/gemini", std::nullopt};
    workspace.installed["python3.11"] = {"/usr/share/applications/python3.11.desktop", "python3"};
    workspace.bundles["/usr/share/applications/python3.11.desktop"] = {"python3.11", "Python",
                                                                       std::nullopt};
    workspace.running = {"claude-desktop"};
    scene.watchedApps().setEnabled(RunningAppsWatcher::builtIn()[0], true);
    scene.watchedApps().add("/usr/share/applications/python3.11.desktop");
    showSettings(scene, PanelTab::Apps);
}

/// The chooser of installed applications in the apps tab, with nothing typed yet.
void chooseAnApp(Scene& scene) {
    watchSomeApps(scene);
    scene.fakeWorkspace().offered = {
        {"org.gnome.Terminal", "/usr/share/applications/org.gnome.Terminal.desktop", "Терминал",
         "display-im6.q16"},
        {"python3.11", "/usr/share/applications/python3.11.desktop", "Python", "python3"},
        {"org.gnome.Nautilus", "/usr/share/applications/org.gnome.Nautilus.desktop", "Файлы",
         "gvim"},
        {"firefox-esr", "/usr/share/applications/firefox-esr.desktop", "Firefox ESR", "openjdk-17"},
        {"org.example.Long", "/usr/share/applications/org.example.Long.desktop",
         "Очень длинное название программы, которое не помещается", std::nullopt},
        {"org.gnome.TextEditor", "/usr/share/applications/org.gnome.TextEditor.desktop",
         "Текстовый редактор", "org.gnome.TextEditor"},
    };
    QCoreApplication::processEvents();
    testing::findItem(scene.panelView(), QStringLiteral("appChooser"))
        ->parentItem()
        ->setProperty("choosing", true);
}

/// Rests the pointer on the centre of the item called `name`, once the bridges have published.
void pointAt(Scene& scene, const char* name) {
    QCoreApplication::processEvents();
    const auto* target = testing::findItem(scene.panelView(), QString::fromLatin1(name));
    if (target == nullptr) {
        std::fprintf(stderr, "no %s to point at\n", name);
        std::exit(1);
    }
    const QPointF centre =
        target->mapToItem(&scene.panelView(), QPointF(target->width() / 2, target->height() / 2));
    scene.awakeModel().panelState().setPointer(PanelPoint{centre.x(), centre.y()});
}

} // namespace
} // namespace vigilo

int main(int argc, char** argv) {
    using namespace vigilo;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationVersion(QStringLiteral("1.2"));
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1])
                               : QStringLiteral("/tmp/vigilo-panel"));
    folder.mkpath(QStringLiteral("."));

    const auto expand = [](Scene& scene) {
        scene.panelView()
            .findChild<QQuickItem*>(QStringLiteral("mainScreen"))
            ->setProperty("metricsExpanded", true);
    };
    const std::vector<State> states = {
        {"off", false, [](Scene&) {}},
        {"on", false,
         [](Scene& scene) {
             scene.awakeModel().toggle();
             scene.fakeClock().advance(47 * 60);
         }},
        {"expanded", false, expand},
        {"donation", false,
         [](Scene& scene) {
             scene.awakeModel().donationQuestion().checkDonationQuestion(
                 DonationQuestion::donationCup);
         }},
        {"lid-error", false,
         [](Scene& scene) {
             scene.lidControl().installed = true;
             scene.lidControl().switchFails = true;
             scene.awakeModel().toggle();
         }},
        {"hover", false,
         [](Scene& scene) {
             scene.awakeModel().panelState().setPointer(PanelPoint{354, 74});
         }},
        {"opaque", true, [](Scene&) {}},
        {"settings-general", false, showGeneralOnLowBattery},
        {"settings-apps", false, watchSomeApps},
        {"settings-apps-hover", false,
         [](Scene& scene) {
             watchSomeApps(scene);
             pointAt(scene, "removeButton");
         }},
        {"settings-apps-chooser", false, chooseAnApp},
        {"settings-apps-chooser-search", false,
         [](Scene& scene) {
             chooseAnApp(scene);
             vigilo::testing::findItem(scene.panelView(), QStringLiteral("search"))
                 ->setProperty("text", QStringLiteral("t"));
         }},
        {"settings-about", false, [](Scene& scene) { showSettings(scene, PanelTab::About); }},
        {"settings-about-granted", false,
         [](Scene& scene) {
             scene.awakeModel().lidMode().grantLidPermission();
             showSettings(scene, PanelTab::About);
         }},
        {"settings-about-hover", false,
         [](Scene& scene) {
             scene.awakeModel().lidMode().grantLidPermission();
             showSettings(scene, PanelTab::About);
             pointAt(scene, "lidAccessButton");
         }},
        {"settings-consent", false,
         [](Scene& scene) {
             scene.awakeModel().lidMode().setKeepsAwakeWithLidClosed(true);
             showSettings(scene, PanelTab::General);
         }},
        // Amber controls holding the keyboard focus: the selected tab, a switch that is on, the
        // threshold pill.
        {"focus-tab", false, showGeneralOnLowBattery, "Основные"},
        {"focus-switch", false, showGeneralOnLowBattery, "Звук"},
        {"focus-threshold", false, showGeneralOnLowBattery, "Выключать при заряде"},
    };
    for (const bool dark : {false, true}) {
        QGuiApplication::setPalette(palette(dark));
        for (const auto& state : states) {
            Scene scene(state.opaque);
            state.arrange(scene);
            const QString path =
                folder.filePath(QStringLiteral("panel-%1-%2.png")
                                    .arg(QString::fromLatin1(state.name),
                                         dark ? QStringLiteral("dark") : QStringLiteral("light")));
            if (!scene.picture(QString::fromUtf8(state.focused)).save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            std::printf("%s\n", qPrintable(path));
        }
        UpdateRows rows;
        const QString path =
            folder.filePath(QStringLiteral("updates-%1.png")
                                .arg(dark ? QStringLiteral("dark") : QStringLiteral("light")));
        if (!rows.picture().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
