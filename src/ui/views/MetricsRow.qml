import QtQuick
import Vigilo

// The card of vital figures: a one-line summary of CPU, memory, battery and disk that expands
// into a table with the CPU history, sizes, battery details and the two addresses. Figures the
// computer does not report are left out.
Card {
    id: row

    required property MetricsBridge metrics
    required property PanelBridge panel
    required property Item space
    property bool expanded: false
    /// The summary was clicked: the owner of `expanded` flips it.
    signal toggled()

    cornerRadius: 13
    implicitHeight: column.implicitHeight + 20

    Column {
        id: column
        x: 10
        y: 10
        width: parent.width - 20

        Item {
            id: summary
            width: parent.width
            height: 16

            Row {
                id: items
                readonly property real share: (width - chevron.width) / Math.max(1, count)
                readonly property int count: 1 + (row.metrics.memoryText !== "" ? 1 : 0)
                    + (row.metrics.batteryText !== "" ? 1 : 0) + (row.metrics.diskText !== "" ? 1 : 0)
                anchors.fill: parent

                SummaryItem { symbol: "cpu"; text: row.metrics.cpuText; width: items.share }
                SummaryItem {
                    symbol: "memorychip"
                    text: row.metrics.memoryText
                    visible: text !== ""
                    width: items.share
                }
                SummaryItem {
                    symbol: row.metrics.batterySymbol
                    symbolWidth: 19
                    text: row.metrics.batteryText
                    visible: text !== ""
                    width: items.share
                }
                SummaryItem {
                    symbol: "internaldrive"
                    text: row.metrics.diskText
                    visible: text !== ""
                    width: items.share
                }
                Item {
                    id: chevron
                    width: 14
                    height: parent.height
                    Symbol {
                        anchors.centerIn: parent
                        width: 10
                        height: 7
                        name: "chevron.down"
                        color: Style.secondaryLabel
                        rotation: chevronMotion.value
                    }
                    SpringValue {
                        id: chevronMotion
                        target: row.expanded ? 180 : 0
                        response: 0.3
                        dampingFraction: 1
                    }
                }
            }

            Pressable {
                name: "Показатели"
                description: row.expanded ? "развёрнуты" : "свёрнуты"
                cornerRadius: 6
                onActivated: row.toggled()
            }
        }

        // Collapsed, the details take no room at once but stay drawn as they fade out.
        Item {
            width: parent.width
            height: row.expanded ? details.implicitHeight : 0

            Column {
                id: details
                objectName: "metricsDetails"
                width: parent.width
                topPadding: 10
                spacing: 7
                visible: detailsMotion.value > 0
                opacity: detailsMotion.value

                SpringValue {
                    id: detailsMotion
                    target: row.expanded ? 1 : 0
                    response: 0.3
                    dampingFraction: 1
                    instant: row.panel.reducesMotion
                }

                DetailRow {
                    label: "CPU"
                    Row {
                        spacing: 8
                        Sparkline {
                            width: 96
                            height: 15
                            values: row.metrics.cpuHistory
                            color: Style.faded(Style.amberText, 0.85)
                        }
                        DetailText { text: row.metrics.cpuText }
                    }
                }
                DetailRow {
                    label: "RAM"
                    visible: row.metrics.memoryDetail !== ""
                    DetailText { text: row.metrics.memoryDetail }
                }
                DetailRow {
                    label: "Батарея"
                    visible: row.metrics.batteryDetail !== ""
                    DetailText { text: row.metrics.batteryDetail }
                }
                DetailRow {
                    label: "Диск"
                    visible: row.metrics.diskDetail !== ""
                    DetailText { text: row.metrics.diskDetail }
                }
                DetailRow {
                    label: "Локальный IP"
                    AddressCell {
                        metrics: row.metrics
                        panel: row.panel
                        space: row.space
                        address: row.metrics.localIP
                        absentText: "нет сети"
                    }
                }
                DetailRow {
                    label: "Внешний IP"
                    AddressCell {
                        metrics: row.metrics
                        panel: row.panel
                        space: row.space
                        address: row.metrics.externalIP
                        lookup: true
                    }
                }
            }
        }
    }

    // One figure of the summary: its symbol and text, centred in an equal share of the width.
    component SummaryItem: Item {
        property alias symbol: icon.name
        property alias text: figure.text
        property alias symbolWidth: icon.width
        height: parent.height

        Row {
            anchors.centerIn: parent
            spacing: 3
            Symbol {
                id: icon
                anchors.verticalCenter: parent.verticalCenter
                width: 13
                height: 11
                color: Style.secondaryLabel
            }
            Text {
                id: figure
                anchors.verticalCenter: parent.verticalCenter
                font.pixelSize: 11
                color: Style.secondaryLabel
            }
        }
    }

    // A line of the table: its label on the left, its value on the right.
    component DetailRow: Item {
        property alias label: caption.text
        default property alias value: valueSlot.data
        width: parent.width
        height: Math.max(caption.implicitHeight, valueSlot.childrenRect.height)

        Text {
            id: caption
            anchors.verticalCenter: parent.verticalCenter
            font.pointSize: Style.points(11.5)
            color: Style.tertiaryLabel
        }
        Item {
            id: valueSlot
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: childrenRect.width
            height: childrenRect.height
        }
    }

    component DetailText: Text {
        font.pointSize: Style.points(11.5)
        color: Style.label
    }
}
