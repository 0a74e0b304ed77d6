import QtQuick
import Vigilo

// The circular button in the main screen's corner that opens the settings; a dot on it says an
// update is available.
Item {
    id: button

    required property PanelBridge panel
    required property Item space
    property bool hasUpdate: false

    implicitWidth: 36
    implicitHeight: 36

    GlassControl {
        x: 3
        y: 3
        width: 30
        height: 30

        Symbol {
            anchors.centerIn: parent
            width: 16
            height: 5
            name: "ellipsis"
            color: Style.secondaryLabel
        }
        UpdateDot {
            objectName: "updateDot"
            visible: button.hasUpdate
            size: 7
            x: parent.width - width - 1
            y: 1
        }
    }

    HoverHighlight {
        panel: button.panel
        space: button.space
        cornerRadius: 17
        strength: 0.16
        help: "Настройки"
    }

    Pressable {
        name: "Настройки"
        cornerRadius: 17
        onActivated: button.panel.showsSettings = true
    }
}
