import QtQuick
import Vigilo

// The surface of a small control, a capsule or a circle (both fully rounded): filled with its
// tint, or faintly with the label colour when it has none.
Rectangle {
    /// A colour, or undefined for none.
    property var tint: undefined

    radius: Math.min(width, height) / 2
    color: tint !== undefined ? tint : Style.controlFill
}
