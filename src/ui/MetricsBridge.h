#pragma once

#include "model/Metrics.h"
#include "ui/Bridge.h"

#include <QList>

namespace vigilo {

/// The metrics row: CPU history and the addresses with their lookup and copy states.
class MetricsBridge final : public Bridge {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the program")
    Q_PROPERTY(QList<double> cpuHistory READ cpuHistory NOTIFY changed)
    Q_PROPERTY(QString localIP READ localIP NOTIFY changed)
    Q_PROPERTY(QString externalIP READ externalIP NOTIFY changed)
    Q_PROPERTY(bool fetchingExternalIP READ isFetchingExternalIP NOTIFY changed)
    Q_PROPERTY(bool externalIPFailed READ didExternalIPFail NOTIFY changed)
    Q_PROPERTY(QString copiedIP READ copiedIP NOTIFY changed)

public:
    /// `metrics` must outlive the bridge.
    explicit MetricsBridge(Metrics& metrics, QObject* parent = nullptr);

    [[nodiscard]] QList<double> cpuHistory() const;
    /// Empty when unknown.
    [[nodiscard]] QString localIP() const;
    [[nodiscard]] QString externalIP() const;
    [[nodiscard]] bool isFetchingExternalIP() const { return metrics_.isFetchingExternalIP(); }
    [[nodiscard]] bool didExternalIPFail() const { return metrics_.didExternalIPFail(); }
    [[nodiscard]] QString copiedIP() const;

    Q_INVOKABLE void fetchExternalIP() { metrics_.fetchExternalIP(); }
    Q_INVOKABLE void copyIP(const QString& address) { metrics_.copyIP(address.toStdString()); }

private:
    Metrics& metrics_;
};

} // namespace vigilo
