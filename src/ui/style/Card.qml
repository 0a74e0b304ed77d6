import QtQuick
import Vigilo

// The surface behind a block of content: a faint fill and a hairline edge. It adds no padding.
Rectangle {
    property real cornerRadius: 13

    radius: cornerRadius
    color: Style.cardFill
    border.width: 0.5
    border.color: Style.hairline
}
