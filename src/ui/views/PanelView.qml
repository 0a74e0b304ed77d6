import QtQuick
import Vigilo

// The root of the panel: the main screen or the settings on the panel's surface, 340 points
// wide with 16 points of padding, inside a transparent margin of 40 points where the surface's shadow falls
// and through which clicks pass. It fills its window from the top-left corner, so its
// coordinates are those of the published pointer: hover highlights measure themselves against
// it. The window follows `visibleSize`. A swap of screens springs (0.28 s, no bounce): the
// panel's height moves from the old screen's to the new one's as the new screen fades in;
// where the desktop asks for less motion the swap is instant.
Item {
    id: root

    required property StatusBridge status
    required property MetricsBridge metrics
    required property LidBridge lid
    required property PanelBridge panel
    required property SettingsBridge settings
    required property WatchedAppsBridge apps
    /// The update driver's state; null in a program that does not update itself.
    property UpdatesBridge updates: null
    /// Nothing composites the window: the surface is drawn fully opaque and casts no shadow.
    property bool opaque: false

    readonly property real margin: 40
    readonly property real padding: 16
    readonly property real panelWidth: 340
    /// The visible panel, without the margin.
    readonly property size visibleSize: Qt.size(panelWidth, Math.ceil(
        swapFrom + (screenHeight - swapFrom) * swapMotion.value) + 2 * padding)
    readonly property real screenHeight: screen.item !== null ? screen.item.height : 0
    /// The height of the screen that was up when the screens last swapped.
    property real swapFrom: 0

    implicitWidth: visibleSize.width + 2 * margin
    implicitHeight: visibleSize.height + 2 * margin

    // The glass group of newer renderings adds nothing to this one, which draws a plain surface.
    PanelSurface {
        anchors.fill: parent
        surface: Qt.rect(root.margin, root.margin, root.visibleSize.width,
                         root.visibleSize.height)
        fillColor: Style.surfaceFill(root.opaque)
        borderColor: Style.surfaceBorder
        shadowed: !root.opaque
    }

    Loader {
        id: screen
        x: root.margin + root.padding
        y: root.margin + root.padding
        width: root.panelWidth - 2 * root.padding
        opacity: swapMotion.value
        // Set here and on each swap, after the old screen's height has been taken.
        Component.onCompleted: sourceComponent = root.showsSettings ? settingsScreen : mainScreen
    }

    SpringValue {
        id: swapMotion
        target: 1
        response: 0.28
        dampingFraction: 1
        instant: root.panel.reducesMotion
    }
    readonly property bool showsSettings: panel.showsSettings
    onShowsSettingsChanged: {
        swapFrom = visibleSize.height - 2 * padding
        swapMotion.jumpTo(0)
        screen.sourceComponent = showsSettings ? settingsScreen : mainScreen
        swapMotion.target = 1
    }

    Component {
        id: mainScreen
        MainScreen {
            objectName: "mainScreen"
            status: root.status
            metrics: root.metrics
            lid: root.lid
            panel: root.panel
            space: root
            hasUpdate: root.updates !== null && root.updates.hasUpdate
        }
    }
    Component {
        id: settingsScreen
        SettingsScreen {
            objectName: "settingsScreen"
            height: implicitHeight
            panel: root.panel
            lid: root.lid
            settings: root.settings
            apps: root.apps
            updates: root.updates
            space: root
        }
    }
}
