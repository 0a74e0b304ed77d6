#include "platform/linux/desktop/XdgAutostart.h"

#include "BuildInfo.h"
#include "platform/linux/settings/IniFile.h"

#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace vigilo {

namespace fs = std::filesystem;

namespace {

/// One argument of an Exec key, written so that a reader gets `argument` back: quoted when it
/// holds a character the key reserves, with "%" doubled (field codes), and finally with the
/// escapes of any string value applied, which readers undo before they look at the quoting.
std::string execArgument(std::string_view argument) {
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quoted = argument.find_first_of(reserved) != std::string_view::npos;
    std::string unescaped;
    if (quoted) {
        unescaped += '"';
    }
    for (const char c : argument) {
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            unescaped += '\\';
        }
        unescaped += c;
        if (c == '%') {
            unescaped += '%';
        }
    }
    if (quoted) {
        unescaped += '"';
    }
    std::string value;
    for (const char c : unescaped) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
            break;
        }
    }
    return value;
}

std::string entryText(std::string_view executable) {
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Vigilo\n"
                       "Comment=Не даёт компьютеру засыпать\n"
                       "Exec=";
    // GLib-based sessions skip an entry whose program they cannot find, and look for it before
    // they turn "%%" back into "%". env is found anywhere and is handed the undone path.
    if (executable.find('%') != std::string_view::npos) {
        text += "env ";
    }
    text += execArgument(executable);
    text += "\n"
            "Icon=";
    text += BuildInfo::applicationId;
    text += "\n"
            "Terminal=false\n"
            "NoDisplay=true\n"
            "X-GNOME-Autostart-enabled=true\n";
    return text;
}

std::string failure(std::string_view what, const fs::path& path, const std::string& reason) {
    std::string text(what);
    text += ' ';
    text += path.string();
    text += ": ";
    text += reason;
    return text;
}

bool isSwitchedOn(const fs::path& entryPath) {
    std::error_code ignored;
    if (!fs::is_regular_file(entryPath, ignored)) {
        return false;
    }
    const auto entry = IniFile::read(entryPath);
    if (!entry) {
        return false;
    }
    const std::string group = "Desktop Entry";
    return entry->value(group, "Hidden") != "true" &&
           entry->value(group, "X-GNOME-Autostart-enabled") != "false";
}

std::optional<std::string> removeEntry(const fs::path& entryPath) {
    // unlink, unlike std::filesystem::remove, never takes an empty folder of that name with it.
    if (::unlink(entryPath.c_str()) != 0 && errno != ENOENT) {
        return failure("Не удалось удалить", entryPath, std::strerror(errno));
    }
    return std::nullopt;
}

} // namespace

XdgAutostart::XdgAutostart(fs::path folder, std::string executable)
    : folder_(std::move(folder))
    , entryPath_(folder_ / (std::string(BuildInfo::applicationId) + ".desktop"))
    , legacyEntryPath_(folder_ / "vigilo.desktop")
    , executable_(std::move(executable)) {}

bool XdgAutostart::isEnabled() const {
    return isSwitchedOn(entryPath_) || isSwitchedOn(legacyEntryPath_);
}

std::optional<std::string> XdgAutostart::enable() const {
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error) {
        return failure("Не удалось создать папку", folder_, error.message());
    }
    QSaveFile file(QString::fromStdString(entryPath_.string()));
    const std::string text = entryText(executable_);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        return failure("Не удалось записать", entryPath_, file.errorString().toStdString());
    }
    return removeEntry(legacyEntryPath_);
}

std::optional<std::string> XdgAutostart::disable() const {
    const auto failed = removeEntry(entryPath_);
    const auto legacyFailed = removeEntry(legacyEntryPath_);
    return failed ? failed : legacyFailed;
}

} // namespace vigilo
