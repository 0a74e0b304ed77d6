#include "ViewHarness.h"
#include "fakes/FakeUpdateFramework.h"
#include "fakes/ModelFakes.h"
#include "model/Donation.h"
#include "ui/LidBridge.h"
#include "ui/PanelBridge.h"
#include "ui/UpdatesBridge.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace vigilo {
namespace {

using testing::shows;
using testing::ViewHarness;
using testing::visibleChild;

/// An element a screen reader finds.
struct Accessible {
    QAccessible::Role role;
    QString name;
};

/// The accessible elements of the window that are `root` or lie inside it. Without a screen
/// reader attached (offscreen) texts are not elements; the controls and the named rows are.
void collectAccessible(QAccessibleInterface& node, const QQuickItem& root,
                       std::vector<Accessible>& found) {
    for (int i = 0; i < node.childCount(); ++i) {
        QAccessibleInterface* child = node.child(i);
        if (child == nullptr) {
            continue;
        }
        const auto* item = qobject_cast<const QQuickItem*>(child->object());
        if (item == &root || root.isAncestorOf(item)) {
            found.push_back({child->role(), child->text(QAccessible::Name)});
        }
        collectAccessible(*child, root, found);
    }
}

/// The about tab and the consent card on a real model over fakes, with the Linux words.
class AboutSettingsTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    std::unique_ptr<QQuickItem> loadAbout(UpdatesBridge* updates = nullptr) {
        return harness.load(
            "import Vigilo\nAboutSettings {}",
            {{QStringLiteral("lid"), QVariant::fromValue(&lidBridge)},
             {QStringLiteral("panel"), QVariant::fromValue(&panel)},
             {QStringLiteral("space"), QVariant::fromValue(harness.window.contentItem())},
             {QStringLiteral("updates"), QVariant::fromValue(updates)}});
    }

    std::unique_ptr<QQuickItem> loadConsentCard(LidBridge& bridge) {
        return harness.load("import Vigilo\nLidConsentCard {}",
                            {{QStringLiteral("lid"), QVariant::fromValue(&bridge)}});
    }

    /// A click at the centre of `target`, as the pointer gives it.
    void click(const QQuickItem& target) {
        const QPointF centre = target.mapToScene({target.width() / 2, target.height() / 2});
        QTest::mouseClick(&harness.window, Qt::LeftButton, {}, centre.toPoint());
    }

    /// The pill button titled `title` under `root`.
    static QQuickItem* pill(const QQuickItem& root, const QString& title) {
        const auto items = root.findChildren<QQuickItem*>();
        const auto found = std::ranges::find_if(
            items, [&](const QQuickItem* item) { return item->property("title") == title; });
        return found != items.end() ? *found : nullptr;
    }

    /// The confirmation on the screen, if any.
    static QMessageBox* shownDialog() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                return box;
            }
        }
        return nullptr;
    }

    static QAbstractButton* button(const QMessageBox& box, const QString& text) {
        const auto buttons = box.buttons();
        const auto found = std::ranges::find_if(
            buttons, [&](const QAbstractButton* shown) { return shown->text() == text; });
        return found != buttons.end() ? *found : nullptr;
    }

    AwakeModel model{services()};
    LidBridge lidBridge{model.lidMode(), linuxWords()};
    PanelBridge panel{model};
    ViewHarness harness{clock};
    int lidNotices = 0;
    Connection lidCounter = model.lidMode().changed().connect([this] { ++lidNotices; });
};

