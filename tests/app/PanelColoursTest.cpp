#include "app/PanelColours.h"

#include "app/TrayGlass.h"

#include <QPainter>
#include <algorithm>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

TEST(PanelColours, TheMostSpecificFactDecidesTheShade) {
    using enum PanelShade;
    const struct {
        const char* what;
        DesktopFacts facts;
        PanelShade shade;
    } cases[] = {
        {"GNOME's top bar is dark under a light theme",
         {.currentDesktop = "ubuntu:GNOME", .colorScheme = 2},
         Dark},
        {"GNOME Classic's panel follows the theme",
         {.currentDesktop = "GNOME-Classic:GNOME", .colorScheme = 2},
         Light},
        {"a dark Plasma style",
         {.currentDesktop = "KDE",
          .plasmaStyle = "breeze-dark",
          .kdeHeaderBackground = "239,240,241"},
         Dark},
        {"a light Plasma style",
         {.currentDesktop = "KDE", .plasmaStyle = "Breeze-Light", .colorScheme = 1},
         Light},
        {"Plasma's default style follows the header colour",
         {.currentDesktop = "KDE",
          .plasmaStyle = "default",
          .kdeHeaderBackground = "41,44,48",
          .kdeWindowBackground = "239,240,241"},
         Dark},
        {"without a header colour, the window colour",
         {.currentDesktop = "KDE", .kdeWindowBackground = "239,240,241", .paletteDark = true},
         Light},
        {"KDE facts elsewhere count for nothing",
         {.currentDesktop = "XFCE", .kdeHeaderBackground = "20,20,20", .colorScheme = 2},
         Light},
        {"an unreadable KDE colour falls back to the portal",
         {.currentDesktop = "KDE", .kdeHeaderBackground = "dark", .colorScheme = 1},
         Dark},
        {"the portal prefers dark", {.currentDesktop = "XFCE", .colorScheme = 1}, Dark},
        {"the portal prefers light", {.colorScheme = 2, .paletteDark = true}, Light},
        {"no preference: the palette", {.colorScheme = 0, .paletteDark = true}, Dark},
        {"nothing known: light", {}, Light},
    };
    for (const auto& [what, facts, shade] : cases) {
        EXPECT_EQ(panelShade(facts), shade) << what;
    }
}

double contrast(const QColor& a, const QColor& b) {
    const auto [darker, lighter] = std::minmax({relativeLuminance(a), relativeLuminance(b)});
    return (lighter + 0.05) / (darker + 0.05);
}

/// The contrast to `panel` of every pixel of the 22-pixel glass shown on it, for the pixels
/// the glass covers at least `coverage`.
std::vector<double> contrasts(bool filled, PanelShade shade, const QColor& panel, double coverage) {
    const QImage glass = TrayGlass::draw(filled, trayInk(shade, filled))
                             .pixmap(22)
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    QImage shown(glass.size(), QImage::Format_ARGB32);
    shown.fill(panel);
    QPainter(&shown).drawImage(0, 0, glass);
    std::vector<double> found;
    for (int y = 0; y < glass.height(); ++y) {
        for (int x = 0; x < glass.width(); ++x) {
            if (glass.pixelColor(x, y).alphaF() >= coverage) {
                found.push_back(contrast(shown.pixelColor(x, y), panel));
            }
        }
    }
    return found;
}

const QColor lightPanel(0xf0, 0xf0, 0xf0);
const QColor darkPanel(0x1d, 0x1d, 0x1d);

TEST(PanelColours, TheGlassStandsOutAtLeast3To1OnTheChosenPanel) {
    for (const QColor& panel : {lightPanel, darkPanel}) {
        const PanelShade shade = panelShade({.currentDesktop = "KDE",
                                             .kdeHeaderBackground = QStringLiteral("%1,%2,%3")
                                                                        .arg(panel.red())
                                                                        .arg(panel.green())
                                                                        .arg(panel.blue())
                                                                        .toStdString()});
        for (const bool filled : {false, true}) {
            std::vector<double> solid = contrasts(filled, shade, panel, 0.9);
            ASSERT_GE(solid.size(), 10U);
            std::nth_element(solid.begin(), solid.begin() + solid.size() / 2, solid.end());
            EXPECT_GE(solid[solid.size() / 2], 3.0)
                << panel.name().toStdString() << (filled ? " filled" : " empty");
        }
    }
}

TEST(PanelColours, AWrongGuessStillShowsTheGlass) {
    for (const auto& [panel, wrong] :
         {std::pair{lightPanel, PanelShade::Dark}, std::pair{darkPanel, PanelShade::Light}}) {
        for (const bool filled : {false, true}) {
            const std::vector<double> all = contrasts(filled, wrong, panel, 0.01);
            EXPECT_GE(*std::max_element(all.begin(), all.end()), 2.0)
                << panel.name().toStdString() << (filled ? " filled" : " empty");
        }
    }
}

} // namespace
} // namespace vigilo
