#include "platform/linux/settings/JsonDefaults.h"

#include "platform/posix/UniqueFd.h"
#include "util/Base64.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vigilo {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr const char* fileName = "defaults.json";
/// Containers inside containers, the outer object counting as one.
constexpr int maxNesting = 64;
/// Links followed in a row before the path counts as a loop, as the kernel counts them.
constexpr int maxLinks = 40;

struct UtcParts {
    std::chrono::year_month_day date;
    std::chrono::hh_mm_ss<std::chrono::milliseconds> time;
};

UtcParts utcParts(TimePoint moment) {
    using namespace std::chrono;
    const auto milliseconds = floor<std::chrono::milliseconds>(moment);
    const auto day = floor<days>(milliseconds);
    return {year_month_day(day), hh_mm_ss(milliseconds - day)};
}

/// "2026-03-01T10:00:00.000Z"
std::string isoUtc(TimePoint moment) {
    const auto [date, time] = utcParts(moment);
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()),
                  int(time.subseconds().count()));
    return text.data();
}

/// "20260301T100000Z", for file names.
std::string compactUtc(TimePoint moment) {
    const auto [date, time] = utcParts(moment);
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%04d%02u%02uT%02d%02d%02dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()));
    return text.data();
}

std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

/// Reads what `isoUtc` writes; the fraction may have 1 to 9 digits or be left out.
std::optional<TimePoint> parseIsoUtc(std::string_view text) {
    using namespace std::chrono;
    const auto year = digitsAt(text, 0, 4);
    const auto month = digitsAt(text, 5, 2);
    const auto day = digitsAt(text, 8, 2);
    const auto hour = digitsAt(text, 11, 2);
    const auto minute = digitsAt(text, 14, 2);
    const auto second = digitsAt(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || text.size() < 20 ||
        text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
        *hour > 23 || *minute > 59 || *second > 59 || text.back() != 'Z') {
        return std::nullopt;
    }
    const year_month_day date{std::chrono::year(*year), std::chrono::month(unsigned(*month)),
                              std::chrono::day(unsigned(*day))};
    if (!date.ok()) {
        return std::nullopt;
    }
    nanoseconds fraction{0};
    const std::string_view rest = text.substr(19, text.size() - 20);
    if (!rest.empty()) {
        if (rest.size() < 2 || rest.size() > 10 || rest[0] != '.') {
            return std::nullopt;
        }
        const auto value = digitsAt(rest, 1, rest.size() - 1);
        if (!value) {
            return std::nullopt;
        }
        std::int64_t scaled = *value;
        for (std::size_t i = rest.size() - 1; i < 9; ++i) {
            scaled *= 10;
        }
        fraction = nanoseconds(scaled);
    }
    const sys_seconds whole = sys_days(date) + hours(*hour) + minutes(*minute) + seconds(*second);
    // The clock counts nanoseconds in 64 bits (1677 to 2262): a date outside would wrap around.
    // Its first and last partial seconds are left out, which keeps the check in whole seconds.
    if (whole < ceil<seconds>(TimePoint::min()) || whole >= floor<seconds>(TimePoint::max())) {
        return std::nullopt;
    }
    return time_point_cast<TimePoint::duration>(whole) +
           duration_cast<TimePoint::duration>(fraction);
}

json encode(const DefaultsValue& value) {
    return std::visit(
        [](const auto& alternative) -> json {
            using T = std::decay_t<decltype(alternative)>;
            if constexpr (std::is_same_v<T, Bytes>) {
                return {{"data", Base64::encode(alternative)}};
            } else if constexpr (std::is_same_v<T, TimePoint>) {
                return {{"date", isoUtc(alternative)}};
            } else {
                return json(alternative);
            }
        },
        value);
}

std::optional<DefaultsValue> decodeObject(const json& object) {
    if (object.size() != 1 || !object.begin().value().is_string()) {
        return std::nullopt;
    }
    const auto& text = object.begin().value().get_ref<const std::string&>();
    if (object.begin().key() == "data") {
        if (auto bytes = Base64::decode(text)) {
            return DefaultsValue(std::move(*bytes));
        }
    } else if (object.begin().key() == "date") {
        if (const auto moment = parseIsoUtc(text)) {
            return DefaultsValue(*moment);
        }
    }
    return std::nullopt;
}

