import QtQuick
import Vigilo

// The general settings tab: a card of five switches and the battery threshold. A switch shows
// the stored value and hands a flip straight to the settings; what a change sets off (a login
// item, the display under a closed lid, a saved preference) is the model's business.
Card {
    id: general

    required property SettingsBridge settings
    required property PanelBridge panel
    required property Item space

    cornerRadius: 14
    implicitHeight: rows.implicitHeight

    Column {
        id: rows
        x: 12
        width: parent.width - 24

        SwitchRow {
            panel: general.panel
            space: general.space
            symbol: "arrow.right.square"
            title: "Запускать при входе"
            enabled: general.settings.canLaunchAtLogin
            checked: general.settings.launchesAtLogin
            onSwitched: (on) => general.settings.launchesAtLogin = on
        }
        SwitchRow {
            panel: general.panel
            space: general.space
            symbol: "play.rectangle"
            title: "Простая анимация"
            checked: general.settings.simpleAnimation
            onSwitched: (on) => general.settings.simpleAnimation = on
        }
        SwitchRow {
            panel: general.panel
            space: general.space
            symbol: "speaker.wave.2"
            title: "Звук"
            subtitle: "наливание и лёд"
            checked: general.settings.soundEnabled
            onSwitched: (on) => general.settings.soundEnabled = on
        }
        SwitchRow {
            panel: general.panel
            space: general.space
            symbol: "display"
            title: "Экран гаснет"
            subtitle: "при закрытой крышке"
            checked: general.settings.turnsScreenOffWithLidClosed
            onSwitched: (on) => general.settings.turnsScreenOffWithLidClosed = on
        }
        SwitchRow {
            panel: general.panel
            space: general.space
            symbol: "eye.slash"
            title: "Скрывать индикаторы"
            subtitle: "CPU · RAM · SSD"
            checked: general.settings.hidesMetrics
            onSwitched: (on) => general.settings.hidesMetrics = on
        }
        SettingRow {
            width: parent.width
            symbol: general.settings.batterySymbol
            title: "Выключать при заряде"
            subtitle: general.settings.batterySubtitle

            GlassControl {
                width: 44
                height: 20
                tint: Style.amber

                Text {
                    anchors.fill: parent
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    text: general.settings.thresholdText
                    font.pixelSize: 10
                    font.weight: Font.DemiBold
                    fontSizeMode: Text.HorizontalFit
                    minimumPixelSize: 8
                    color: Style.amberInk
                }
                Pressable {
                    name: general.settings.thresholdName
                    cornerRadius: parent.radius
                    onActivated: general.settings.cycleBatteryThreshold()
                }
            }
        }
    }

    // A row that ends in the panel's switch, named after the row for screen readers.
    component SwitchRow: SettingRow {
        id: switchRow

        required property PanelBridge panel
        required property Item space
        property bool checked: false
        signal switched(bool on)

        width: parent.width

        CoffeeSwitch {
            panel: switchRow.panel
            space: switchRow.space
            name: switchRow.title
            checked: switchRow.checked
            onSwitched: (on) => switchRow.switched(on)
        }
    }
}
