#pragma once

#include "model/Metrics.h"
#include "ui/Bridge.h"

#include <QList>

namespace vigilo {

/// The metrics row: the figures as the row writes them (each text empty while its figure is
/// unknown), the CPU history, and the addresses with their lookup and copy states.
class MetricsBridge final : public Bridge {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the program")
    Q_PROPERTY(QList<double> cpuHistory READ cpuHistory NOTIFY changed)
    Q_PROPERTY(QString cpuText READ cpuText NOTIFY changed)
    Q_PROPERTY(QString memoryText READ memoryText NOTIFY changed)
    Q_PROPERTY(QString memoryDetail READ memoryDetail NOTIFY changed)
    Q_PROPERTY(QString diskText READ diskText NOTIFY changed)
    Q_PROPERTY(QString diskDetail READ diskDetail NOTIFY changed)
    Q_PROPERTY(QString batterySymbol READ batterySymbol NOTIFY changed)
    Q_PROPERTY(QString batteryText READ batteryText NOTIFY changed)
    Q_PROPERTY(QString batteryDetail READ batteryDetail NOTIFY changed)
    Q_PROPERTY(QString localIP READ localIP NOTIFY changed)
    Q_PROPERTY(QString externalIP READ externalIP NOTIFY changed)
    Q_PROPERTY(bool fetchingExternalIP READ isFetchingExternalIP NOTIFY changed)
    Q_PROPERTY(bool externalIPFailed READ didExternalIPFail NOTIFY changed)
    Q_PROPERTY(QString copiedIP READ copiedIP NOTIFY changed)
    Q_PROPERTY(QString lookupHelp READ lookupHelp CONSTANT)

public:
    /// `metrics` must outlive the bridge.
    explicit MetricsBridge(Metrics& metrics, QObject* parent = nullptr);

    [[nodiscard]] QList<double> cpuHistory() const;
    [[nodiscard]] QString cpuText() const;
    [[nodiscard]] QString memoryText() const;
    [[nodiscard]] QString memoryDetail() const;
    [[nodiscard]] QString diskText() const;
    [[nodiscard]] QString diskDetail() const;
    [[nodiscard]] QString batterySymbol() const;
    [[nodiscard]] QString batteryText() const;
    [[nodiscard]] QString batteryDetail() const;
    /// Empty when unknown.
    [[nodiscard]] QString localIP() const;
    [[nodiscard]] QString externalIP() const;
    [[nodiscard]] bool isFetchingExternalIP() const { return metrics_.isFetchingExternalIP(); }
    [[nodiscard]] bool didExternalIPFail() const { return metrics_.didExternalIPFail(); }
    [[nodiscard]] QString copiedIP() const;
    [[nodiscard]] static QString lookupHelp();

    Q_INVOKABLE void fetchExternalIP() { metrics_.fetchExternalIP(); }
    Q_INVOKABLE void copyIP(const QString& address) { metrics_.copyIP(address.toStdString()); }

private:
    Metrics& metrics_;
};

} // namespace vigilo
