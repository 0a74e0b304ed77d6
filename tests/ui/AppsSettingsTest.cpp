#include "ViewHarness.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/ModelFakes.h"
#include "ui/AppIconProvider.h"
#include "ui/PanelBridge.h"
#include "ui/WatchedAppsBridge.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QJSValue>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace vigilo {
namespace {

/// A file with `content` at `path` below `folder`, its folders made.
QString writeFile(const QTemporaryDir& folder, const QString& path, const QByteArray& content) {
    const QString file = folder.filePath(path);
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(content);
    return file;
}

/// `root` and every item under it; the rows a repeater makes are not its QObject children.
std::vector<QQuickItem*> itemsUnder(QQuickItem* root) {
    std::vector<QQuickItem*> items{root};
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto children = items[i]->childItems();
        items.insert(items.end(), children.begin(), children.end());
    }
    return items;
}

/// The application a row shows.
QVariantMap appOf(const QQuickItem& row) {
    return row.property("app").value<QJSValue>().toVariant().toMap();
}

/// The apps tab over a real watcher of a fake workspace: Claude installed (with an icon whose
/// path needs encoding), running and enabled; ChatGPT installed, without an icon that can be
/// found, and not enabled; Gemini installed only as its command-line program; DSH not
/// installed; an editor the user added, running and enabled, with no icon.
class AppsSettingsTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    AppsSettingsTest() {
        QImage icon(64, 64, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        icon.save(folder.filePath(QStringLiteral("claude icon.png")));
        workspace.installed["claude-desktop"] = {
            "/usr/share/applications/claude-desktop.desktop",
            folder.filePath(QStringLiteral("claude icon.png")).toStdString()};
        workspace.installed["com.openai.codex"] = {"/usr/share/applications/codex.desktop",
                                                   "no-such-icon-anywhere"};
        workspace.installed["process:gemini"] = {"/home/u/.local/bin/gemini", std::nullopt};
        workspace.running = {"claude-desktop", "org.example.Editor"};
        editorEntry = writeFile(folder, QStringLiteral("org.example.Editor.desktop"), "");
        workspace.installed["org.example.Editor"] = {editorEntry.toStdString(), std::nullopt};
        workspace.bundles[editorEntry.toStdString()] = {"org.example.Editor", "Редактор", "Editor"};

        watcher.setEnabled(RunningAppsWatcher::builtIn()[0], true);
        EXPECT_TRUE(watcher.add(editorEntry.toStdString()));
        view = harness.load(
            "import Vigilo\nAppsSettings {}",
            {{QStringLiteral("apps"), QVariant::fromValue(&bridge)},
             {QStringLiteral("panel"), QVariant::fromValue(&panel)},
             {QStringLiteral("space"), QVariant::fromValue(harness.window.contentItem())}});
        harness.settle();
    }

    /// The row of the application called `name`, else nothing.
    [[nodiscard]] QQuickItem* row(const QString& name) const {
        for (auto* item : itemsUnder(view.get())) {
            if (appOf(*item).value(QStringLiteral("name")) == name) {
                return item;
            }
        }
        return nullptr;
    }

    void click(const QQuickItem& item) {
        const QPointF centre = item.mapToScene(QPointF(item.width() / 2, item.height() / 2));
        QTest::mouseClick(&harness.window, Qt::LeftButton, {}, centre.toPoint());
        harness.settle();
    }

    [[nodiscard]] bool isListed(const std::string& name) const {
        return std::ranges::any_of(watcher.allApps(),
                                   [&](const auto& app) { return app.name == name; });
    }

    [[nodiscard]] bool chooserIsOpen() const {
        return view->findChild<QQuickItem*>(QStringLiteral("appChooser"))->isVisible();
    }

    /// The applications the chooser lists, top to bottom.
    [[nodiscard]] std::vector<QQuickItem*> offered() const {
        std::vector<QQuickItem*> entries;
        std::ranges::copy_if(
            itemsUnder(view.get()), std::back_inserter(entries), [](const QQuickItem* item) {
                return item->objectName() == QStringLiteral("installedApp") && item->isVisible();
            });
        std::ranges::sort(entries, {}, &QQuickItem::y);
        return entries;
    }

    /// What screen readers call the applications the chooser lists, top to bottom.
    [[nodiscard]] QStringList offeredNames() const {
        QStringList names;
        for (auto* entry : offered()) {
            names.append(testing::accessibleName(entry));
        }
        return names;
    }

