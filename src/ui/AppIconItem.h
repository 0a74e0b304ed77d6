#pragma once

#include <QQuickPaintedItem>
#include <QtQmlIntegration>

namespace vigilo {

/// The program's own icon, the drawing the icon theme's files are made from, fitted into the
/// item. The tile brings its own rounded corners, so nothing needs clipping.
class AppIconItem : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT

public:
    explicit AppIconItem(QQuickItem* parent = nullptr);

    void paint(QPainter* painter) override;
};

} // namespace vigilo
