import QtQuick
import Vigilo

// One line of a settings card: a symbol (or, for an indented row, a short amber bar), a title
// with an optional smaller subtitle, and the row's control at the right end. The parts hang
// from the top, so a control lines up with the title rather than with the subtitle.
Item {
    id: row

    property string symbol
    property string title
    /// Empty for a row of one line.
    property string subtitle
    property bool indented: false
    /// The control at the right end.
    default property alias trailing: trailingSlot.data

    implicitHeight: Math.max(42, content.height) + 2

    Item {
        id: content
        y: (row.height - height) / 2
        width: row.width
        height: Math.max(leading.height, texts.implicitHeight, trailingSlot.height)

        Item {
            id: leading
            width: row.indented ? 10 : 20
            height: row.indented ? 22 : 18

            Rectangle {
                visible: row.indented
                x: 8
                width: 2
                height: parent.height
                color: Style.faded(Style.amber, 0.3)
            }
            Symbol {
                visible: !row.indented
                anchors.centerIn: parent
                width: 18
                height: 15
                name: row.symbol
                color: Style.secondaryLabel
            }
        }

        Column {
            id: texts
            x: leading.width + 10
            width: Math.max(0, trailingSlot.x - 10 - x)
            spacing: 1

            Text {
                width: parent.width
                text: row.title
                font.pointSize: Style.points(12.5)
                color: Style.label
                elide: Text.ElideRight
            }
            Text {
                width: parent.width
                visible: row.subtitle !== ""
                text: row.subtitle
                font.pointSize: Style.points(10.5)
                color: Style.tertiaryLabel
                elide: Text.ElideRight
            }
        }

        Item {
            id: trailingSlot
            x: row.width - width
            width: childrenRect.width
            height: childrenRect.height
        }
    }
}