    [[nodiscard]] int visibleDividers() const {
        return static_cast<int>(
            std::ranges::count_if(itemsUnder(view.get()), [](const QQuickItem* item) {
                return item->objectName() == QStringLiteral("divider") && item->isVisible();
            }));
    }

    QTemporaryDir folder;
    QString editorEntry;
    fakes::FakeWorkspace workspace;
    RunningAppsWatcher watcher{settings, workspace, scheduler};
    WatchedAppsBridge bridge{watcher, linuxWords()};
    AwakeModel model{services()};
    PanelBridge panel{model};
    testing::ViewHarness harness{clock};
    std::unique_ptr<QQuickItem> view;
};

TEST_F(AppsSettingsTest, EachRowShowsItsStateAndSwitchesOnlyWhenInstalled) {
    ASSERT_TRUE(view);
    struct Case {
        const char* name;
        const char* status;
        bool showsIcon;
        bool switchable;
        const char* statusAfterSwitch;
        /// Beside the name, for an application installed only as a command-line program.
        const char* command = "";
    };
    const Case cases[] = {
        {"Claude", "запущен · держит кофе", true, true, "не запущен"},
        {"ChatGPT", "не запущен", false, true, "не запущен"},
        {"Gemini", "не запущен", false, true, "не запущен", "команда gemini"},
        {"DSH", "не установлена", false, false, "не установлена"},
        {"Редактор", "запущен · держит кофе", false, true, "своя программа"},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        auto* shown = row(name);
        ASSERT_NE(shown, nullptr) << c.name;
        auto* icon = shown->findChild<QQuickItem*>(QStringLiteral("appIcon"));
        if (c.showsIcon) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return icon->isVisible(); }, 3000)) << c.name;
            EXPECT_EQ(icon->implicitWidth(), 44) << "read at the size it is drawn at";
        } else {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return testing::shows(*shown, QStringLiteral("app.dashed")); }, 3000))
                << c.name;
        }
        EXPECT_EQ(testing::shows(*shown, QStringLiteral("app.dashed")), !c.showsIcon) << c.name;
        EXPECT_TRUE(testing::shows(*shown, QString::fromUtf8(c.status))) << c.name;
        const auto* command = testing::visibleChild(*shown, "command");
        EXPECT_EQ(command ? command->property("text").toString() : QString(),
                  QString::fromUtf8(c.command))
            << c.name;

        const bool wasEnabled = appOf(*shown)[QStringLiteral("enabled")].toBool();
        click(*shown->findChild<QQuickItem*>(QStringLiteral("appSwitch")));
        shown = row(name);
        EXPECT_EQ(appOf(*shown)[QStringLiteral("enabled")].toBool(),
                  c.switchable ? !wasEnabled : wasEnabled)
            << c.name;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return testing::shows(*shown, QString::fromUtf8(c.statusAfterSwitch)); }, 3000))
            << c.name;

        click(*shown->findChild<QQuickItem*>(QStringLiteral("removeButton")));
        EXPECT_FALSE(isListed(c.name)) << c.name << " can be removed";
        EXPECT_EQ(row(name), nullptr) << c.name;
    }
}

TEST_F(AppsSettingsTest, TheRemoveSymbolBrightensUnderThePublishedPointer) {
    ASSERT_TRUE(view);
    auto* button =
        row(QStringLiteral("Claude"))->findChild<QQuickItem*>(QStringLiteral("removeButton"));
    auto* symbol = button->findChild<QQuickItem*>();
    const auto colour = [&] { return symbol->property("color").value<QColor>(); };
    const QColor faint = colour();
    EXPECT_NEAR(faint.alphaF(), 0.28, 0.01);
    const QPointF centre = button->mapToScene(QPointF(13, 13));
    model.panelState().setPointer(PanelPoint{centre.x(), centre.y()});
    harness.settle();
    EXPECT_NEAR(colour().alphaF(), 0.6, 0.01) << "the secondary label colour";
    model.panelState().setPointer(std::nullopt);
    harness.settle();
    EXPECT_EQ(colour(), faint);
}

TEST_F(AppsSettingsTest, EveryRowButTheLastHasADividerUnderIt) {
    ASSERT_TRUE(view);
    auto* card = view->findChild<QQuickItem*>(QStringLiteral("appsCard"));
    for (int rows = 5; rows > 0; --rows) {
        ASSERT_EQ(watcher.allApps().size(), static_cast<std::size_t>(rows));
        EXPECT_EQ(visibleDividers(), rows - 1) << rows << " rows";
        EXPECT_EQ(card->height(), rows * 36 + (rows - 1)) << rows << " rows";
        const auto last = QString::fromStdString(watcher.allApps().back().name);
        click(*row(last)->findChild<QQuickItem*>(QStringLiteral("removeButton")));
    }
    EXPECT_FALSE(card->isVisible()) << "no empty card";
}

