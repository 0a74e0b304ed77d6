import QtQuick
import QtQuick.Layouts
import Vigilo

// Asks once for the closed-lid mode's permission, saying what it costs and allows on this
// platform, with the two answers at its right edge.
Card {
    id: card

    required property LidBridge lid

    cornerRadius: 18
    implicitHeight: column.implicitHeight + 24

    Column {
        id: column
        x: 12
        y: 12
        width: parent.width - 24
        spacing: 12

        Row {
            width: parent.width
            spacing: 10

            Rectangle {
                width: 30
                height: 30
                radius: 15
                color: Style.faded(Style.amber, 0.2)

                Symbol {
                    anchors.centerIn: parent
                    width: 14
                    height: 14
                    name: "lock.fill"
                    color: Style.amberText
                }
            }
            Column {
                width: parent.width - 40
                spacing: 3

                Text {
                    width: parent.width
                    text: "Доступ к режиму крышки"
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    color: Style.label
                    wrapMode: Text.Wrap
                }
                Text {
                    objectName: "lidConsentExplanation"
                    width: parent.width
                    text: card.lid.consentExplanation
                    font.pixelSize: 12
                    color: Style.secondaryLabel
                    wrapMode: Text.Wrap
                }
            }
        }
        RowLayout {
            width: parent.width
            spacing: 8

            Item {
                Layout.fillWidth: true
            }
            PillButton {
                title: "Не сейчас"
                onClicked: card.lid.declineLidPermission()
            }
            PillButton {
                title: "Разрешить"
                tint: Style.amber
                onClicked: card.lid.grantLidPermission()
            }
        }
    }
}
