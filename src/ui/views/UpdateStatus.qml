import QtQuick
import QtQuick.Layouts
import Vigilo

// The update area: one row, for what the updater does now or what the user can do next.
// Qt sizes text in whole pixels, so sizes of a half point are rounded down.
Item {
    id: updateStatus

    required property UpdatesBridge updates
    required property PanelBridge panel
    /// The panel's root, for the hover highlights.
    required property Item space

    implicitWidth: shown.implicitWidth
    implicitHeight: shown.implicitHeight

    Loader {
        id: shown
        width: parent.width
        sourceComponent: {
            switch (updateStatus.updates.row) {
            case UpdatesBridge.BackgroundReady: return backgroundReady
            case UpdatesBridge.Available: return available
            case UpdatesBridge.Checking: return checking
            case UpdatesBridge.UpToDate: return upToDate
            case UpdatesBridge.Downloading: return downloading
            case UpdatesBridge.Extracting: return extracting
            case UpdatesBridge.Ready: return ready
            case UpdatesBridge.Failed: return failed
            default: return check
            }
        }
    }

    // The card around an informational row.
    component RowCard: Card {
        default property alias content: line.data
        property alias below: belowLine.data

        cornerRadius: 14
        implicitWidth: lines.implicitWidth + 24
        implicitHeight: lines.implicitHeight + 18

        ColumnLayout {
            id: lines
            x: 12
            y: 9
            width: parent.width - 24
            spacing: 6
            RowLayout {
                id: line
                Layout.fillWidth: true
                spacing: 8
            }
            ColumnLayout {
                id: belowLine
                Layout.fillWidth: true
                visible: children.length > 0
            }
        }
    }
    component Label: Text {
        font.pixelSize: 12
        color: Style.label
    }
    component Spinner: Symbol {
        objectName: "spinner"
        Layout.preferredWidth: 12
        Layout.preferredHeight: 12
        name: "progress"
        color: Style.footnote
        RotationAnimator on rotation {
            from: 0
            to: 360
            duration: 900
            loops: Animation.Infinite
        }
    }
    component RowSymbol: Symbol {
        Layout.preferredWidth: 14
        Layout.preferredHeight: 14
        color: Style.amberText
    }
    component Filler: Item {
        Layout.fillWidth: true
    }

    Component {
        id: backgroundReady
        RowCard {
            objectName: "backgroundReadyRow"
            RowSymbol { name: "arrow.down.circle" }
            Label { text: updateStatus.updates.backgroundReadyVersion + " скачано" }
            Filler {}
            Label {
                text: "поставится после кофе"
                font.pixelSize: 10
                color: Style.footnote
            }
        }
    }

    Component {
        id: available
        GlassControl {
            id: availableButton
            objectName: "availableRow"
            readonly property string title: "Доступно обновление " + updateStatus.updates.newVersion
            implicitHeight: 32
            radius: 10
            tint: Style.amber
            Row {
                anchors.centerIn: parent
                spacing: 6
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 14
                    height: 14
                    name: "arrow.down.circle.fill"
                    color: Style.amberInk
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: availableButton.title
                    font.pixelSize: 11
                    font.weight: Font.DemiBold
                    color: Style.amberInk
                }
            }
            HoverHighlight {
                panel: updateStatus.panel
                space: updateStatus.space
                cornerRadius: 10
            }
            Pressable {
                name: availableButton.title + ", установить"
                onActivated: updateStatus.updates.checkForUpdates()
            }
        }
    }

    Component {
        id: check
        Rectangle {
            objectName: "checkRow"
            implicitHeight: 32
            radius: 14
            color: Style.controlFill
            border.width: 0.5
            border.color: Style.hairline
            Row {
                anchors.centerIn: parent
                spacing: 6
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 14
                    height: 14
                    name: "arrow.triangle.2.circlepath"
                    color: Style.label
                }
                Label {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Проверить обновления"
                }
            }
            HoverHighlight {
                panel: updateStatus.panel
                space: updateStatus.space
                cornerRadius: 14
            }
            Pressable {
                name: "Проверить обновления"
                onActivated: updateStatus.updates.checkForUpdates()
            }
        }
    }

    Component {
        id: checking
        RowCard {
            objectName: "checkingRow"
            Spinner {}
            Label { text: "Проверяю обновления…" }
        }
    }

    Component {
        id: upToDate
        RowCard {
            objectName: "upToDateRow"
            RowSymbol {
                name: "checkmark.circle.fill"
                color: Qt.rgba(0.2, 0.74, 0.33, 1)
            }
            Label { text: "Версия актуальна" }
            Label {
                text: updateStatus.updates.version
                color: Style.secondaryLabel
            }
            Filler {}
            Item {
                Layout.preferredWidth: 24
                Layout.preferredHeight: 24
                Symbol {
                    anchors.centerIn: parent
                    width: 12
                    height: 12
                    name: "arrow.clockwise"
                    color: Style.amberText
                }
                HoverHighlight {
                    panel: updateStatus.panel
                    space: updateStatus.space
                    cornerRadius: 12
                    help: "Проверить снова"
                }
                Pressable {
                    name: "Проверить обновления снова"
                    onActivated: updateStatus.updates.checkForUpdates()
                }
            }
        }
    }

    Component {
        id: downloading
        RowCard {
            id: downloadRow
            objectName: "downloadingRow"
            readonly property bool isKnown: updateStatus.updates.fraction !== undefined
            RowSymbol { name: "arrow.down.circle" }
            Label {
                text: updateStatus.updates.newVersion !== ""
                      ? "Загрузка " + updateStatus.updates.newVersion : "Загрузка обновления"
            }
            Filler {}
            Label {
                visible: downloadRow.isKnown
                text: Math.round(updateStatus.updates.fraction * 100) + "%"
                color: Style.secondaryLabel
            }
            Spinner { visible: !downloadRow.isKnown }
            below: ThinProgress {
                Layout.fillWidth: true
                fraction: updateStatus.updates.fraction
            }
        }
    }

    Component {
        id: extracting
        RowCard {
            objectName: "extractingRow"
            RowSymbol { name: "shippingbox" }
            Label { text: "Распаковываю обновление…" }
            below: ThinProgress {
                Layout.fillWidth: true
                fraction: updateStatus.updates.fraction
            }
        }
    }

    Component {
        id: ready
        // The button goes under the text: the two do not fit side by side in the panel's width.
        RowCard {
            objectName: "readyRow"
            RowSymbol { name: "checkmark.seal.fill" }
            Label {
                Layout.fillWidth: true
                // A release the feed gave no version leaves no gap in the sentence.
                text: ["Обновление", updateStatus.updates.newVersion, "загружено"]
                      .filter(word => word !== "").join(" ")
                wrapMode: Text.WordWrap
            }
            below: GlassControl {
                Layout.fillWidth: true
                Layout.preferredHeight: 28
                radius: 9
                tint: Style.amber
                Text {
                    anchors.centerIn: parent
                    text: "Установить и перезапустить"
                    font.pixelSize: 11
                    font.weight: Font.DemiBold
                    color: Style.amberInk
                }
                HoverHighlight {
                    panel: updateStatus.panel
                    space: updateStatus.space
                    cornerRadius: 9
                }
                Pressable {
                    name: "Установить обновление и перезапустить"
                    onActivated: updateStatus.updates.installNow()
                }
            }
        }
    }

    Component {
        id: failed
        RowCard {
            objectName: "failedRow"
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 7
                    Symbol {
                        Layout.alignment: Qt.AlignTop
                        Layout.preferredWidth: 14
                        Layout.preferredHeight: 14
                        name: "exclamationmark.triangle.fill"
                        color: Style.error
                    }
                    Label {
                        Layout.fillWidth: true
                        text: updateStatus.updates.failure
                        font.pixelSize: 11
                        wrapMode: Text.WordWrap
                    }
                }
                Item {
                    Layout.preferredWidth: retry.implicitWidth + 16
                    Layout.preferredHeight: 24
                    Label {
                        id: retry
                        anchors.centerIn: parent
                        text: "Повторить"
                        font.pixelSize: 11
                        color: Style.amberText
                    }
                    HoverHighlight {
                        panel: updateStatus.panel
                        space: updateStatus.space
                        cornerRadius: 8
                    }
                    Pressable {
                        name: "Повторить проверку обновлений"
                        onActivated: updateStatus.updates.checkForUpdates()
                    }
                }
            }
        }
    }
}
