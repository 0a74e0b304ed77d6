import QtQuick
import Vigilo

// One line of text, centred, whose digits each take the width of the font's widest digit, so a
// number that changes does not shift the line (Qt cannot ask this version's fonts for tabular
// figures). A digit that changes counts up: the old one rises out as the new one rises in from
// below, with a spring (0.35 s, no bounce); `instant` changes digits at once. A line too wide
// for the item shrinks down to `minimumScale`; still too wide, it is shown cut off with an
// ellipsis, without the counting.
Item {
    id: line

    property string text
    property font font
    property color color
    property bool instant: false
    property real minimumScale: 1

    /// The text cut into runs of other characters and single digits.
    readonly property var pieces: text.match(/[0-9]|[^0-9]+/g) ?? []
    readonly property real digitWidth: {
        void metrics.font
        let widest = 0
        for (let digit = 0; digit <= 9; ++digit)
            widest = Math.max(widest, metrics.advanceWidth(String(digit)))
        return widest
    }
    readonly property real fit: Math.max(minimumScale,
                                         Math.min(1, width / Math.max(1, row.implicitWidth)))

    readonly property bool fits: row.implicitWidth * fit <= width + 0.5

    implicitWidth: row.implicitWidth
    implicitHeight: metrics.height

    FontMetrics {
        id: metrics
        font: line.font
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        width: line.width / line.fit
        transformOrigin: Item.Top
        scale: line.fit
        visible: !line.fits
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        text: line.text
        font: line.font
        color: line.color
    }

    Row {
        id: row
        anchors.horizontalCenter: parent.horizontalCenter
        transformOrigin: Item.Top
        scale: line.fit
        visible: line.fits

        Repeater {
            model: line.pieces.length

            Item {
                id: piece
                required property int index
                readonly property string shownText: line.pieces[index] ?? ""
                readonly property bool isDigit: /^[0-9]$/.test(shownText)
                /// The text shown before the latest change.
                property string previous
                readonly property real rise: height * 0.6

                width: isDigit ? line.digitWidth : shown.implicitWidth
                height: metrics.height

                Component.onCompleted: previous = shownText
                onShownTextChanged: {
                    if (isDigit && /^[0-9]$/.test(previous)) {
                        leaving.text = previous
                        counting.jumpTo(0)
                        counting.target = 1
                    }
                    previous = shownText
                }

                SpringValue {
                    id: counting
                    target: 1
                    response: 0.35
                    dampingFraction: 1
                    instant: line.instant
                }

                Text {
                    id: shown
                    objectName: "countingPiece"
                    anchors.horizontalCenter: parent.horizontalCenter
                    y: (1 - counting.value) * piece.rise
                    opacity: counting.value
                    text: piece.shownText
                    font: line.font
                    color: line.color
                }
                Text {
                    id: leaving
                    objectName: "leavingDigit"
                    anchors.horizontalCenter: parent.horizontalCenter
                    y: -counting.value * piece.rise
                    opacity: 1 - counting.value
                    visible: opacity > 0
                    font: line.font
                    color: line.color
                }
            }
        }
    }
}
