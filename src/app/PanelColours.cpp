#include "app/PanelColours.h"

#include <QStringList>
#include <array>
#include <cmath>

namespace vigilo {

namespace {

// Below this luminance white text contrasts more than black.
constexpr double darkLuminance = 0.179;

bool runs(const QStringList& desktops, QStringView name) {
    return desktops.contains(name, Qt::CaseInsensitive);
}

/// A KDE colour entry "r,g,b"; nothing when it is not one.
std::optional<QColor> kdeColor(const std::optional<std::string>& entry) {
    if (!entry) {
        return std::nullopt;
    }
    const QStringList parts = QString::fromStdString(*entry).split(u',');
    if (parts.size() < 3) {
        return std::nullopt;
    }
    std::array<int, 3> channels{};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        bool ok = false;
        channels[i] = parts[static_cast<qsizetype>(i)].trimmed().toInt(&ok);
        if (!ok || channels[i] < 0 || channels[i] > 255) {
            return std::nullopt;
        }
    }
    return QColor(channels[0], channels[1], channels[2]);
}

std::optional<PanelShade> kdePanelShade(const DesktopFacts& facts) {
    if (facts.plasmaStyle) {
        const QString style = QString::fromStdString(*facts.plasmaStyle);
        if (style.contains(u"dark", Qt::CaseInsensitive)) {
            return PanelShade::Dark;
        }
        if (style.contains(u"light", Qt::CaseInsensitive)) {
            return PanelShade::Light;
        }
    }
    std::optional<QColor> background = kdeColor(facts.kdeHeaderBackground);
    if (!background) {
        background = kdeColor(facts.kdeWindowBackground);
    }
    if (!background) {
        return std::nullopt;
    }
    return relativeLuminance(*background) < darkLuminance ? PanelShade::Dark : PanelShade::Light;
}

} // namespace

PanelShade panelShade(const DesktopFacts& facts) {
    const QStringList desktops = QString::fromStdString(facts.currentDesktop).split(u':');
    // GNOME Classic and Flashback name GNOME too, but their panels follow the theme.
    if (runs(desktops, u"GNOME") && !runs(desktops, u"GNOME-Classic") &&
        !runs(desktops, u"GNOME-Flashback")) {
        return PanelShade::Dark;
    }
    if (runs(desktops, u"KDE")) {
        if (const auto shade = kdePanelShade(facts)) {
            return *shade;
        }
    }
    if (facts.colorScheme == 1U) {
        return PanelShade::Dark;
    }
    if (facts.colorScheme == 2U) {
        return PanelShade::Light;
    }
    return facts.paletteDark ? PanelShade::Dark : PanelShade::Light;
}

GlassIcon::Ink trayInk(PanelShade shade, bool filled) {
    const bool dark = shade == PanelShade::Dark;
    const QColor stroke = dark ? Qt::white : Qt::black;
    QColor rim = dark ? Qt::black : Qt::white;
    rim.setAlphaF(0.45f);
    return {.color = filled ? GlassIcon::activeColor(dark) : stroke, .rim = rim};
}

double relativeLuminance(const QColor& color) {
    const auto linear = [](float channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

} // namespace vigilo
