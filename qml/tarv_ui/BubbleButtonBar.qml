import QtQuick 2.0
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Qt5Compat.GraphicalEffects

// Black strip with a soft shadow that lays BubbleButtons side by side; the
// strip shows through the one-pixel gaps as separators.
Item {
    id: control

    property int shadowOffsetSize: 2
    default property alias contents: mainRow.data
    property int pad: 0
    property int borderSize: 1

    width: mainRow.implicitWidth + pad
    height: mainRow.implicitHeight + pad

    Rectangle {
        id: mainRectArea
        objectName: "bubbleStrip"
        x: control.pad / 2
        y: control.pad / 2
        width: mainRow.width + 2 * control.borderSize
        height: mainRow.height + 2 * control.borderSize
        color: "black"
        border.width: control.borderSize
        border.color: "black"

        RowLayout {
            id: mainRow
            x: control.borderSize
            y: control.borderSize
            spacing: 1
        }
    }

    DropShadow {
        z: -5
        anchors.fill: mainRectArea
        source: mainRectArea
        transparentBorder: true
        horizontalOffset: control.shadowOffsetSize
        verticalOffset: control.shadowOffsetSize
        radius: 8.0
        spread: 0.0
        samples: 32
        color: "#44000000"
    }
}
