import QtQuick
import Vigilo

// An application's icon from its reference (an absolute image path or an icon-theme name; empty
// for none), read off the GUI thread at the size the icon provider prefers (22 points at double
// density); the placeholder symbol when there is none or it cannot be read.
Item {
    id: appIcon

    property string reference

    Image {
        id: icon
        objectName: "appIcon"
        anchors.fill: parent
        visible: icon.status === Image.Ready
        source: appIcon.reference !== ""
                ? "image://appicon/" + encodeURIComponent(appIcon.reference) : ""
        sourceSize: Qt.size(44, 44)
        asynchronous: true
        smooth: true
        mipmap: true
    }
    // Not while the icon loads: it would flash before almost every icon.
    Symbol {
        anchors.fill: parent
        visible: icon.status === Image.Null || icon.status === Image.Error
        name: "app.dashed"
        color: Style.tertiaryLabel
    }
}
