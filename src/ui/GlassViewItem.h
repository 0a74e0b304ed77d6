#pragma once

#include "art/GlassView.h"
#include "model/GlassState.h"

#include <QColor>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

namespace vigilo {

/// A Qt Quick item that shows the glass drawing for whatever state it is given.
class GlassViewItem : public QQuickPaintedItem {
    Q_OBJECT
    QML_NAMED_ELEMENT(GlassView)
    /// Text colour of the surface behind the drawing; the ring's faint track is drawn in it.
    Q_PROPERTY(QColor labelColor READ labelColor WRITE setLabelColor NOTIFY labelColorChanged)

public:
    explicit GlassViewItem(QQuickItem* parent = nullptr);

    [[nodiscard]] const GlassState& glassState() const { return state_; }
    void setGlassState(const GlassState& state);

    [[nodiscard]] QColor labelColor() const { return labelColor_; }
    void setLabelColor(const QColor& color);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void labelColorChanged();

private:
    GlassState state_;
    QColor labelColor_;
    GlassCache cache_;
};

} // namespace vigilo
