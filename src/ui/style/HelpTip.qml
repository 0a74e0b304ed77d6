import QtQuick
import Vigilo

// A tooltip under `anchor`, shown after `shown` has held for a moment. It lives on `space`,
// above everything else of the panel, and stays inside the visible panel.
Rectangle {
    id: tip

    required property string text
    required property Item anchor
    required property Item space
    required property bool shown
    /// What stays clear around the visible panel: the window's transparent margin.
    property real inset: 40

    parent: space
    z: 1000
    visible: opacity > 0
    opacity: shown && delay.done ? 1 : 0
    Behavior on opacity { NumberAnimation { duration: 100 } }

    width: label.implicitWidth + 12
    height: label.implicitHeight + 6
    radius: 5
    color: Style.palette.base
    border.width: 0.5
    border.color: Style.surfaceBorder

    // Placed as it appears: the panel does not move under a resting pointer.
    x: {
        void [delay.done, width]
        const below = anchor.mapToItem(space, anchor.width / 2, anchor.height)
        return Math.max(inset + 4, Math.min(space.width - inset - 4 - width, below.x - width / 2))
    }
    y: {
        void [delay.done, height]
        const below = anchor.mapToItem(space, 0, anchor.height + 4)
        const above = anchor.mapToItem(space, 0, -4 - height)
        return below.y + height <= space.height - inset ? below.y : above.y
    }

    Text {
        id: label
        anchors.centerIn: parent
        text: tip.text
        color: Style.palette.text
        font.pixelSize: 11
    }

    Timer {
        id: delay
        property bool done: false
        interval: 700
        running: tip.shown && !done
        onTriggered: done = true
    }
    onShownChanged: if (!shown) delay.done = false
}
