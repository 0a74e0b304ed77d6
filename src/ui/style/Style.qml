pragma Singleton
import QtQuick

// The panel's colours. They follow the application palette as it is now: a dark window colour
// means the dark appearance, where amber text is lighter, and label colours are the palette's
// text at set opacities, so a switch of the desktop's theme recolours the open panel.
QtObject {
    readonly property SystemPalette palette: SystemPalette {}
    readonly property bool dark: 0.2126 * palette.window.r + 0.7152 * palette.window.g
                                 + 0.0722 * palette.window.b < 0.5

    readonly property color amber: Qt.rgba(0.937, 0.624, 0.153, 1)
    readonly property color amberInk: Qt.rgba(0.255, 0.141, 0.008, 1)
    readonly property color amberText: dark ? Qt.rgba(0.914, 0.635, 0.231, 1)
                                            : Qt.rgba(0.541, 0.325, 0, 1)

    readonly property color label: palette.windowText
    readonly property color secondaryLabel: faded(label, 0.6)
    readonly property color tertiaryLabel: faded(label, 0.38)
    readonly property color hairline: faded(label, 0.08)
    readonly property color footnote: faded(label, 0.55)
    /// The faint neutral fill of cards.
    readonly property color cardFill: faded(label, 0.045)
    /// An untinted control's surface.
    readonly property color controlFill: faded(label, 0.06)
    readonly property color error: dark ? Qt.rgba(1, 0.27, 0.23, 1) : Qt.rgba(0.85, 0.12, 0.1, 1)

    /// The panel's surface: the window colour, slightly see-through unless nothing composites
    /// the window.
    function surfaceFill(opaque) { return faded(palette.window, opaque ? 1 : 0.93) }
    readonly property color surfaceBorder: faded(label, 0.1)

    /// A font size with a fraction, such as 12.5, which `font.pixelSize` would round, given in
    /// points as `font.pointSize` takes them: Qt turns points into pixels at the primary screen's
    /// logical resolution.
    function points(pixels) { return pixels * 72 / dotsPerInch }
    readonly property real dotsPerInch: Qt.application.screens.length > 0
        ? Math.round(Qt.application.screens[0].logicalPixelDensity * 25.4) : 96

    function faded(colour, opacity) { return Qt.rgba(colour.r, colour.g, colour.b, opacity) }
    /// `from` blended towards `to` by `amount` (0…1).
    function mix(from, to, amount) {
        const t = Math.max(0, Math.min(1, amount))
        return Qt.rgba(from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
                       from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t)
    }
}
