#include "platform/linux/JsonDefaults.h"

#include "platform/linux/Base64.h"
#include "platform/linux/UniqueFd.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <limits>
#include <sstream>
#include <unistd.h>

namespace vigilo {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr const char* fileName = "defaults.json";

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
    const auto moment =
        sys_days(date) + hours(*hour) + minutes(*minute) + seconds(*second) + fraction;
    return time_point_cast<TimePoint::duration>(moment);
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
    std::error_code error;
    if (!fs::exists(fs::symlink_status(file_, error))) {
        return;
    }
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    json parsed = in.good() || in.eof() ? json::parse(text.str(), nullptr, false) : json();
    if (!parsed.is_object()) {
        moveCorruptFileAside();
        return;
    }
    document_ = std::move(parsed);
}

void JsonDefaults::moveCorruptFileAside() const {
    const std::string base =
        fs::path(file_).concat(".corrupt-" + compactUtc(TimePoint::clock::now()));
    std::string target = base;
    std::error_code error;
    for (int attempt = 2; fs::exists(fs::symlink_status(target, error)); ++attempt) {
        target = base + '-' + std::to_string(attempt);
    }
    fs::rename(file_, target, error);
    if (error) {
        warn(file_, "unreadable, and it cannot be moved aside: " + error.message());
    } else {
        warn(file_, "unreadable; moved to " + target);
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
    const std::string text = document_.dump(2, ' ', false, json::error_handler_t::replace) + '\n';
    std::string temporary = (folder_ / ".defaults.json.XXXXXX").string();
    UniqueFd file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.isValid()) {
        warn(folder_, std::string("cannot create a file: ") + std::strerror(errno));
        return;
    }
    const bool written = writeAll(file.get(), text) && ::fsync(file.get()) == 0;
    const int savedErrno = errno;
    file.reset();
    if (!written || ::rename(temporary.c_str(), file_.c_str()) != 0) {
        warn(file_, std::string("cannot write: ") + std::strerror(written ? errno : savedErrno));
        ::unlink(temporary.c_str());
        return;
    }
    // The rename itself reaches the disk only with the folder's entry.
    const UniqueFd directory(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.isValid()) {
        ::fsync(directory.get());
    }
}

} // namespace vigilo
