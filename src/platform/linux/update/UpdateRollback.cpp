#include "platform/linux/update/UpdateRollback.h"

#include "util/Files.h"
#include "util/VersionNumber.h"

#include <fstream>
#include <nlohmann/json.hpp>

namespace vigilo::UpdateRollback {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

/// {"installed": …, "previous": …, "started": …} while a switch waits for confirmation;
/// {"rejected": …} after a rollback.
fs::path recordPath(const InstalledVersions& versions) {
    return versions.folder() / ".launch-record.json";
}

std::optional<json> readRecord(const InstalledVersions& versions) {
    const auto text = readWholeFile(recordPath(versions), 4096);
    if (!text) {
        return std::nullopt;
    }
    auto record = json::parse(*text, nullptr, false);
    if (!record.is_object()) {
        return std::nullopt;
    }
    return record;
}

std::optional<std::string> textField(const json& record, const char* name) {
    const auto field = record.find(name);
    if (field == record.end() || !field->is_string()) {
        return std::nullopt;
    }
    return field->get<std::string>();
}

/// Replaces the record in one step, so a crash leaves the old one or the new one.
bool writeRecord(const InstalledVersions& versions, const json& record) {
    const fs::path temporary =
        versions.folder() / (std::string(InstalledVersions::workPrefix) + "launch-record");
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << record.dump();
        if (!file.flush()) {
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, recordPath(versions), error);
    return !error;
}

bool isSameVersion(const std::string& a, const std::string& b) {
    const auto first = VersionNumber::parse(a);
    const auto second = VersionNumber::parse(b);
    return first && second && *first == *second;
}

} // namespace

bool recordSwitch(const InstalledVersions& versions, const std::string& installed,
                  const std::string& previous) {
    return writeRecord(versions,
                       json{{"installed", installed}, {"previous", previous}, {"started", false}});
}

void forgetSwitch(const InstalledVersions& versions) {
    std::error_code ignored;
    fs::remove(recordPath(versions), ignored);
}

Start atStart(const InstalledVersions& versions, const std::string& runningVersion) {
    auto record = readRecord(versions);
    const auto installed = record ? textField(*record, "installed") : std::nullopt;
    if (!installed || !isSameVersion(*installed, runningVersion)) {
        return Start::ordinary;
    }
    const auto started = record->find("started");
    if (started != record->end() && started->is_boolean() && !started->get<bool>()) {
        (*record)["started"] = true;
        // Were the mark lost, every start would count as the first: no rollback, but never a
        // good version rolled back either.
        (void)writeRecord(versions, *record);
        return Start::firstAfterUpdate;
    }
    const auto previous = textField(*record, "previous");
    std::error_code error;
    const bool canGoBack = previous && fs::is_directory(versions.folderOf(*previous), error);
    if (!canGoBack || !versions.switchCurrent(*previous)) {
        // Nothing to go back to: this version is all there is.
        forgetSwitch(versions);
        return Start::ordinary;
    }
    (void)writeRecord(versions, json{{"rejected", *installed}});
    return Start::rolledBack;
}

bool confirm(const InstalledVersions& versions, const std::string& runningVersion) {
    const auto record = readRecord(versions);
    const auto installed = record ? textField(*record, "installed") : std::nullopt;
    if (!installed || !isSameVersion(*installed, runningVersion)) {
        return false;
    }
    forgetSwitch(versions);
    return true;
}

std::optional<std::string> rejectedVersion(const InstalledVersions& versions) {
    const auto record = readRecord(versions);
    return record ? textField(*record, "rejected") : std::nullopt;
}

} // namespace vigilo::UpdateRollback
