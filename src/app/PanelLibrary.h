#pragma once

#include "app/PanelSource.h"

#include <QObject>
#include <QString>

namespace vigilo {

/// The panel library built and installed with this program: loaded on a worker thread the first
/// time a panel is made, kept loaded for good, and refused unless it was built for this release.
class PanelLibrary final : public QObject, public PanelSource {
    Q_OBJECT
public:
    /// The library beside the running program, where the build and the install put it.
    [[nodiscard]] static QString besideProgram();

    explicit PanelLibrary(QString path);

    void make(const Panel::Services& services, Made made) override;

private:
    struct Loaded {
        PanelEntry::Make make = nullptr;
        QString problem;
    };
    /// Runs on the worker thread.
    [[nodiscard]] static Loaded load(const QString& path);

    QString path_;
    PanelEntry::Make make_ = nullptr;
};

} // namespace vigilo
