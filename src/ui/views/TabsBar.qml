import QtQuick
import Vigilo

// The settings' three tabs side by side in a faint capsule. The selected tab is an amber pill
// and never lights under the pointer; the about tab carries the update dot while an update is
// available and another tab is selected. When another tab is chosen the pill springs over to it
// (0.25 s, no bounce) and the titles' colours follow it; where the desktop asks for less motion
// it moves at once.
Rectangle {
    id: bar

    required property PanelBridge panel
    required property Item space
    property bool hasUpdate: false

    /// The tabs from left to right.
    readonly property var entries: [
        {tab: PanelBridge.GeneralTab, title: "Основные"},
        {tab: PanelBridge.AppsTab, title: "Программы"},
        {tab: PanelBridge.AboutTab, title: "О программе"}
    ]
    readonly property int selectedIndex:
        entries.findIndex(entry => entry.tab === bar.panel.panelTab)

    implicitHeight: 36
    radius: 14
    color: Style.cardFill
    border.width: 0.5
    border.color: Style.hairline

    readonly property real tabWidth: (tabs.width - 2 * tabs.spacing) / entries.length

    SpringValue {
        id: pillMotion
        target: bar.selectedIndex
        response: 0.25
        dampingFraction: 1
        instant: bar.panel.reducesMotion
    }

    // The amber pill under the selected tab, with a soft amber shadow below it drawn as faint
    // rings.
    Item {
        objectName: "tabPill"
        x: tabs.x + pillMotion.value * (bar.tabWidth + tabs.spacing)
        y: tabs.y
        width: bar.tabWidth
        height: 30

        Repeater {
            model: [{spread: 3, opacity: 0.08}, {spread: 2, opacity: 0.12},
                    {spread: 1, opacity: 0.16}]
            Rectangle {
                required property var modelData
                x: -modelData.spread
                y: 2 - modelData.spread
                width: parent.width + 2 * modelData.spread
                height: parent.height + 2 * modelData.spread
                radius: 10 + modelData.spread
                color: Style.faded(Style.amber, modelData.opacity)
            }
        }
        Rectangle {
            anchors.fill: parent
            radius: 10
            color: Style.amber
            border.width: 0.5
            border.color: Qt.rgba(1, 1, 1, 0.25)
        }
    }

    Row {
        id: tabs
        x: 3
        y: 3
        width: parent.width - 6
        spacing: 2

        Repeater {
            model: bar.entries

            Item {
                id: tab
                required property int index
                required property var modelData
                readonly property bool selected: bar.panel.panelTab === modelData.tab
                /// How much of the moving pill lies under this tab, 0…1.
                readonly property real covered: Math.max(0, 1 - Math.abs(pillMotion.value - index))

                objectName: "tab" + index
                width: bar.tabWidth
                height: 30

                Text {
                    anchors.fill: parent
                    anchors.leftMargin: 4
                    anchors.rightMargin: 4
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    text: tab.modelData.title
                    font.pixelSize: 11
                    font.weight: tab.selected ? Font.DemiBold : Font.Normal
                    color: Style.mix(Style.secondaryLabel, Style.amberInk, tab.covered)
                    // Shrinks to 0.9 of its size before it is cut off.
                    fontSizeMode: Text.HorizontalFit
                    minimumPixelSize: 10
                    elide: Text.ElideRight
                }

                UpdateDot {
                    objectName: "updateDot"
                    visible: tab.modelData.tab === PanelBridge.AboutTab && !tab.selected
                             && bar.hasUpdate
                    size: 6
                    x: parent.width - width + 2.1
                    y: -2.1
                }

                HoverHighlight {
                    panel: bar.panel
                    space: bar.space
                    cornerRadius: 10
                    strength: 0.12
                    enabled: !tab.selected
                }

                Pressable {
                    name: tab.modelData.title
                    role: Accessible.PageTab
                    Accessible.selectable: true
                    Accessible.selected: tab.selected
                    onActivated: bar.panel.panelTab = tab.modelData.tab
                }
            }
        }
    }
}
