import QtQuick
import Vigilo

// A capsule button with a short title: tinted for the answer the panel suggests (dark ink on
// the tint), plain otherwise. The whole capsule takes the click.
GlassControl {
    id: button

    property string title
    signal clicked()

    implicitWidth: label.implicitWidth + 28
    implicitHeight: label.implicitHeight + 12

    Text {
        id: label
        anchors.centerIn: parent
        text: button.title
        font.pixelSize: 12
        font.weight: button.tint !== undefined ? Font.DemiBold : Font.Normal
        color: button.tint !== undefined ? Style.amberInk : Style.secondaryLabel
    }

    Pressable {
        name: button.title
        cornerRadius: button.radius
        onActivated: button.clicked()
    }
}