std::optional<DefaultsValue> decode(const json& stored) {
    switch (stored.type()) {
    case json::value_t::boolean:
        return stored.get<bool>();
    case json::value_t::number_integer:
        return stored.get<std::int64_t>();
    case json::value_t::number_unsigned: {
        const auto number = stored.get<std::uint64_t>();
        if (number > std::uint64_t(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(number);
    }
    case json::value_t::number_float:
        return stored.get<double>();
    case json::value_t::string:
        return stored.get<std::string>();
    case json::value_t::array: {
        StringList list;
        for (const json& item : stored) {
            if (!item.is_string()) {
                return std::nullopt;
            }
            list.push_back(item.get<std::string>());
        }
        return list;
    }
    case json::value_t::object:
        return decodeObject(stored);
    default:
        return std::nullopt;
    }
}

/// The document, or null when the text is not JSON or nests deeper than `maxNesting`: the
/// serialiser recurses once per level, so a deep document would take every save down with it.
json parseDocument(const std::string& text) {
    bool tooDeep = false;
    const json::parser_callback_t limitNesting = [&tooDeep](int depth, json::parse_event_t event,
                                                            const json&) {
        const bool opens =
            event == json::parse_event_t::object_start || event == json::parse_event_t::array_start;
        if (opens && depth >= maxNesting) {
            tooDeep = true;
            return false; // drops the container and whatever it holds
        }
        return true;
    };
    json parsed = json::parse(text, limitNesting, false);
    return tooDeep ? json() : parsed;
}

/// One member per line, each written compactly: indentation that followed the nesting would
/// grow with the square of the depth.
std::string serialise(const json& document) {
    const auto compact = [](const json& value) {
        return value.dump(-1, ' ', false, json::error_handler_t::replace);
    };
    std::string text = "{";
    const char* separator = "\n  ";
    for (const auto& [key, value] : document.items()) {
        text += separator + compact(key) + ": " + compact(value);
        separator = ",\n  ";
    }
    return text + (document.empty() ? "}\n" : "\n}\n");
}

/// Reads to the end; nothing when reading fails.
std::optional<std::string> readAll(int fd) {
    std::string text;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count == 0) {
            return text;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        text.append(buffer.data(), static_cast<std::size_t>(count));
    }
}

/// ".defaults.json.": what the name of a save's temporary file starts with, the rest being six
/// random letters from `mkostemp`.
std::string temporaryPrefix(const fs::path& target) {
    // Appended: `"." + name` draws a false -Wrestrict from GCC 12 in optimised builds.
    std::string prefix = ".";
    prefix.append(target.filename().string()).append(".");
    return prefix;
}

bool isTemporaryFileOf(const fs::path& target, const std::string& name) {
    const std::string prefix = temporaryPrefix(target);
    const auto isRandomLetter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    return name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
           std::all_of(name.begin() + std::ssize(prefix), name.end(), isRandomLetter);
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void warn(const fs::path& path, const std::string& what) {
    std::cerr << "vigilo: settings file " << path << ": " << what << '\n';
}

} // namespace

JsonDefaults::JsonDefaults(fs::path folder)
    : folder_(std::move(folder))
    , file_(folder_ / fileName) {
    load();
}

std::optional<DefaultsValue> JsonDefaults::value(const std::string& key) const {
    const auto found = document_.find(key);
    return found == document_.end() ? std::nullopt : decode(*found);
}

void JsonDefaults::set(const std::string& key, const DefaultsValue& value) {
    document_[key] = encode(value);
    save();
}

void JsonDefaults::remove(const std::string& key) {
    if (document_.erase(key) > 0) {
        save();
    }
}

void JsonDefaults::load() {
    removeStaleTemporaryFiles();
    // Without blocking: opening a FIFO for reading would wait for a writer for ever.
    const UniqueFd file(::open(file_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.isValid() && (errno == ENOENT || errno == ENOTDIR)) {
        return;
    }
    struct stat info {};
    const bool known =
        file.isValid() ? ::fstat(file.get(), &info) == 0 : ::stat(file_.c_str(), &info) == 0;
    if (known && !S_ISREG(info.st_mode)) {
        warn(file_, "not a regular file, left as it is; settings start from their defaults and "
                    "are kept in memory only");
        return;
    }
    const auto text = file.isValid() ? readAll(file.get()) : std::nullopt;
    json parsed = text ? parseDocument(*text) : json();
    if (!parsed.is_object()) {
        moveCorruptFileAside();
        return;
    }
    document_ = std::move(parsed);
}

fs::path JsonDefaults::target() const {
    // Followed by hand: a link whose target is missing (moved aside, say) still leads there.
    fs::path path = file_;
    std::error_code error;
    for (int links = 0; fs::is_symlink(fs::symlink_status(path, error)); ++links) {
        const fs::path next = fs::read_symlink(path, error);
        if (error || links == maxLinks) {
            return file_;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

void JsonDefaults::removeStaleTemporaryFiles() const {
    const fs::path file = target();
    std::error_code error;
    for (fs::directory_iterator entry(file.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path& path = entry->path();
        if (!isTemporaryFileOf(file, path.filename().string())) {
            continue;
        }
        // A save holds its file locked until the file is in place; a killed one holds nothing.
        const UniqueFd temporary(
            ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (temporary.isValid() && ::flock(temporary.get(), LOCK_EX | LOCK_NB) == 0) {
            ::unlink(path.c_str());
        }
    }
}

void JsonDefaults::moveCorruptFileAside() const {
    const fs::path file = target();
    const std::string base =
        fs::path(file).concat(".corrupt-" + compactUtc(TimePoint::clock::now()));
    std::string aside = base;
    std::error_code error;
    for (int attempt = 2; fs::exists(fs::symlink_status(aside, error)); ++attempt) {
        aside = base + '-' + std::to_string(attempt);
    }
    fs::rename(file, aside, error);
    if (error) {
        warn(file, "unreadable, and it cannot be moved aside: " + error.message());
    } else {
        warn(file, "unreadable; moved to " + aside);
    }
}

void JsonDefaults::save() const {
    std::error_code error;
    if (fs::create_directories(folder_, error)) {
        fs::permissions(folder_, fs::perms::owner_all, error);
    }
    if (error) {
        warn(folder_, "cannot create the folder: " + error.message());
        return;
    }
    // Through a link to its target, and in the target's folder, so that the rename is atomic.
    const fs::path file = target();
    struct stat existing {};
    const bool exists = ::stat(file.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        warn(file, "not a regular file; the change is kept in memory only");
        return;
    }
    std::string temporary = (file.parent_path() / temporaryPrefix(file)).string() + "XXXXXX";
    UniqueFd temporaryFile(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!temporaryFile.isValid()) {
        warn(file.parent_path(), std::string("cannot create a file: ") + std::strerror(errno));
        return;
    }
    // Held until the file is renamed: the clean-up at start leaves a save in progress alone.
    ::flock(temporaryFile.get(), LOCK_EX);
    const bool written = writeAll(temporaryFile.get(), serialise(document_)) &&
                         (!exists || ::fchmod(temporaryFile.get(), existing.st_mode & 0777) == 0) &&
                         ::fsync(temporaryFile.get()) == 0;
    const int savedErrno = errno;
    if (!written || ::rename(temporary.c_str(), file.c_str()) != 0) {
        warn(file, std::string("cannot write: ") + std::strerror(written ? errno : savedErrno));
        ::unlink(temporary.c_str());
        return;
    }
    temporaryFile.reset();
    // The rename itself reaches the disk only with the folder's entry.
    const UniqueFd directory(
        ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.isValid()) {
        ::fsync(directory.get());
    }
}

} // namespace vigilo
