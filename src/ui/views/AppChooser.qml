import QtQuick
import Vigilo

// Picks an installed application to watch, as the desktop's own "open with" lists do: the
// applications by icon and name, narrowed to those whose name holds what is typed in the search
// field; those already in the list are marked. Clicking one, or Enter on the current one, adds
// it and closes the chooser; "другой файл…" opens a file chooser for an entry outside the
// application folders. The arrows move through the list from the search field, Tab reaches the
// buttons, Escape closes.
FocusScope {
    id: chooser

    required property WatchedAppsBridge apps
    required property PanelBridge panel
    required property Item space
    readonly property real rowHeight: 30
    readonly property int rowsShown: 5
    /// The installed applications, read when the chooser opens.
    property var installed: []
    readonly property var shown: {
        const wanted = search.text.trim().toLocaleLowerCase()
        return installed.filter((app) => app.name.toLocaleLowerCase().includes(wanted))
    }

    signal closed()

    /// Reads the installed applications and takes the keyboard focus in the search field.
    function open() {
        installed = apps.installedApps()
        search.text = ""
        list.currentIndex = 0
        search.forceActiveFocus()
    }

    function choose(index) {
        if (index < 0 || index >= shown.length)
            return
        apps.add(shown[index].location)
        closed()
    }

    implicitHeight: content.implicitHeight + 16
    Keys.onEscapePressed: closed()

    Card {
        anchors.fill: parent
        cornerRadius: 14
    }

    Column {
        id: content
        x: 8
        y: 8
        width: parent.width - 16
        spacing: 6

        Rectangle {
            objectName: "searchField"
            width: parent.width
            height: 26
            radius: 8
            color: Style.controlFill
            border.width: search.activeFocus ? 1 : 0
            border.color: Style.faded(Style.amber, 0.8)

            Symbol {
                id: magnifier
                x: 8
                anchors.verticalCenter: parent.verticalCenter
                width: 12
                height: 12
                name: "magnifyingglass"
                color: Style.tertiaryLabel
            }
            TextInput {
                id: search
                objectName: "search"
                anchors.left: magnifier.right
                anchors.leftMargin: 6
                anchors.right: parent.right
                anchors.rightMargin: 8
                anchors.verticalCenter: parent.verticalCenter
                font.pixelSize: 12
                color: Style.label
                selectionColor: Style.faded(Style.amber, 0.5)
                selectedTextColor: Style.label
                clip: true
                focus: true
                activeFocusOnTab: true
                Accessible.role: Accessible.EditableText
                Accessible.name: "Найти программу"
                onTextChanged: list.currentIndex = 0
                Keys.onDownPressed: list.incrementCurrentIndex()
                Keys.onUpPressed: list.decrementCurrentIndex()
                Keys.onReturnPressed: chooser.choose(list.currentIndex)
                Keys.onEnterPressed: chooser.choose(list.currentIndex)

                Text {
                    anchors.fill: parent
                    text: "Найти программу"
                    font.pixelSize: 12
                    color: Style.tertiaryLabel
                    visible: search.text === ""
                }
            }
        }

        ListView {
            id: list
            objectName: "installedList"
            width: parent.width
            height: chooser.rowHeight * chooser.rowsShown
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: chooser.shown.length
            currentIndex: 0
            highlightMoveDuration: 0
            activeFocusOnTab: true
            keyNavigationEnabled: true
            Accessible.role: Accessible.List
            Accessible.name: "Установленные программы"
            Keys.onReturnPressed: chooser.choose(currentIndex)
            Keys.onEnterPressed: chooser.choose(currentIndex)

            highlight: Rectangle {
                radius: 8
                color: Style.faded(Style.amber, list.activeFocus || search.activeFocus ? 0.22 : 0)
            }

            delegate: Item {
                id: entry
                objectName: "installedApp"
                required property int index
                readonly property var application: chooser.shown[index] ?? {}

                width: list.width
                height: chooser.rowHeight
                Accessible.role: Accessible.ListItem
                Accessible.name: application.listed ? application.name + ", уже в списке" : application.name
                Accessible.selected: ListView.isCurrentItem
                Accessible.onPressAction: chooser.choose(index)

                AppIcon {
                    id: icon
                    x: 6
                    anchors.verticalCenter: parent.verticalCenter
                    width: 20
                    height: 20
                    reference: entry.application.icon ?? ""
                }
                Text {
                    anchors.left: icon.right
                    anchors.leftMargin: 8
                    anchors.right: mark.left
                    anchors.rightMargin: 6
                    anchors.verticalCenter: parent.verticalCenter
                    text: entry.application.name ?? ""
                    font.pixelSize: 12
                    color: Style.label
                    elide: Text.ElideRight
                }
                Text {
                    id: mark
                    anchors.right: parent.right
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: entry.application.listed ? "в списке" : ""
                    font.pixelSize: 10
                    color: Style.footnote
                }
                HoverHighlight {
                    panel: chooser.panel
                    space: chooser.space
                    cornerRadius: 8
                    strength: 0.07
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: chooser.choose(entry.index)
                }
            }

            Text {
                anchors.centerIn: parent
                text: chooser.installed.length === 0 ? "Программы не найдены"
                                                     : "Ничего не найдено"
                font.pixelSize: 12
                color: Style.footnote
                visible: list.count === 0
            }
        }

        Item {
            width: parent.width
            height: otherFile.implicitHeight

            PillButton {
                id: otherFile
                objectName: "otherFileButton"
                title: "Другой файл…"
                onClicked: {
                    chooser.apps.chooseFile()
                    chooser.closed()
                }
            }
            PillButton {
                objectName: "cancelButton"
                anchors.right: parent.right
                title: "Отмена"
                onClicked: chooser.closed()
            }
        }
    }
}
