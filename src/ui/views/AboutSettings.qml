import QtQuick
import Vigilo

// The settings' about tab: what the program is and which version runs, its updates, a way to
// buy the author a coffee, and the closed-lid permission with a way to revoke it. Qt sizes text
// in whole pixels, so sizes of a half point are rounded down.
Column {
    id: about

    required property LidBridge lid
    required property PanelBridge panel
    /// The panel's root, for the hover highlights.
    required property Item space
    /// Nothing in a program that does not update itself: then it says nothing about updates.
    property UpdatesBridge updates: null

    /// The version the program was built as, the one the updater shows too.
    readonly property string version: Qt.application.version !== "" ? Qt.application.version
                                                                     : "?"
    readonly property color systemGreen: Qt.rgba(0.2, 0.74, 0.33, 1)

    spacing: 8

    Card {
        objectName: "identityCard"
        width: parent.width
        height: identity.height + 20
        cornerRadius: 14

        Row {
            id: identity
            x: 10
            y: 10
            spacing: 12

            AppIconItem {
                anchors.verticalCenter: parent.verticalCenter
                width: 44
                height: 44
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 1

                Text {
                    text: "Vigilo"
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                    color: Style.label
                }
                Text {
                    text: "Версия " + about.version
                    font.pixelSize: 11
                    color: Style.secondaryLabel
                }
                Row {
                    visible: about.updates !== null
                    spacing: 5

                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 6
                        height: 6
                        radius: 3
                        color: about.systemGreen
                    }
                    Text {
                        text: "Обновляется автоматически"
                        font.pixelSize: 10
                        color: Style.footnote
                    }
                }
            }
        }
    }

    Loader {
        width: parent.width
        active: about.updates !== null
        visible: active
        sourceComponent: UpdateStatus {
            updates: about.updates
            panel: about.panel
            space: about.space
        }
    }

    Card {
        objectName: "donationButton"
        width: parent.width
        height: 32
        cornerRadius: 14

        Row {
            anchors.centerIn: parent
            spacing: 6

            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                height: 14
                name: "cup.and.saucer.fill"
                color: Style.amberText
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "Купить автору кофе"
                font.pixelSize: 12
                font.weight: Font.Medium
                color: Style.amberText
            }
        }
        HoverHighlight {
            panel: about.panel
            space: about.space
            cornerRadius: 14
            strength: 0.09
        }
        Pressable {
            name: "Купить автору кофе"
            cornerRadius: 14
            onActivated: about.panel.openDonationPage()
        }
    }

    Loader {
        width: parent.width
        sourceComponent: about.lid.helperInstalled ? lidAccessGranted : lidAccessClosed
    }

    component LidAccessLine: Row {
        property alias symbol: lineSymbol.name
        property alias text: lineText.text
        property color color

        spacing: 7

        Symbol {
            id: lineSymbol
            anchors.verticalCenter: parent.verticalCenter
            width: 14
            height: 14
            color: parent.color
        }
        Text {
            id: lineText
            anchors.verticalCenter: parent.verticalCenter
            font.pixelSize: 12
            color: parent.color
            Accessible.ignored: true
        }
    }

    Component {
        id: lidAccessGranted
        Rectangle {
            objectName: "lidAccessButton"
            height: 32
            radius: 12
            color: Style.faded(Style.amber, 0.13)
            border.width: 0.5
            border.color: Style.faded(Style.amber, 0.3)

            LidAccessLine {
                anchors.centerIn: parent
                symbol: "checkmark.shield.fill"
                text: "Доступ к крышке разрешён"
                color: Style.amberText
            }
            HoverHighlight {
                panel: about.panel
                space: about.space
                cornerRadius: 12
                strength: 0.09
                help: "Отозвать доступ к режиму закрытой крышки"
            }
            Pressable {
                name: "Доступ к крышке разрешён. Нажмите, чтобы отозвать"
                cornerRadius: 12
                onActivated: about.lid.confirmRemoveLidHelper()
            }
        }
    }

    // Only a status: there is nothing to revoke, and granting starts from the lid setting.
    Component {
        id: lidAccessClosed
        Card {
            objectName: "lidAccessStatus"
            height: 32
            cornerRadius: 12
            Accessible.role: Accessible.StaticText
            Accessible.name: "Доступ к крышке закрыт"

            LidAccessLine {
                anchors.centerIn: parent
                symbol: "shield.slash"
                text: "Доступ к крышке закрыт"
                color: Style.faded(Style.label, 0.34)
            }
        }
    }
}
