#include "ui/LidBridge.h"

namespace vigilo {

LidBridge::LidBridge(LidMode& lidMode, QObject* parent)
    : Bridge(parent)
    , lidMode_(lidMode) {
    follow(lidMode.willChange());
}

QString LidBridge::lidError() const {
    const auto& error = lidMode_.lidError();
    return error ? QString::fromStdString(*error) : QString();
}

} // namespace vigilo
