#include "app/PanelLibrary.h"

#include "BuildInfo.h"
#include "fakes/FakePanelWindowSystem.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/ModelFakes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

// Loads libraries as the program does: this test links no panel, so the only panel code and QML
// module in the process are those of the library loaded.
namespace vigilo {
namespace {

class PanelLibraryTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    struct Outcome {
        bool called = false;
        std::unique_ptr<Panel> panel;
        QString problem;
    };

    /// Makes a panel from `library`, waiting for its answer on the event loop.
    Outcome make(PanelLibrary& library) {
        Outcome outcome;
        library.make(services, [&outcome](std::unique_ptr<Panel> panel, const QString& problem) {
            outcome = {.called = true, .panel = std::move(panel), .problem = problem};
        });
        QElapsedTimer waited;
        waited.start();
        while (!outcome.called && waited.elapsed() < 60'000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        }
        EXPECT_TRUE(outcome.called) << "no answer";
        return outcome;
    }

    AwakeModel model{ModelFakes::services()};
    fakes::FakeWorkspace workspace;
    RunningAppsWatcher appsWatcher{settings, workspace, scheduler};
    fakes::FakePanelWindowSystem windowSystem;
    Panel::Services services{.model = model,
                             .watcher = appsWatcher,
                             .clock = clock,
                             .scheduler = scheduler,
                             .windowSystem = windowSystem,
                             .sounds = sounds};
};

TEST_F(PanelLibraryTest, TheBuiltLibraryMakesClosedPanelsLoadedOnce) {
    PanelLibrary library(QStringLiteral(VIGILO_PANEL_LIBRARY_FILE));
    const Outcome first = make(library);
    ASSERT_NE(first.panel, nullptr) << first.problem.toStdString();
    EXPECT_FALSE(first.panel->isOpen());

    bool madeAtOnce = false;
    library.make(services, [&madeAtOnce](std::unique_ptr<Panel> panel, const QString&) {
        madeAtOnce = panel != nullptr;
    });
    EXPECT_TRUE(madeAtOnce) << "the loaded library makes the next panel without waiting";
}

TEST_F(PanelLibraryTest, ALibraryThatIsMissingOrOfAnotherReleaseIsRefusedWithTheReason) {
    const struct {
        QString path;
        QString reason;
    } cases[] = {
        {QStringLiteral("/nonexistent/vigilo-panel.so"),
         QStringLiteral("/nonexistent/vigilo-panel.so")},
        {QStringLiteral(VIGILO_FOREIGN_PANEL_FILE),
         QStringLiteral("собрана для версии 0.0.1-foreign, а запущена версия %1")
             .arg(QString::fromLatin1(BuildInfo::version))},
    };
    for (const auto& c : cases) {
        PanelLibrary library(c.path);
        const Outcome outcome = make(library);
        EXPECT_EQ(outcome.panel, nullptr) << c.path.toStdString();
        EXPECT_TRUE(outcome.problem.contains(c.reason)) << outcome.problem.toStdString();
    }
}

} // namespace
} // namespace vigilo
