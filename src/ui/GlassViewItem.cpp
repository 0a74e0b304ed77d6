#include "ui/GlassViewItem.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace vigilo {

GlassViewItem::GlassViewItem(QQuickItem* parent)
    : QQuickPaintedItem(parent)
    , labelColor_(QGuiApplication::palette().windowText().color()) {}

void GlassViewItem::setGlassState(const GlassState& state) {
    if (state == state_) {
        return;
    }
    state_ = state;
    update();
}

void GlassViewItem::setLabelColor(const QColor& color) {
    if (color == labelColor_) {
        return;
    }
    labelColor_ = color;
    update();
    Q_EMIT labelColorChanged();
}

void GlassViewItem::paint(QPainter* painter) {
    paintGlass(*painter, size(), state_, labelColor_, cache_);
}

} // namespace vigilo