TEST_F(AboutSettingsTest, LidRowIsAButtonOnlyWhileThePermissionIsGranted) {
    const auto view = loadAbout();
    ASSERT_NE(view, nullptr);
    struct Case {
        const char* what;
        std::function<void()> change;
        const char* row;
        const char* text;
        const char* symbol;
        bool focusable;
        QAccessible::Role role;
        const char* accessibleName;
    };
    const Case cases[] = {
        {"never granted", [] {}, "lidAccessStatus", "Доступ к крышке закрыт", "shield.slash", false,
         QAccessible::StaticText, "Доступ к крышке закрыт"},
        {"granted", [&] { model.lidMode().grantLidPermission(); }, "lidAccessButton",
         "Доступ к крышке разрешён", "checkmark.shield.fill", true, QAccessible::Button,
         "Доступ к крышке разрешён. Нажмите, чтобы отозвать"},
        {"revoked", [&] { model.lidMode().removeLidHelper(); }, "lidAccessStatus",
         "Доступ к крышке закрыт", "shield.slash", false, QAccessible::StaticText,
         "Доступ к крышке закрыт"},
    };
    for (const auto& c : cases) {
        c.change();
        harness.settle();
        const auto* row = visibleChild(*view, c.row);
        ASSERT_NE(row, nullptr) << c.what;
        EXPECT_EQ(row->height(), 32) << c.what;
        EXPECT_EQ(row->width(), ViewHarness::contentWidth) << c.what;
        EXPECT_TRUE(shows(*row, QString::fromUtf8(c.text))) << c.what;
        EXPECT_TRUE(shows(*row, QString::fromLatin1(c.symbol))) << c.what;
        const auto inside = row->findChildren<QQuickItem*>();
        EXPECT_EQ(std::ranges::any_of(inside,
                                      [](const QQuickItem* item) {
                                          return item->activeFocusOnTab() && item->isEnabled();
                                      }),
                  c.focusable)
            << c.what;

        std::vector<Accessible> elements;
        collectAccessible(*QAccessible::queryAccessibleInterface(&harness.window), *row, elements);
        ASSERT_EQ(elements.size(), 1U) << c.what << ": one element for the whole row";
        EXPECT_EQ(elements.front().role, c.role) << c.what;
        EXPECT_EQ(elements.front().name, QString::fromUtf8(c.accessibleName)) << c.what;
    }
}

TEST_F(AboutSettingsTest, RevokingAsksAndOnlyTheRevokeAnswerRevokesOnce) {
    const auto view = loadAbout();
    ASSERT_NE(view, nullptr);
    struct Case {
        const char* what;
        std::function<void(QMessageBox&)> answer;
        bool revoked;
    };
    const Case cases[] = {
        {"Отмена", [](QMessageBox& box) { button(box, QStringLiteral("Отмена"))->click(); }, false},
        {"Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, false},
        {"closed by its window", [](QMessageBox& box) { box.close(); }, false},
        {"Отозвать доступ",
         [](QMessageBox& box) { button(box, QStringLiteral("Отозвать доступ"))->click(); }, true},
    };
    for (const auto& c : cases) {
        model.lidMode().grantLidPermission();
        harness.settle();
        lidNotices = 0;
        const auto* lidButton = visibleChild(*view, "lidAccessButton");
        ASSERT_NE(lidButton, nullptr) << c.what;

        click(*lidButton);
        const QPointer<QMessageBox> dialog = shownDialog();
        ASSERT_NE(dialog, nullptr) << c.what << ": the click returns with the dialog up";
        EXPECT_EQ(dialog->text(), QStringLiteral("Отозвать доступ к крышке?")) << c.what;
        EXPECT_EQ(dialog->informativeText(),
                  QString::fromStdString(linuxWords().lidRevokeExplanation))
            << c.what;
        const auto buttons = dialog->buttons();
        ASSERT_EQ(buttons.size(), 2) << c.what;
        EXPECT_EQ(buttons[0]->text(), QStringLiteral("Отозвать доступ")) << c.what;
        EXPECT_EQ(buttons[1]->text(), QStringLiteral("Отмена")) << c.what;
        EXPECT_EQ(dialog->defaultButton(), buttons[0]) << c.what;
        EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal) << c.what;
        EXPECT_EQ(QGuiApplication::modalWindow(), dialog->windowHandle())
            << c.what << ": the panel stays open while a modal window is up";

        click(*lidButton);
        QCoreApplication::processEvents();
        EXPECT_EQ(shownDialog(), dialog) << c.what << ": the panel takes no click meanwhile";

        c.answer(*dialog);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return dialog.isNull();
        })) << c.what
            << ": the dialog goes once answered";
        EXPECT_EQ(lid.installed, !c.revoked) << c.what;
        EXPECT_EQ(lidNotices, c.revoked ? 1 : 0) << c.what;
    }
}

