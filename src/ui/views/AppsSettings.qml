import QtQuick
import Vigilo

// The apps tab: the watched applications in one card, a row each, and under it the button that
// adds another. The button opens the chooser of installed applications in the tab's place until
// one is chosen or the chooser is closed. While an enabled application of the list runs, the
// computer is kept awake. The settings screen draws the tab's footer.
Column {
    id: settings

    required property WatchedAppsBridge apps
    required property PanelBridge panel
    required property Item space
    /// Read once per change: each read asks the watcher about every application.
    readonly property var list: apps.apps
    /// The chooser of installed applications shows in the list's place.
    property bool choosing: false

    spacing: 8

    onChoosingChanged: {
        if (choosing)
            chooser.open()
        else
            addButton.forceActiveFocus()
    }

    AppChooser {
        id: chooser
        objectName: "appChooser"
        width: parent.width
        visible: settings.choosing
        apps: settings.apps
        panel: settings.panel
        space: settings.space
        onClosed: settings.choosing = false
    }

    Card {
        objectName: "appsCard"
        width: parent.width
        height: rows.implicitHeight
        cornerRadius: 14
        visible: settings.list.length > 0 && !settings.choosing

        Column {
            id: rows
            x: 12
            width: parent.width - 24

            // Rows are kept while the count stays, so a switch springs across when flipped.
            Repeater {
                model: settings.list.length

                Column {
                    id: entry
                    required property int index
                    width: rows.width

                    AppRow {
                        width: parent.width
                        apps: settings.apps
                        panel: settings.panel
                        space: settings.space
                        app: settings.list[entry.index]
                    }
                    Rectangle {
                        objectName: "divider"
                        width: parent.width
                        height: 1
                        color: Style.hairline
                        visible: entry.index < settings.list.length - 1
                    }
                }
            }
        }
    }

    Card {
        objectName: "addButton"
        width: parent.width
        height: 34
        cornerRadius: 14
        visible: !settings.choosing

        Row {
            anchors.centerIn: parent
            spacing: 6
            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                width: 13
                height: 13
                name: "plus.circle.fill"
                color: Style.amberText
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "Добавить программу…"
                font.pixelSize: 12
                color: Style.amberText
            }
        }
        HoverHighlight {
            panel: settings.panel
            space: settings.space
            cornerRadius: 14
            strength: 0.09
        }
        Pressable {
            id: addButton
            name: "Добавить программу…"
            cornerRadius: 14
            onActivated: settings.choosing = true
        }
    }
}
