#include "ui/MetricsBridge.h"

namespace vigilo {

namespace {

QString textOrEmpty(const std::optional<std::string>& text) {
    return text ? QString::fromStdString(*text) : QString();
}

} // namespace

MetricsBridge::MetricsBridge(Metrics& metrics, QObject* parent)
    : Bridge(parent)
    , metrics_(metrics) {
    follow(metrics.willChange());
}

QList<double> MetricsBridge::cpuHistory() const {
    const auto& history = metrics_.cpuHistory();
    return {history.begin(), history.end()};
}

QString MetricsBridge::localIP() const {
    return textOrEmpty(metrics_.localIP());
}

QString MetricsBridge::externalIP() const {
    return textOrEmpty(metrics_.externalIP());
}

QString MetricsBridge::copiedIP() const {
    return textOrEmpty(metrics_.copiedIP());
}

} // namespace vigilo