TEST_F(AppsSettingsTest, TheChooserAddsTheConfirmedApplicationOnce) {
    ASSERT_TRUE(view);
    const QString newEntry = writeFile(folder, QStringLiteral("org.example.Player.desktop"), "");
    workspace.bundles[newEntry.toStdString()] = {"org.example.Player", std::nullopt, "Player"};
    watcher.setEnabled(watcher.allApps().back(), false);
    struct Case {
        const char* what;
        QString chosen; // empty: cancelled
        std::size_t listed;
        bool playerEnabled;
        bool editorEnabled;
    };
    const Case cases[] = {
        {"cancelled", QString(), 5, false, false},
        {"a new entry", newEntry, 6, true, false},
        {"an entry already listed", editorEntry, 6, true, true},
    };
    const auto enabled = [&](const std::string& name) {
        const auto apps = watcher.allApps();
        const auto found = std::ranges::find(apps, name, &RunningAppsWatcher::App::name);
        return found != apps.end() && watcher.isEnabled(*found);
    };
    for (const auto& c : cases) {
        click(*view->findChild<QQuickItem*>(QStringLiteral("addButton")));
        click(*testing::findItem(*view, QStringLiteral("otherFileButton")));
        EXPECT_FALSE(chooserIsOpen()) << c.what;
        QPointer<QFileDialog> dialog;
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (auto* shown = qobject_cast<QFileDialog*>(widget); shown && shown->isVisible()) {
                dialog = shown;
            }
        }
        ASSERT_TRUE(dialog) << c.what;
        EXPECT_EQ(
            dialog->windowTitle(),
            QStringLiteral("Выберите программу, при запуске которой компьютер не должен спать"));
        EXPECT_EQ(dialog->labelText(QFileDialog::Accept), QStringLiteral("Добавить"));
        EXPECT_TRUE(dialog->nameFilters().first().endsWith(QStringLiteral("(*.desktop)")));
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(QGuiApplication::modalWindow(), dialog->windowHandle())
            << "the panel stays open while a modal window is up";
        EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);

        // As the user does: types the entry's path and confirms, or presses Escape.
        auto* fileName = dialog->findChild<QLineEdit*>();
        ASSERT_NE(fileName, nullptr);
        QTest::keyClicks(fileName, c.chosen);
        QTest::keyClick(fileName, c.chosen.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
        harness.settle();
        EXPECT_FALSE(dialog) << c.what << ": the dialog is deleted once closed";
        EXPECT_EQ(QGuiApplication::modalWindow(), nullptr) << c.what;
        EXPECT_EQ(watcher.allApps().size(), c.listed) << c.what;
        EXPECT_EQ(enabled("Player"), c.playerEnabled) << c.what;
        EXPECT_EQ(enabled("Редактор"), c.editorEnabled) << c.what;
        EXPECT_EQ(row(QStringLiteral("Player")) != nullptr, c.listed == 6) << c.what;
    }
}

