#pragma once

#include "ui/ViewServices.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace vigilo::testing {

/// An engine with the `Vigilo` module and an offscreen window to load a view of it into, laid
/// out at the panel's content width. The view's coordinates are those of the window's content,
/// which tests pass as `space`, the hover highlights' frame of the published pointer.
class ViewHarness {
public:
    static constexpr double contentWidth = 308;

    explicit ViewHarness(const Clock& clock)
        : services_(clock, nullptr, engine) {
        addVigiloImportPath(engine);
        window.resize(420, 640);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    /// Loads `source` (a QML document) with `properties`; fails the test and gives nothing when
    /// it does not load.
    std::unique_ptr<QQuickItem> load(const char* source, const QVariantMap& properties) {
        QQmlComponent component(&engine);
        component.setData(source, QUrl());
        std::unique_ptr<QQuickItem> loaded(
            qobject_cast<QQuickItem*>(component.createWithInitialProperties(properties)));
        if (!loaded) {
            ADD_FAILURE() << component.errorString().toStdString();
            return loaded;
        }
        loaded->setParentItem(window.contentItem());
        loaded->setWidth(contentWidth);
        return loaded;
    }

    /// Lets the bridges publish and replaced items go, then waits for a frame, which lays the
    /// views out.
    void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QSignalSpy swapped(&window, &QQuickWindow::frameSwapped);
        window.update();
        EXPECT_TRUE(swapped.wait(3000));
    }

    QQmlEngine engine;
    QQuickWindow window;

private:
    ViewServices services_;
};

/// A visible item under `root` shows `text` (a text, or a symbol's name).
inline bool shows(const QQuickItem& root, const QString& text) {
    const auto items = root.findChildren<QQuickItem*>();
    return std::ranges::any_of(items, [&](const QQuickItem* shown) {
        return shown->isVisible() && shown->opacity() > 0 &&
               (shown->property("text").toString() == text ||
                shown->property("name").toString() == text);
    });
}

/// The visible item called `name` under `root`, else nothing.
inline QQuickItem* visibleChild(const QQuickItem& root, const char* name) {
    auto* found = root.findChild<QQuickItem*>(QString::fromLatin1(name));
    return found != nullptr && found->isVisible() ? found : nullptr;
}

/// The item called `name` in the tree of items under `root`, which also holds what repeaters
/// and loaders made (they do not always own what they make); else nothing.
inline QQuickItem* findItem(QQuickItem& root, const QString& name) {
    for (auto* child : root.childItems()) {
        if (child->objectName() == name) {
            return child;
        }
        if (auto* found = findItem(*child, name)) {
            return found;
        }
    }
    return nullptr;
}

/// The visible control that screen readers know by `name` in `window`, else nothing.
inline QQuickItem* accessibleControl(QQuickWindow& window, const QString& name,
                                     QAccessibleInterface* node = nullptr) {
    node = node != nullptr ? node : window.accessibleRoot();
    if (node->text(QAccessible::Name) == name && !node->state().invisible) {
        return qobject_cast<QQuickItem*>(node->object());
    }
    for (int i = 0; i < node->childCount(); ++i) {
        if (auto* found = accessibleControl(window, name, node->child(i))) {
            return found;
        }
    }
    return nullptr;
}

/// What screen readers call `item`; empty for nothing.
inline QString accessibleName(QQuickItem* item) {
    auto* node = item != nullptr ? QAccessible::queryAccessibleInterface(item) : nullptr;
    return node != nullptr ? node->text(QAccessible::Name) : QString();
}

} // namespace vigilo::testing
