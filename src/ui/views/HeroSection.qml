import QtQuick
import Vigilo

// The top of the main screen: the glass that switches keeping awake on and off, the status
// title with its live timer, the subtitle, and the closed-lid error when there is one. A flip
// of the state springs through the title's colour with a slight bounce (0.35 s, damping 0.7).
Column {
    id: hero

    required property StatusBridge status
    required property LidBridge lid
    required property PanelBridge panel
    required property Item space

    /// Counts the seconds while the panel is open; the title and the cup are re-read on each,
    /// and on every change the bridge announces (`awake` shares its signal).
    property int second: 0
    readonly property var readAgain: [second, status.awake]

    spacing: 3

    Timer {
        interval: 1000
        repeat: true
        running: hero.panel.visible
        onTriggered: hero.second += 1
    }

    SpringValue {
        id: awakeMotion
        target: hero.status.awake ? 1 : 0
        response: 0.35
        dampingFraction: 0.7
    }

    Item {
        id: illustration
        objectName: "heroButton"
        width: parent.width
        height: glass.height + 8

        GlassHero {
            id: glass
            y: 4
            width: parent.width
            height: 142
            awake: hero.status.awake
            panelVisible: hero.panel.visible
            simpleAnimation: hero.status.simpleAnimation
            reducedMotion: hero.panel.reducesMotion
            cupFraction: { void hero.readAgain; return hero.status.cupFraction() }
            labelColor: Style.label
            pointer: {
                const point = hero.panel.pointer
                return point === undefined ? undefined
                                           : glass.mapFromItem(hero.space, point.x, point.y)
            }
        }

        // The tooltip answers the glass itself, not the empty sides beside it, where the more
        // button lies.
        Item {
            anchors.centerIn: glass
            width: glass.height * 210 / 250
            height: glass.height

            HoverHighlight {
                panel: hero.panel
                space: hero.space
                strength: 0
                help: hero.status.toggleHelp
            }
        }

        // The platform's haptic feedback has no counterpart here.
        Pressable {
            name: hero.status.toggleHelp
            cornerRadius: 14
            onActivated: hero.status.toggle()
        }
    }

    CountingText {
        id: title
        objectName: "title"
        width: parent.width
        text: { void hero.readAgain; return hero.status.title() }
        font.pixelSize: 22
        font.weight: Font.DemiBold
        color: Style.mix(Style.label, Style.amberText, awakeMotion.value)
        instant: hero.panel.reducesMotion
        minimumScale: 0.8
    }

    Text {
        objectName: "subtitle"
        width: parent.width
        horizontalAlignment: Text.AlignHCenter
        text: hero.status.subtitle
        font.pixelSize: 12
        color: Style.secondaryLabel
    }

    Text {
        objectName: "lidError"
        width: parent.width
        visible: text !== ""
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: hero.lid.error
        font.pixelSize: 11
        color: Style.error
    }
}