TEST_F(AppsSettingsTest, TheInstalledApplicationsAreSearchedAndChosenByKeyboardOrPointer) {
    ASSERT_TRUE(view);
    const QString playerEntry = writeFile(folder, QStringLiteral("org.example.Player.desktop"), "");
    workspace.bundles[playerEntry.toStdString()] = {"org.example.Player", "Плеер", "Player"};
    workspace.offered = {
        {"org.example.Player", playerEntry.toStdString(), "Плеер", std::nullopt},
        {"org.example.Editor", editorEntry.toStdString(), "Редактор", std::nullopt},
        {"org.example.Calc", "/usr/share/applications/org.example.Calc.desktop", "калькулятор",
         "accessories-calculator"},
    };
    watcher.setEnabled(watcher.allApps().back(), false);
    const auto enabled = [&](const std::string& name) {
        const auto apps = watcher.allApps();
        const auto found = std::ranges::find(apps, name, &RunningAppsWatcher::App::name);
        return found != apps.end() && watcher.isEnabled(*found);
    };
    struct Case {
        const char* what;
        QString typed;
        QStringList offered;
        std::vector<Qt::Key> keys; // empty: the first one offered is clicked
        bool playerEnabled;
        bool editorEnabled;
    };
    const QString calculator = QStringLiteral("калькулятор");
    const QString editor = QStringLiteral("Редактор, уже в списке");
    const QStringList all{calculator, QStringLiteral("Плеер"), editor};
    const Case cases[] = {
        {"closed with Escape", QString(), all, {Qt::Key_Down, Qt::Key_Escape}, false, false},
        {"nothing found", QStringLiteral("xyz"), {}, {Qt::Key_Return}, false, false},
        {"searched, then Enter",
         QStringLiteral("ПЛЕ"),
         {QStringLiteral("Плеер")},
         {Qt::Key_Return},
         true,
         false},
        {"the arrows",
         QString(),
         {calculator, QStringLiteral("Плеер, уже в списке"), editor},
         {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return},
         true,
         true},
        {"a click", QStringLiteral("ре"), {editor}, {}, true, true},
    };
    for (const auto& c : cases) {
        click(*view->findChild<QQuickItem*>(QStringLiteral("addButton")));
        ASSERT_TRUE(chooserIsOpen()) << c.what;
        EXPECT_FALSE(view->findChild<QQuickItem*>(QStringLiteral("appsCard"))->isVisible())
            << c.what << ": the chooser takes the list's place";
        auto* search = testing::findItem(*view, QStringLiteral("search"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return search->hasActiveFocus(); }, 3000)) << c.what;
        EXPECT_EQ(testing::accessibleName(search), QStringLiteral("Найти программу"));

        for (const QChar typed : c.typed) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(typed));
            QCoreApplication::sendEvent(&harness.window, &press);
        }
        harness.settle();
        EXPECT_EQ(offeredNames(), c.offered) << c.what;
        if (c.keys.empty()) {
            click(*offered().front());
        }
        for (const auto key : c.keys) {
            QTest::keyClick(&harness.window, key);
        }
        harness.settle();
        EXPECT_EQ(chooserIsOpen(), c.offered.isEmpty()) << c.what;
        EXPECT_EQ(enabled("Плеер"), c.playerEnabled) << c.what;
        EXPECT_EQ(enabled("Редактор"), c.editorEnabled) << c.what;
        EXPECT_EQ(row(QStringLiteral("Плеер")) != nullptr, c.playerEnabled) << c.what;
        if (chooserIsOpen()) {
            QTest::keyClick(&harness.window, Qt::Key_Escape);
            harness.settle();
        }
        EXPECT_FALSE(chooserIsOpen()) << c.what;
    }
    EXPECT_EQ(watcher.allApps().size(), 6U) << "the editor is not listed twice";
}

TEST_F(AppsSettingsTest, TheStatusLineSpringsOverWhenTheApplicationStartsOrQuits) {
    ASSERT_TRUE(view);
    for (const bool reducesMotion : {false, true}) {
        model.panelState().setReducesMotion(reducesMotion);
        harness.settle();
        for (const bool running : {false, true}) {
            auto* shown = row(QStringLiteral("Claude"));
            // The old text's strongest showing while the new one comes in, seen at every change.
            auto* previous = shown->findChild<QQuickItem*>(QStringLiteral("previousStatus"));
            double strongest = previous->opacity();
            const auto watching = QObject::connect(previous, &QQuickItem::opacityChanged, [&] {
                strongest = std::max(strongest, previous->opacity());
            });

            workspace.changeRunning(running ? std::set<std::string>{"claude-desktop"}
                                            : std::set<std::string>{});
            scheduler.runPosted();
            harness.settle();
            auto* status = shown->findChild<QQuickItem*>(QStringLiteral("status"));
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return status->opacity() == 1 && !previous->isVisible(); }, 5000))
                << reducesMotion << running;
            QObject::disconnect(watching);
            EXPECT_EQ(status->property("text").toString(),
                      QString::fromUtf8(running ? "запущен · держит кофе" : "не запущен"));
            EXPECT_EQ(previous->property("text").toString(),
                      QString::fromUtf8(running ? "не запущен" : "запущен · держит кофе"));
            EXPECT_EQ(strongest > 0.9, !reducesMotion) << reducesMotion << running;
        }
    }
}