TEST_F(AboutSettingsTest, IdentityCardNamesTheVersionAndUpdatesOnlyWhereTheProgramUpdatesItself) {
    fakes::FakeUpdateFramework framework;
    Updater updater(framework, scheduler, {.version = "1.4.2", .copyright = ""});
    UpdatesBridge updates(updater);
    struct Case {
        const char* what;
        const char* applicationVersion;
        UpdatesBridge* updates;
        const char* versionLine;
        bool updatesItself;
    };
    const Case cases[] = {
        {"a release that updates itself", "1.4.2", &updates, "Версия 1.4.2", true},
        {"a build without a version, updated by the system", "", nullptr, "Версия ?", false},
    };
    for (const auto& c : cases) {
        QCoreApplication::setApplicationVersion(QString::fromLatin1(c.applicationVersion));
        const auto view = loadAbout(c.updates);
        ASSERT_NE(view, nullptr) << c.what;
        harness.settle();
        EXPECT_TRUE(shows(*view, QStringLiteral("Vigilo"))) << c.what;
        EXPECT_TRUE(shows(*view, QString::fromUtf8(c.versionLine))) << c.what;
        EXPECT_EQ(shows(*view, QStringLiteral("Обновляется автоматически")), c.updatesItself)
            << c.what;
        EXPECT_EQ(visibleChild(*view, "checkRow") != nullptr, c.updatesItself) << c.what;
    }
    QCoreApplication::setApplicationVersion({});
}

TEST_F(AboutSettingsTest, DonationButtonOpensThePageWithoutAnsweringTheQuestion) {
    model.donationQuestion().checkDonationQuestion(DonationQuestion::donationCup);
    const auto view = loadAbout();
    ASSERT_NE(view, nullptr);
    harness.settle();
    const auto* donation = visibleChild(*view, "donationButton");
    ASSERT_NE(donation, nullptr);
    EXPECT_TRUE(shows(*donation, QStringLiteral("Купить автору кофе")));

    click(*donation);
    EXPECT_EQ(desktop.openedUrls, std::vector<std::string>{Donation::url});
    EXPECT_TRUE(model.donationQuestion().isAskingForDonation())
        << "the main screen's question stays open";
}

TEST_F(AboutSettingsTest, ConsentCardAnswersClearTheRequest) {
    struct Case {
        const char* title;
        bool installed;
        bool postponed;
    };
    const Case cases[] = {
        {"Не сейчас", false, true},
        {"Разрешить", true, false},
    };
    for (const auto& c : cases) {
        model.lidMode().setKeepsAwakeWithLidClosed(true);
        ASSERT_TRUE(model.lidMode().needsLidConsent()) << c.title;
        const auto card = loadConsentCard(lidBridge);
        ASSERT_NE(card, nullptr) << c.title;
        harness.settle();
        const auto* answer = pill(*card, QString::fromUtf8(c.title));
        ASSERT_NE(answer, nullptr) << c.title;

        click(*answer);
        EXPECT_FALSE(model.lidMode().needsLidConsent()) << c.title;
        EXPECT_EQ(lid.installed, c.installed) << c.title;
        EXPECT_EQ(model.lidMode().lidConsentPostponed(), c.postponed) << c.title;
    }
}

TEST_F(AboutSettingsTest, ConsentExplanationWrapsWholeInsideTheCard) {
    struct Case {
        const char* what;
        PlatformWords words;
    };
    const Case cases[] = {{"macOS", PlatformWords{}}, {"Linux", linuxWords()}};
    for (const auto& c : cases) {
        LidBridge bridge(model.lidMode(), c.words);
        const auto card = loadConsentCard(bridge);
        ASSERT_NE(card, nullptr) << c.what;
        harness.settle();
        auto* explanation = card->findChild<QQuickItem*>(QStringLiteral("lidConsentExplanation"));
        ASSERT_NE(explanation, nullptr) << c.what;
        EXPECT_EQ(explanation->property("text").toString(),
                  QString::fromStdString(c.words.lidConsentExplanation))
            << c.what;
        EXPECT_GT(explanation->property("lineCount").toInt(), 1) << c.what;
        EXPECT_FALSE(explanation->property("truncated").toBool()) << c.what;

        const QRectF text = explanation->mapRectToItem(card.get(), explanation->boundingRect());
        const auto* allow = pill(*card, QStringLiteral("Разрешить"));
        ASSERT_NE(allow, nullptr) << c.what;
        const QRectF buttons = allow->mapRectToItem(card.get(), allow->boundingRect());
        EXPECT_LE(text.right(), card->width() - 12) << c.what;
        EXPECT_LE(text.bottom(), buttons.top()) << c.what << ": the buttons sit below";
        EXPECT_NEAR(buttons.right(), card->width() - 12, 0.5) << c.what << ": at the right edge";
        EXPECT_NEAR(card->height(), buttons.bottom() + 12, 0.5) << c.what;
    }
}

} // namespace
} // namespace vigilo
