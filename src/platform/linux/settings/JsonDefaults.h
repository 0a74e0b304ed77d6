#pragma once

// The settings file, `defaults.json`: one JSON object, one member per key.
//
//   bool        true / false
//   integer     a JSON integer (64-bit signed)
//   double      a JSON number with a fraction or exponent; 2.0 is written "2.0" so it reads back
//               as a double (NaN and infinities cannot be written in JSON: they read as absent)
//   text        a JSON string
//   text list   a JSON array of strings
//   bytes       {"data": "<Base64>"}
//   date        {"date": "2026-03-01T10:00:00.000Z"} (UTC, millisecond precision)
//
// Each member is written on a line of its own, its value without indentation. Members of any other
// shape are kept in the file as they are but read as absent; so are dates the clock cannot hold
// (before 1677-09-21T00:12:44Z or from 2262-04-11T23:47:16Z on).
//
// A file that cannot be read or parsed, or that nests containers more than 64 deep, is renamed to
// "defaults.json.corrupt-<UTC time>" and the store starts empty; such files are never overwritten
// or deleted. Anything but a regular file at the path (a FIFO, a device, a folder) is left alone:
// the store starts empty and keeps its changes in memory.
//
// A link is followed: the file is replaced in its target's folder, and keeps its mode (a new file
// is 0600). A save writes ".<file name>.XXXXXX" beside the file and renames it over the file; such
// files left by a save that was killed midway are removed on the next start.

#include "ports/Defaults.h"

#include <filesystem>
#include <nlohmann/json.hpp>

namespace vigilo {

/// The defaults store as a JSON file, loaded once and rewritten (atomically) on every change.
class JsonDefaults final : public Defaults {
public:
    /// Reads `folder`/defaults.json. The folder is created (mode 0700) on the first write.
    explicit JsonDefaults(std::filesystem::path folder);

    [[nodiscard]] std::optional<DefaultsValue> value(const std::string& key) const override;
    /// Keeps the value in memory even when the file cannot be written.
    void set(const std::string& key, const DefaultsValue& value) override;
    void remove(const std::string& key) override;

    [[nodiscard]] const std::filesystem::path& filePath() const { return file_; }

private:
    void load();
    /// The file the path names, links followed: where saves and corrupt copies go.
    [[nodiscard]] std::filesystem::path target() const;
    void removeStaleTemporaryFiles() const;
    void moveCorruptFileAside() const;
    void save() const;

    std::filesystem::path folder_;
    std::filesystem::path file_;
    nlohmann::json document_ = nlohmann::json::object();
};

} // namespace vigilo
