import QtQuick
import QtQuick.Layouts
import Vigilo

// One watched application: its icon, name and state, a button that takes it off the list, and
// the switch that has it watched or not. An application that is not installed cannot be
// switched, only removed. Qt sizes text in whole pixels, so sizes of a half point are rounded
// down.
Item {
    id: row

    required property WatchedAppsBridge apps
    required property PanelBridge panel
    required property Item space
    /// One map of `WatchedAppsBridge.apps`.
    required property var app

    readonly property string status: !app.installed ? "не установлена"
                                     : app.running ? "запущен · держит кофе"
                                     : app.custom ? "своя программа"
                                     : "не запущен"

    implicitHeight: 36

    RowLayout {
        anchors.fill: parent
        spacing: 9

        Item {
            Layout.preferredWidth: 22
            Layout.preferredHeight: 22

            Image {
                id: icon
                objectName: "appIcon"
                anchors.fill: parent
                visible: icon.status === Image.Ready
                source: row.app.icon !== ""
                        ? "image://appicon/" + encodeURIComponent(row.app.icon) : ""
                sourceSize: Qt.size(44, 44)
                asynchronous: true
                smooth: true
                mipmap: true
            }
            // Not while the icon loads: it would flash before almost every icon.
            Symbol {
                anchors.fill: parent
                visible: icon.status === Image.Null || icon.status === Image.Error
                name: "app.dashed"
                color: Style.tertiaryLabel
            }
        }

        Column {
            Layout.fillWidth: true
            spacing: 1

            Text {
                width: parent.width
                text: row.app.name
                font.pixelSize: 12
                color: Style.label
                elide: Text.ElideRight
            }
            Text {
                width: parent.width
                text: row.status
                font.pixelSize: 10
                color: Style.footnote
                elide: Text.ElideRight
            }
        }

        Item {
            Layout.preferredWidth: 4
        }

        Item {
            objectName: "removeButton"
            Layout.preferredWidth: 26
            Layout.preferredHeight: 26

            Symbol {
                anchors.centerIn: parent
                width: 12
                height: 12
                name: "xmark.circle.fill"
                color: removeHover.hovered ? Style.secondaryLabel : Style.faded(Style.label, 0.28)
            }
            HoverHighlight {
                id: removeHover
                panel: row.panel
                space: row.space
                cornerRadius: 13
                strength: 0
                help: "Убрать из списка"
            }
            Pressable {
                name: "Убрать " + row.app.name + " из списка"
                cornerRadius: 13
                onActivated: row.apps.remove(row.app.id)
            }
        }

        CoffeeSwitch {
            objectName: "appSwitch"
            Layout.preferredWidth: 44
            Layout.preferredHeight: 20
            panel: row.panel
            space: row.space
            checked: row.app.enabled
            enabled: row.app.installed
            name: "Не спать, пока запущена программа " + row.app.name
            onSwitched: (on) => row.apps.setEnabled(row.app.id, on)
        }
    }
}
