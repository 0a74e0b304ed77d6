// What reading the watched-applications list costs the GUI thread: the apps tab reads the
// bridge's `apps` whenever the list changes. Measured over the real workspace, with two of the
// built-in applications and one added by the user installed among 200 other desktop entries.
#include "model/RunningAppsWatcher.h"
#include "platform/linux/apps/LinuxWorkspace.h"
#include "platform/linux/settings/JsonDefaults.h"
#include "platform/qt/QtScheduler.h"
#include "ui/WatchedAppsBridge.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void writeEntry(const fs::path& path, const std::string& name) {
    std::ofstream(path) << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=/usr/bin/"
                        << name << "\nIcon=" << name << "\n";
}

void BM_WatchedAppsList(benchmark::State& state) {
    int argc = 0;
    const QCoreApplication application(argc, nullptr);
    const QTemporaryDir folder;
    const fs::path applications = folder.filePath(QStringLiteral("applications")).toStdString();
    fs::create_directories(applications);
    writeEntry(applications / "claude-desktop.desktop", "claude-desktop");
    writeEntry(applications / "com.openai.codex.desktop", "codex");
    writeEntry(applications / "org.example.Editor.desktop", "editor");
    for (int i = 0; i < 200; ++i) {
        writeEntry(applications / ("org.example.Other" + std::to_string(i) + ".desktop"),
                   "other" + std::to_string(i));
    }

    vigilo::JsonDefaults defaults(folder.filePath(QStringLiteral("settings")).toStdString());
    vigilo::Settings settings(defaults);
    vigilo::QtScheduler scheduler;
    vigilo::LinuxWorkspace workspace("/proc", ::getuid(), {}, {applications}, {},
                                     QDBusConnection(QString()), scheduler);
    vigilo::RunningAppsWatcher watcher(settings, workspace, scheduler);
    if (!watcher.add((applications / "org.example.Editor.desktop").string())) {
        state.SkipWithError("the added application was not listed");
        return;
    }
    const vigilo::WatchedAppsBridge bridge(watcher, vigilo::linuxWords());
    for (auto _ : state) {
        benchmark::DoNotOptimize(bridge.apps());
    }
}
BENCHMARK(BM_WatchedAppsList)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
