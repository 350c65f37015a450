import QtQuick 2.15
import QtQuick.Controls 2.15

// Check box with a rounded 22-pixel box: white when unchecked, steel blue
// with a white tick when checked. The label is rich text.
CheckBox {
    id: customCheckBox

    property string checkboxTextStr: ""
    property string checkboxTextColor: theme.default_text_color

    text: "<font color='" + checkboxTextColor + "'>" + checkboxTextStr + "</font>"
    font: theme.default_font

    TarvTheme { id: theme }

    FocusHighlight {
        anchors.fill: parent
        visible: customCheckBox.activeFocus
        z: -10000
    }

    indicator: Item {
        implicitWidth: 22
        implicitHeight: 22
        x: customCheckBox.leftPadding
        y: customCheckBox.topPadding + (customCheckBox.availableHeight - height) / 2

        Rectangle {
            id: box
            objectName: "checkboxBox"
            width: 22
            height: 22
            radius: 3
            color: customCheckBox.checked ? "steelblue" : "white"
            border.width: 2
            border.color: customCheckBox.activeFocus ? "steelblue" : "transparent"

            Canvas {
                objectName: "checkboxTick"
                anchors.centerIn: parent
                width: box.width
                height: box.height
                visible: customCheckBox.checked
                onPaint: {
                    const ctx = getContext("2d")
                    ctx.clearRect(0, 0, width, height)
                    ctx.strokeStyle = "white"
                    ctx.lineWidth = 2
                    ctx.beginPath()
                    ctx.moveTo(0.2 * width, 0.5 * height)
                    ctx.lineTo(0.4 * width, 0.7 * height)
                    ctx.lineTo(0.8 * width, 0.3 * height)
                    ctx.stroke()
                }
            }
        }
    }

    contentItem: Text {
        objectName: "checkboxLabel"
        leftPadding: customCheckBox.indicator.width + customCheckBox.spacing
        text: customCheckBox.text
        textFormat: Text.RichText
        font: customCheckBox.font
        verticalAlignment: Text.AlignVCenter
    }
}
