import QtQuick
import Vigilo

// An address of the metrics table: the address with a copy button when known; otherwise, for
// the local address, a note, and for the external one, its lookup in whatever state it is.
Item {
    id: cell

    required property MetricsBridge metrics
    required property PanelBridge panel
    required property Item space
    /// Empty when unknown.
    property string address
    /// The address is looked up on request (the external one).
    property bool lookup: false
    property string absentText: ""

    /// Which of the cell's faces shows.
    readonly property string mode: address !== "" ? "address"
        : !lookup ? "absent"
        : metrics.fetchingExternalIP ? "fetching"
        : metrics.externalIPFailed ? "failed" : "ask"

    implicitWidth: shown.implicitWidth
    implicitHeight: shown.implicitHeight
    width: implicitWidth
    height: implicitHeight

    Loader {
        id: shown
        sourceComponent: {
            switch (cell.mode) {
            case "address": return addressButton
            case "fetching": return fetching
            case "failed": return retry
            case "ask": return ask
            default: return absent
            }
        }
    }

    Component {
        id: addressButton
        Item {
            readonly property bool copied: cell.metrics.copiedIP === cell.address
            implicitWidth: pair.implicitWidth
            implicitHeight: pair.implicitHeight

            Row {
                id: pair
                spacing: 4
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: cell.address
                    font.pointSize: Style.points(11.5)
                    color: Style.label
                }
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 11
                    height: 12
                    name: pair.parent.copied ? "checkmark" : "doc.on.doc"
                    color: pair.parent.copied ? Style.amberText : Style.secondaryLabel
                }
            }
            HoverHighlight {
                panel: cell.panel
                space: cell.space
                strength: 0
                help: "Скопировать"
            }
            Pressable {
                name: "Скопировать " + cell.address
                cornerRadius: 4
                onActivated: cell.metrics.copyIP(cell.address)
            }
        }
    }

    Component {
        id: fetching
        Row {
            spacing: 5
            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                width: 10
                height: 10
                name: "progress"
                color: Style.footnote
                RotationAnimator on rotation {
                    from: 0
                    to: 360
                    duration: 900
                    loops: Animation.Infinite
                }
            }
            Text {
                text: "узнаю…"
                font.pointSize: Style.points(11.5)
                color: Style.footnote
            }
        }
    }

    Component {
        id: retry
        TextButton {
            text: "не удалось — повторить"
            help: "Не получилось получить внешний IP"
        }
    }

    Component {
        id: ask
        TextButton {
            text: "узнать"
            help: cell.metrics.lookupHelp
        }
    }

    Component {
        id: absent
        Text {
            text: cell.absentText
            font.pointSize: Style.points(11.5)
            color: Style.footnote
        }
    }

    // A link-like button that asks for the external address.
    component TextButton: Text {
        id: button
        property string help
        font.pointSize: Style.points(11.5)
        color: Style.amberText

        HoverHighlight {
            panel: cell.panel
            space: cell.space
            strength: 0
            help: button.help
        }
        Pressable {
            name: button.text
            description: button.help
            cornerRadius: 4
            onActivated: cell.metrics.fetchExternalIP()
        }
    }
}
