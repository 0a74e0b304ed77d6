#include "ViewHarness.h"
#include "fakes/FakeUpdateFramework.h"
#include "fakes/ModelFakes.h"
#include "ui/PanelBridge.h"
#include "ui/UpdatesBridge.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace vigilo {
namespace {

/// The progress bar's width inside the card's padding.
constexpr double barWidth = testing::ViewHarness::contentWidth - 24;

/// Views of an updater over a fake framework, in an offscreen window.
class UpdateStatusTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    /// An updater and what the views read of it.
    struct Updates {
        explicit Updates(fakes::FakeUpdateFramework& framework, Scheduler& scheduler)
            : updater(framework, scheduler, {.version = "1.2", .copyright = ""}) {}
        Updater updater;
        UpdatesBridge bridge{updater};
    };

    std::unique_ptr<QQuickItem> loadStatus(UpdatesBridge& bridge) {
        return harness.load(
            "import Vigilo\nUpdateStatus {}",
            {{QStringLiteral("updates"), QVariant::fromValue(&bridge)},
             {QStringLiteral("panel"), QVariant::fromValue(&panel)},
             {QStringLiteral("space"), QVariant::fromValue(harness.window.contentItem())}});
    }

    void settle() { harness.settle(); }

    fakes::FakeUpdateFramework framework;
    AwakeModel model{services()};
    PanelBridge panel{model};
    testing::ViewHarness harness{clock};
};

using testing::shows;
using testing::visibleChild;

TEST_F(UpdateStatusTest, EachPhaseShowsItsRowAndTexts) {
    const auto userDownload = [](Updater& updater, std::uint64_t received) {
        updater.checkForUpdates();
        updater.showUpdateFound("1.3", [] {});
        updater.showDownloadExpectedLength(1000);
        updater.showDownloadReceived(received);
    };
    struct Case {
        const char* what;
        std::function<void(Updater&)> arrange;
        const char* row;
        std::vector<const char*> texts;
        /// The width of the progress bar's amber segment; nothing when no segment shows.
        std::optional<double> segment = std::nullopt;
        bool spins = false;
    };
    const std::vector<Case> cases = {
        {"nothing yet", [](Updater&) {}, "checkRow", {"Проверить обновления"}},
        {"found in the background",
         [](Updater& updater) { updater.showUpdateFound("1.3", [] {}); },
         "availableRow",
         {"Доступно обновление 1.3"}},
        {"downloaded while kept awake",
         [](Updater& updater) {
             updater.setCanInstallNow([] { return false; });
             updater.showUpdateFound("1.3", [] {});
             updater.showReadyToInstall([] {});
         },
         "backgroundReadyRow",
         {"1.3 скачано", "поставится после кофе"}},
        {"checking",
         [](Updater& updater) { updater.checkForUpdates(); },
         "checkingRow",
         {"Проверяю обновления…"},
         std::nullopt,
         true},
        {"up to date",
         [](Updater& updater) {
             updater.checkForUpdates();
             updater.showUpdateNotFound({.reason = NoUpdateReason::onLatestVersion}, [] {});
         },
         "upToDateRow",
         {"Версия актуальна", "1.2"}},
        {"a download of unknown size",
         [](Updater& updater) {
             updater.checkForUpdates();
             updater.showUpdateFound("1.3", [] {});
         },
         "downloadingRow",
         {"Загрузка 1.3"},
         std::nullopt,
         true},
        {"a started download",
         [&](Updater& updater) { userDownload(updater, 4); },
         "downloadingRow",
         {"Загрузка 1.3", "0%"},
         4},
        {"an almost finished download",
         [&](Updater& updater) { userDownload(updater, 995); },
         "downloadingRow",
         {"100%"},
         barWidth * 0.995},
        {"unpacking",
         [&](Updater& updater) {
             userDownload(updater, 1000);
             updater.showExtractionStarted();
             updater.showExtractionProgress(0.5);
         },
         "extractingRow",
         {"Распаковываю обновление…"},
         barWidth * 0.5},
        {"ready",
         [&](Updater& updater) {
             userDownload(updater, 1000);
             updater.showReadyToInstall([] {});
         },
         "readyRow",
         {"Обновление 1.3 загружено", "Установить и перезапустить"}},
        {"ready without a version",
         [](Updater& updater) {
             updater.checkForUpdates();
             updater.showReadyToInstall([] {});
         },
         "readyRow",
         {"Обновление загружено"}},
        {"failed",
         [](Updater& updater) {
             updater.checkForUpdates();
             updater.showUpdaterError({UpdateErrorKind::network, "The network connection was lost"},
                                      [] {});
         },
         "failedRow",
         {"Нет соединения с интернетом. Проверь сеть и попробуй ещё раз.", "Повторить"}},
    };
    for (const auto& c : cases) {
        Updates updates(framework, scheduler);
        const auto view = loadStatus(updates.bridge);
        ASSERT_NE(view, nullptr);
        c.arrange(updates.updater);
        settle();
        const auto rows =
            view->findChildren<QQuickItem*>(QRegularExpression(QStringLiteral("Row$")));
        ASSERT_EQ(rows.size(), 1) << c.what << ": exactly one row";
        EXPECT_EQ(rows.front()->objectName(), QString::fromLatin1(c.row)) << c.what;
        for (const char* text : c.texts) {
            EXPECT_TRUE(shows(*view, QString::fromUtf8(text))) << c.what << ": " << text;
        }
        const auto* segment = visibleChild(*view, "progressSegment");
        ASSERT_EQ(segment != nullptr, c.segment.has_value()) << c.what;
        if (segment != nullptr) {
            EXPECT_NEAR(segment->width(), *c.segment, 0.01) << c.what;
        }
        EXPECT_EQ(visibleChild(*view, "spinner") != nullptr, c.spins) << c.what;
    }
}

} // namespace
} // namespace vigilo
