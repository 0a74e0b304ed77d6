import QtQuick
import Vigilo

// Makes the item it fills a button: a click, or Space or Enter while it holds the keyboard
// focus, emits `activated`. Tab reaches it unless it is disabled, a ring shows while it holds
// the focus, and screen readers see a button named `name` (AT-SPI's press action works too).
// Clicks give no focus, so the ring shows only for the keyboard. The ring is two-toned, dark ink
// inside a light edge, so it stands out from amber and plain controls alike and from light and
// dark surfaces.
Item {
    id: pressable

    property string name
    property string description
    /// The ring's rounding, that of the control's shape.
    property real cornerRadius: 10
    /// The accessible role; a switch sets `Accessible.CheckBox` and `checked`.
    property int role: Accessible.Button
    property bool checked: false

    signal activated()

    anchors.fill: parent
    activeFocusOnTab: enabled

    Accessible.role: role
    Accessible.name: name
    Accessible.description: description
    Accessible.focusable: true
    Accessible.checkable: role === Accessible.CheckBox
    Accessible.checked: checked
    Accessible.onPressAction: if (enabled) activated()
    Accessible.onToggleAction: if (enabled) activated()

    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Space || event.key === Qt.Key_Return
                || event.key === Qt.Key_Enter) {
            event.accepted = true
            pressable.activated()
        }
    }

    MouseArea {
        anchors.fill: parent
        enabled: pressable.enabled
        onClicked: pressable.activated()
    }

    Rectangle {
        objectName: "focusRing"
        anchors.fill: parent
        anchors.margins: -3
        radius: pressable.cornerRadius + 3
        color: "transparent"
        border.width: 1
        border.color: "white"
        visible: pressable.activeFocus

        Rectangle {
            anchors.fill: parent
            anchors.margins: 1
            radius: pressable.cornerRadius + 2
            color: "transparent"
            border.width: 2
            border.color: Style.amberInk
        }
    }
}
