#include "platform/linux/desktop/PortalDesktopAppearance.h"

#include "platform/linux/desktop/PortalSettings.h"
#include "platform/linux/settings/IniFile.h"
#include "util/Files.h"

#include <QDBusMessage>

namespace vigilo {

namespace {

const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
const QString kdeHeaderGroup = QStringLiteral("org.kde.kdeglobals.Colors:Header");
const QString kdeWindowGroup = QStringLiteral("org.kde.kdeglobals.Colors:Window");
const QString kdeBackgroundKey = QStringLiteral("BackgroundNormal");

// KDE's configuration files are a few kilobytes; anything far larger is not one.
constexpr std::size_t kdeFileLimit = 256U << 10U;

std::optional<IniFile> readKdeFile(const std::filesystem::path& path) {
    const auto text = readWholeFile(path, kdeFileLimit);
    return text ? std::optional(IniFile::parse(*text)) : std::nullopt;
}

std::optional<std::uint32_t> colorScheme(const QVariant& value) {
    bool ok = false;
    const std::uint32_t scheme = value.toUInt(&ok);
    return ok ? std::optional(scheme) : std::nullopt;
}

} // namespace

PortalDesktopAppearance::PortalDesktopAppearance(const QDBusConnection& sessionBus,
                                                 std::string currentDesktop,
                                                 const std::filesystem::path& configHome,
                                                 QObject* parent)
    : DesktopAppearance(parent) {
    facts_.currentDesktop = std::move(currentDesktop);
    if (QString::fromStdString(facts_.currentDesktop)
            .split(u':')
            .contains(u"KDE", Qt::CaseInsensitive)) {
        readKdeConfiguration(configHome);
    }
    if (!sessionBus.isConnected()) {
        return;
    }
    QDBusConnection bus = sessionBus;
    bus.connect(PortalSettings::service, PortalSettings::path, PortalSettings::interface,
                QStringLiteral("SettingChanged"), this, SLOT(takeSettingChange(QDBusMessage)));
    PortalSettings::read(bus, this, appearanceGroup, colorSchemeKey,
                         [this](const QVariant& value) { takeColorScheme(value); });
}

void PortalDesktopAppearance::readKdeConfiguration(const std::filesystem::path& configHome) {
    if (const auto plasma = readKdeFile(configHome / "plasmarc")) {
        facts_.plasmaStyle = plasma->value("Theme", "name");
    }
    if (const auto globals = readKdeFile(configHome / "kdeglobals")) {
        facts_.kdeHeaderBackground = globals->value("Colors:Header", "BackgroundNormal");
        facts_.kdeWindowBackground = globals->value("Colors:Window", "BackgroundNormal");
    }
}

void PortalDesktopAppearance::takeColorScheme(const QVariant& value) {
    // A late answer must not undo a change signal that came first.
    if (facts_.colorScheme) {
        return;
    }
    facts_.colorScheme = colorScheme(value);
    if (facts_.colorScheme) {
        Q_EMIT changed();
    }
}

void PortalDesktopAppearance::takeSettingChange(const QDBusMessage& signal) {
    const auto change = PortalSettings::change(signal);
    if (!change) {
        return;
    }
    const auto& [group, key, value] = *change;
    const DesktopFacts before = facts_;
    if (group == appearanceGroup && key == colorSchemeKey) {
        facts_.colorScheme = colorScheme(value);
    } else if (group == kdeHeaderGroup && key == kdeBackgroundKey) {
        facts_.kdeHeaderBackground = value.toString().toStdString();
    } else if (group == kdeWindowGroup && key == kdeBackgroundKey) {
        facts_.kdeWindowBackground = value.toString().toStdString();
    }
    if (facts_ != before) {
        Q_EMIT changed();
    }
}

} // namespace vigilo
