import QtQuick
import Vigilo

// What the panel shows by default: the hero, the metrics row unless hidden, the donation bar
// while the program asks for a coffee, and the more button in the top-right corner. With the
// metrics shown and collapsed the screen keeps one of two fixed heights, so the panel does not
// jump as texts change; hiding or expanding the metrics lets it follow its content. Height
// changes spring (metrics 0.3 s, donation 0.35 s, no bounce) and the content is clipped to the
// moving edge.
Item {
    id: screen

    required property StatusBridge status
    required property MetricsBridge metrics
    required property LidBridge lid
    required property PanelBridge panel
    required property Item space
    property bool hasUpdate: false
    /// The only state of the views: kept while this screen is up.
    property bool metricsExpanded: false

    readonly property real fixedHeight: askingForDonation ? 332 : 256
    readonly property bool followsContent: hidesMetrics || metricsExpanded
    readonly property real stackHeight: stack.height
        + (askingForDonation ? donationGap + donationBar.implicitHeight : 0)
    readonly property real donationGap: 10
    /// The height laid out now; `height` springs to it.
    readonly property real layoutHeight: followsContent ? stackHeight : fixedHeight

    height: heightMotion.value
    clip: heightMotion.moving

    SpringValue {
        id: heightMotion
        target: screen.layoutHeight
        response: 0.3
        dampingFraction: 1
    }
    // The spring's response follows what changed last.
    readonly property bool askingForDonation: panel.askingForDonation
    readonly property bool hidesMetrics: panel.hidesMetrics
    onAskingForDonationChanged: heightMotion.response = 0.35
    onHidesMetricsChanged: heightMotion.response = 0.3
    onMetricsExpandedChanged: heightMotion.response = 0.3

    Item {
        id: content
        width: parent.width
        height: screen.stackHeight
        y: screen.followsContent ? 0 : (screen.fixedHeight - screen.stackHeight) / 2

        Column {
            id: stack
            width: parent.width

            HeroSection {
                width: parent.width
                status: screen.status
                lid: screen.lid
                panel: screen.panel
                space: screen.space
            }
            Item {
                width: 1
                height: 14
                visible: !screen.hidesMetrics
            }
            MetricsRow {
                width: parent.width
                visible: !screen.hidesMetrics
                metrics: screen.metrics
                panel: screen.panel
                space: screen.space
                expanded: screen.metricsExpanded
                onToggled: screen.metricsExpanded = !screen.metricsExpanded
            }
        }

        // Slides in from the bottom edge as it fades in, and back out.
        DonationBar {
            id: donationBar
            readonly property real shown: donationMotion.value
            width: parent.width
            y: stack.height + screen.donationGap + (1 - shown) * (implicitHeight + 10)
            opacity: shown
            visible: shown > 0
            panel: screen.panel

            SpringValue {
                id: donationMotion
                target: screen.askingForDonation ? 1 : 0
                response: 0.35
                dampingFraction: 1
            }
        }
    }

    MoreButton {
        objectName: "moreButton"
        anchors.top: parent.top
        anchors.right: parent.right
        panel: screen.panel
        space: screen.space
        hasUpdate: screen.hasUpdate
    }
}
