import QtQuick
import QtQuick.Layouts
import Vigilo

// One watched application: its icon, name and state, a button that takes it off the list, and
// the switch that has it watched or not. An application that is not installed cannot be
// switched, only removed; one installed only as a command-line program has its command named
// beside its name. When the application starts or quits, the state line springs over to the new
// text (at once where the desktop asks for less motion). Qt sizes text in whole pixels, so sizes
// of a half point are rounded down.
Item {
    id: row

    required property WatchedAppsBridge apps
    required property PanelBridge panel
    required property Item space
    /// One map of `WatchedAppsBridge.apps`.
    required property var app

    readonly property string status: statusWhen(app.running)
    /// How far the state line has gone over to the running state's text, 0 to 1.
    readonly property real statusShift: panel.reducesMotion ? 1
                                        : app.running ? runningMotion.value
                                        : 1 - runningMotion.value

    function statusWhen(running) {
        return !app.installed ? "не установлена"
             : running ? "запущен · держит кофе"
             : app.custom ? "своя программа"
             : "не запущен"
    }

    implicitHeight: 36

    SpringValue {
        id: runningMotion
        target: row.app.running ? 1 : 0
        response: 0.25
        dampingFraction: 1
    }

    RowLayout {
        anchors.fill: parent
        spacing: 9

        AppIcon {
            Layout.preferredWidth: 22
            Layout.preferredHeight: 22
            reference: row.app.icon
        }

        Column {
            Layout.fillWidth: true
            spacing: 1

            Item {
                width: parent.width
                height: nameText.implicitHeight

                Text {
                    id: nameText
                    width: Math.min(implicitWidth, parent.width
                                    - (commandText.visible ? commandText.implicitWidth + 5 : 0))
                    text: row.app.name
                    font.pixelSize: 12
                    color: Style.label
                    elide: Text.ElideRight
                }
                Text {
                    id: commandText
                    objectName: "command"
                    x: nameText.width + 5
                    anchors.baseline: nameText.baseline
                    visible: row.app.command !== ""
                    text: "команда " + row.app.command
                    font.pixelSize: 10
                    color: Style.footnote
                }
            }
            Item {
                width: parent.width
                height: statusText.implicitHeight

                Text {
                    id: statusText
                    objectName: "status"
                    width: parent.width
                    text: row.status
                    font.pixelSize: 10
                    color: Style.footnote
                    elide: Text.ElideRight
                    opacity: row.statusShift
                }
                // The line as it was before the application started or quit, fading out.
                Text {
                    objectName: "previousStatus"
                    width: parent.width
                    text: row.statusWhen(!row.app.running)
                    font.pixelSize: 10
                    color: Style.footnote
                    elide: Text.ElideRight
                    opacity: 1 - row.statusShift
                    visible: opacity > 0
                }
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
