#include "ui/MetricsBridge.h"

#include "model/MetricsTexts.h"

namespace vigilo {

namespace {

QString textOrEmpty(const std::optional<std::string>& text) {
    return text ? QString::fromStdString(*text) : QString();
}

/// The text of a figure, or empty while the figure is unknown.
template <typename Figure, typename Format>
QString textOf(const std::optional<Figure>& figure, Format format) {
    return figure ? QString::fromStdString(format(*figure)) : QString();
}

} // namespace

MetricsBridge::MetricsBridge(Metrics& metrics, QObject* parent)
    : Bridge(parent)
    , metrics_(metrics) {
    follow(metrics.changed());
}

QList<double> MetricsBridge::cpuHistory() const {
    const auto& history = metrics_.cpuHistory();
    return {history.begin(), history.end()};
}

QString MetricsBridge::cpuText() const {
    return QString::fromStdString(MetricsTexts::cpu(metrics_.cpuHistory()));
}

QString MetricsBridge::memoryText() const {
    return textOf(metrics_.memory(), MetricsTexts::memorySummary);
}

QString MetricsBridge::memoryDetail() const {
    return textOf(metrics_.memory(), MetricsTexts::memoryDetail);
}

QString MetricsBridge::diskText() const {
    return textOf(metrics_.disk(), MetricsTexts::diskSummary);
}

QString MetricsBridge::diskDetail() const {
    return textOf(metrics_.disk(), MetricsTexts::diskDetail);
}

QString MetricsBridge::batterySymbol() const {
    return textOf(metrics_.battery(), MetricsTexts::batterySymbol);
}

QString MetricsBridge::batteryText() const {
    return textOf(metrics_.battery(), MetricsTexts::batterySummary);
}

QString MetricsBridge::batteryDetail() const {
    return textOf(metrics_.battery(), MetricsTexts::batteryDetail);
}

QString MetricsBridge::lookupHelp() {
    return QString::fromStdString(MetricsTexts::lookupHelp());
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
