import QtQuick
import Vigilo

// The panel's on/off switch: a capsule, amber when on, with a white knob that springs across
// on a click. When the published pointer comes onto it (or within 4 points of it) the knob
// leans a little towards the other side and back. The caller owns the value: it sets `checked`
// and writes the value `switched` hands it to wherever it lives. Disabled, it is faded and
// takes neither clicks nor the keyboard focus.
Item {
    id: control

    required property PanelBridge panel
    /// The panel's root, the frame of the published pointer.
    required property Item space
    property bool checked: false
    /// The accessible name: what the switch turns on.
    property string name
    /// No nudge on hover; the switch still springs on a click.
    property bool reduceMotion: panel.reducesMotion

    property real knob: 16
    property real inset: 2
    readonly property real travel: width - knob - 2 * inset
    /// Where the knob rests, from the left edge.
    readonly property real knobX: inset + travel * onMotion.value
    /// The hover nudge's offset of the knob, 0 at rest.
    property real nudge: 0
    readonly property bool hovered: {
        const point = panel.pointer
        if (!enabled || reduceMotion || point === undefined || space === null)
            return false
        const local = mapFromItem(space, point.x, point.y)
        return local.x >= -4 && local.x <= width + 4 && local.y >= -4 && local.y <= height + 4
    }
    readonly property bool moving: onMotion.moving || nudging.running

    signal switched(bool on)

    implicitWidth: 44
    implicitHeight: 20
    opacity: enabled ? 1 : 0.45

    onHoveredChanged: if (hovered) nudging.restart()

    SpringValue {
        id: onMotion
        target: control.checked ? 1 : 0
        response: 0.22
        dampingFraction: 0.8
    }

    Rectangle {
        objectName: "track"
        anchors.fill: parent
        radius: height / 2
        color: Style.mix(Style.faded(Style.label, 0.16), Style.amber, onMotion.value)
    }

    // The knob's shadow: black at 0.22, softened by a wider, fainter ring under it.
    Rectangle {
        x: control.knobX + control.nudge - 0.5
        y: (control.height - height) / 2 + 0.5
        width: control.knob + 1
        height: width
        radius: width / 2
        color: Style.faded("black", 0.11)
    }
    Rectangle {
        objectName: "knob"
        x: control.knobX + control.nudge
        y: (control.height - height) / 2
        width: control.knob
        height: width
        radius: width / 2
        color: "white"
        border.width: 0.5
        border.color: Style.faded("black", 0.11)
    }

    // 0.26 s: towards the other side by a tenth of the travel, back past rest by 0.3 of that,
    // then to rest.
    SequentialAnimation {
        id: nudging
        readonly property real lean: (control.checked ? -1 : 1) * control.travel * 0.1
        NumberAnimation {
            target: control; property: "nudge"; from: 0; to: nudging.lean
            duration: 70; easing.type: Easing.InOutCubic
        }
        NumberAnimation {
            target: control; property: "nudge"; to: -0.3 * nudging.lean
            duration: 90; easing.type: Easing.InOutCubic
        }
        NumberAnimation {
            target: control; property: "nudge"; to: 0
            duration: 100; easing.type: Easing.InOutCubic
        }
    }

    Pressable {
        name: control.name
        description: control.checked ? "включено" : "выключено"
        role: Accessible.CheckBox
        checked: control.checked
        cornerRadius: control.height / 2
        onActivated: control.switched(!control.checked)
    }
}