TEST_F(AppsSettingsTest, AnEntrysIconIsReadAgainOnlyOnceTheEntryIsWrittenAgain) {
    const auto editorIcon = [&] {
        return bridge.apps().back().toMap()[QStringLiteral("icon")].toString();
    };
    EXPECT_EQ(editorIcon(), QString());
    workspace.installed["org.example.Editor"].icon = "accessories-text-editor";
    EXPECT_EQ(editorIcon(), QString()) << "the entry is as it was";
    const std::filesystem::path entry = editorEntry.toStdString();
    std::filesystem::last_write_time(entry, std::filesystem::last_write_time(entry) +
                                                std::chrono::seconds(1));
    EXPECT_EQ(editorIcon(), QStringLiteral("accessories-text-editor"));
}

TEST(AppIconProviderTest, FindsTheNearestSizeOfTheNamedIconInTheDataFolders) {
    QTemporaryDir data;
    const QByteArray home = data.filePath(QStringLiteral("home")).toUtf8();
    const QByteArray dirs = (data.filePath(QStringLiteral("first")) + QLatin1Char(':') +
                             data.filePath(QStringLiteral("second")))
                                .toUtf8();
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    const QByteArray oldDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_HOME", home);
    qputenv("XDG_DATA_DIRS", dirs);
    const AppIconProvider provider;
    qputenv("XDG_DATA_HOME", oldHome);
    qputenv("XDG_DATA_DIRS", oldDirs);

    const char* const files[] = {
        "first/icons/hicolor/16x16/apps/sizes.png",
        "first/icons/hicolor/48x48/apps/sizes.png",
        "first/icons/hicolor/128x128/apps/sizes.png",
        "first/icons/hicolor/32x32/apps/nearer-smaller.png",
        "first/icons/hicolor/64x64/apps/nearer-smaller.png",
        "first/icons/hicolor/40x40/apps/tie.png",
        "first/icons/hicolor/48x48/apps/tie.png",
        "first/icons/hicolor/16x16/apps/scalable.png",
        "first/icons/hicolor/scalable/apps/scalable.svg",
        "first/icons/hicolor/16x16/apps/across.png",
        "second/icons/hicolor/48x48/apps/across.png",
        "first/icons/hicolor/48x48/apps/both.png",
        "second/icons/hicolor/48x48/apps/both.png",
        "home/icons/hicolor/48x48/apps/mine.svg",
        "first/icons/hicolor/16x16/apps/odd-folders.png",
        "first/icons/hicolor/48x48@2/apps/odd-folders.png",
        "first/icons/hicolor/symbolic/apps/odd-folders.png",
        "second/pixmaps/old.xpm",
        "second/pixmaps/themed.png",
        "second/icons/hicolor/22x22/apps/themed.png",
        "second/icons/other/48x48/apps/other-theme.png",
        "secret.png",
    };
    for (const char* file : files) {
        writeFile(data, QString::fromLatin1(file), "");
    }
    const auto at = [&](const char* path) { return data.filePath(QString::fromLatin1(path)); };
    struct Case {
        QString reference;
        QString expected; // empty: none
    };
    const Case cases[] = {
        {QStringLiteral("sizes"), at("first/icons/hicolor/48x48/apps/sizes.png")},
        {QStringLiteral("nearer-smaller"), at("first/icons/hicolor/32x32/apps/nearer-smaller.png")},
        {QStringLiteral("tie"), at("first/icons/hicolor/48x48/apps/tie.png")},
        {QStringLiteral("scalable"), at("first/icons/hicolor/scalable/apps/scalable.svg")},
        {QStringLiteral("across"), at("second/icons/hicolor/48x48/apps/across.png")},
        {QStringLiteral("both"), at("first/icons/hicolor/48x48/apps/both.png")},
        {QStringLiteral("mine"), at("home/icons/hicolor/48x48/apps/mine.svg")},
        {QStringLiteral("odd-folders"), at("first/icons/hicolor/16x16/apps/odd-folders.png")},
        {QStringLiteral("old"), at("second/pixmaps/old.xpm")},
        {QStringLiteral("themed"), at("second/icons/hicolor/22x22/apps/themed.png")},
        {QStringLiteral("other-theme"), QString()},
        {QStringLiteral("unknown"), QString()},
        {QStringLiteral("../../secret"), QString()},
        {QString(), QString()},
        {at("second/pixmaps/themed.png"), at("second/pixmaps/themed.png")},
        {at("second/pixmaps/missing.png"), QString()},
    };
    for (const auto& c : cases) {
        const auto found = provider.iconFile(c.reference);
        EXPECT_EQ(found ? QString::fromStdString(found->string()) : QString(), c.expected)
            << c.reference.toStdString();
    }
}

} // namespace
} // namespace vigilo
