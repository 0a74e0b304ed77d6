import QtQuick
import Vigilo

// A thin capsule bar of a progress 0…1. A started bar is never thinner than 4 points, so even
// the first bytes show; without a fraction only the track shows.
Item {
    id: bar

    /// 0…1, or undefined while unknown. Below 0 or not a number counts as 0, above 1 as 1.
    property var fraction: undefined

    readonly property bool isKnown: fraction !== undefined && fraction !== null
    readonly property real clamped: {
        const value = Number(fraction)
        return isNaN(value) || value < 0 ? 0 : Math.min(value, 1)
    }

    implicitHeight: 5

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: Style.faded(Style.label, 0.1)
    }
    Rectangle {
        objectName: "progressSegment"
        visible: bar.isKnown
        width: Math.max(bar.width * bar.clamped, 4)
        height: parent.height
        radius: height / 2
        color: Style.amber
    }
}
