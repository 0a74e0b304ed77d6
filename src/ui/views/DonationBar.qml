import QtQuick
import Vigilo

// The occasional question whether the user would buy the author a coffee, with its two
// answers.
Card {
    id: bar

    required property PanelBridge panel

    cornerRadius: 13
    implicitHeight: column.implicitHeight + 20
    Accessible.role: Accessible.Grouping
    Accessible.name: "Купить автору кофе?"

    Column {
        id: column
        x: 10
        y: 10
        width: parent.width - 20
        spacing: 8

        Text {
            width: parent.width
            text: "Купить автору его чертов кофе?"
            font.pixelSize: 12
            font.weight: Font.DemiBold
            color: Style.label
            wrapMode: Text.Wrap
        }
        Row {
            spacing: 8
            PillButton {
                title: "Позже"
                onClicked: bar.panel.postponeDonation()
            }
            PillButton {
                title: "Купить кофе"
                tint: Style.amber
                onClicked: bar.panel.buyCoffee()
            }
        }
    }
}
