import QtQuick
import Vigilo

// The small amber dot on a button or tab that says an update exists. Its glow is a few faint
// rings, as Qt Quick here has no blur.
Item {
    id: dot

    /// The diameter.
    property real size: 7

    Accessible.ignored: true
    width: size
    height: size

    Repeater {
        model: [{spread: 3, opacity: 0.12}, {spread: 2, opacity: 0.16}, {spread: 1, opacity: 0.2}]
        Rectangle {
            required property var modelData
            anchors.centerIn: parent
            width: dot.size + 2 * modelData.spread
            height: width
            radius: width / 2
            color: Style.faded(Style.amber, modelData.opacity)
        }
    }
    Rectangle {
        anchors.fill: parent
        radius: width / 2
        color: Style.amber
        border.width: 0.5
        border.color: Qt.rgba(0, 0, 0, 0.22)
    }
}
