import QtQuick
import Vigilo

// The settings: the tab bar and a close button above the selected tab's content, which
// scrolls, and a footer that depends on the tab. While the closed-lid mode waits for the user's
// consent, its card sits above the content. The screen has a fixed height; every tab opens
// scrolled to its top, fading in with a spring (0.25 s, no bounce), at once where the desktop
// asks for less motion.
Item {
    id: screen

    required property PanelBridge panel
    required property LidBridge lid
    required property SettingsBridge settings
    required property WatchedAppsBridge apps
    /// The update driver's state; null in a program that does not update itself.
    property UpdatesBridge updates: null
    /// The panel's root, the frame of the published pointer.
    required property Item space

    readonly property bool moving: consentMotion.moving || tabMotion.moving

    implicitHeight: 308

    Column {
        anchors.fill: parent
        spacing: 8

        Row {
            id: header
            width: parent.width
            spacing: 8

            TabsBar {
                objectName: "tabsBar"
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - closeButton.width - parent.spacing
                panel: screen.panel
                space: screen.space
                hasUpdate: screen.updates !== null && screen.updates.hasUpdate
            }

            Item {
                id: closeButton
                objectName: "closeButton"
                width: 36
                height: 36

                GlassControl {
                    x: 3
                    y: 3
                    width: 30
                    height: 30
                    Symbol {
                        anchors.centerIn: parent
                        width: 9
                        height: 9
                        name: "xmark"
                        color: Style.secondaryLabel
                    }
                }
                HoverHighlight {
                    panel: screen.panel
                    space: screen.space
                    cornerRadius: 17
                    strength: 0.16
                    help: "Закрыть настройки"
                }
                Pressable {
                    name: "Закрыть настройки"
                    cornerRadius: 17
                    onActivated: screen.panel.showsSettings = false
                }
            }
        }

        // Made anew for every tab, so each opens at its top.
        Loader {
            id: content
            objectName: "settingsContent"
            width: parent.width
            height: parent.height - header.height - parent.spacing
                    - (footer.visible ? footer.height + parent.spacing : 0)
            opacity: tabMotion.value
            sourceComponent: {
                switch (screen.panel.panelTab) {
                case PanelBridge.AppsTab: return appsTab
                case PanelBridge.AboutTab: return aboutTab
                default: return generalTab
                }
            }
        }

        Text {
            id: footer
            objectName: "footer"
            width: parent.width
            leftPadding: screen.panel.panelTab === PanelBridge.AppsTab ? 4 : 0
            rightPadding: leftPadding
            visible: text !== ""
            text: screen.panel.panelTab === PanelBridge.AppsTab ? screen.apps.footnote
                : screen.panel.panelTab !== PanelBridge.AboutTab ? ""
                : screen.updates !== null ? screen.updates.copyright : screen.panel.updatedByOthers
            horizontalAlignment: screen.panel.panelTab === PanelBridge.AboutTab ? Text.AlignHCenter
                                                                               : Text.AlignLeft
            wrapMode: Text.WordWrap
            font.pixelSize: 11
            color: Style.footnote
        }
    }

    SpringValue {
        id: tabMotion
        target: 1
        response: 0.25
        dampingFraction: 1
        instant: screen.panel.reducesMotion
    }
    readonly property int tab: panel.panelTab
    onTabChanged: {
        tabMotion.jumpTo(0)
        tabMotion.target = 1
    }

    SpringValue {
        id: consentMotion
        target: screen.lid.needsConsent ? 1 : 0
        response: 0.25
        dampingFraction: 1
    }

    Component {
        id: generalTab
        ScrollArea {
            GeneralSettings {
                width: parent.width
                settings: screen.settings
                panel: screen.panel
                space: screen.space
            }
        }
    }
    Component {
        id: appsTab
        ScrollArea {
            AppsSettings {
                width: parent.width
                apps: screen.apps
                panel: screen.panel
                space: screen.space
            }
        }
    }
    Component {
        id: aboutTab
        ScrollArea {
            AboutSettings {
                width: parent.width
                lid: screen.lid
                updates: screen.updates
                panel: screen.panel
                space: screen.space
            }
        }
    }

    // The scrolling column of a tab: the consent card while it is asked for, the tab, and a
    // little room at the bottom. A control that takes the keyboard focus is scrolled into view.
    component ScrollArea: Flickable {
        id: area
        default property alias tab: tabSlot.data

        contentWidth: width
        contentHeight: column.height
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Column {
            id: column
            width: area.width
            spacing: 8

            // Grows in as it fades and scales up from 0.95 about its centre.
            Item {
                width: parent.width
                height: consent.implicitHeight * consentMotion.value
                visible: consentMotion.value > 0
                LidConsentCard {
                    id: consent
                    objectName: "consentCard"
                    width: parent.width
                    opacity: consentMotion.value
                    scale: 0.95 + 0.05 * consentMotion.value
                    lid: screen.lid
                }
            }
            Item {
                id: tabSlot
                width: parent.width
                height: childrenRect.height
            }
            Item {
                width: 1
                height: 4
            }
        }

        // The scroll position, shown while the content moves.
        Rectangle {
            x: area.width - width - 1
            y: area.contentY + area.visibleArea.yPosition * area.height
            width: 3
            height: area.visibleArea.heightRatio * area.height
            radius: width / 2
            color: Style.tertiaryLabel
            visible: area.contentHeight > area.height
            opacity: area.moving ? 1 : 0
            Behavior on opacity { NumberAnimation { duration: 300 } }
        }

        Connections {
            target: area.Window.window
            function onActiveFocusItemChanged() {
                const focused = area.Window.window.activeFocusItem
                let inside = focused
                while (inside !== null && inside !== column)
                    inside = inside.parent
                if (inside === null)
                    return
                const top = column.mapFromItem(focused, 0, 0).y
                const bottom = top + focused.height
                if (top < area.contentY)
                    area.contentY = Math.max(0, top - 4)
                else if (bottom > area.contentY + area.height)
                    area.contentY = Math.min(area.contentHeight - area.height,
                                             bottom - area.height + 4)
            }
        }
    }
}
