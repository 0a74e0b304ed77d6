import QtQuick
import Vigilo

// Lays over a control and lights it while the pointer is over it. The pointer is the one the
// program publishes while the panel is open (the panel takes no hover events: it belongs to an
// application that is never active), in the coordinates of `space`, the panel's root. With
// `help` set, that text shows as a tooltip after the pointer rests on the control.
Item {
    id: highlight

    required property PanelBridge panel
    required property Item space
    property real cornerRadius: 10
    /// Opacity of the label colour over a hovered control; 0 for a tooltip only.
    property real strength: 0.09
    property string help: ""
    /// How strongly it lights the control at this moment, as it fades.
    readonly property alias shade: shade.opacity

    readonly property bool hovered: {
        const point = panel.pointer
        if (!enabled || point === undefined || space === null)
            return false
        return contains(mapFromItem(space, point.x, point.y))
    }

    objectName: "hoverHighlight"
    anchors.fill: parent

    Rectangle {
        id: shade
        anchors.fill: parent
        radius: highlight.cornerRadius
        color: Style.label
        opacity: highlight.hovered ? highlight.strength : 0
        Behavior on opacity { NumberAnimation { duration: 120; easing.type: Easing.OutQuad } }
    }

    HelpTip {
        text: highlight.help
        anchor: highlight
        space: highlight.space
        shown: highlight.hovered && highlight.help !== ""
    }
}
