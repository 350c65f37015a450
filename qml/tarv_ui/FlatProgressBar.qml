import QtQuick
import QtQuick.Controls
import Qt5Compat.GraphicalEffects

// Flat progress bar whose fill carries a lighter sweep at its leading edge
// after every change of value.
ProgressBar {
    id: control

    property color fillColor: "#26a5de"
    property color backgroundColor: "#525252"
    property int boxRadius: 3
    property int barHeight: 12
    property var lastUpdateTime: Date.now()

    onValueChanged: {
        lastUpdateTime = Date.now()
        gradAnimate.restart()
    }
    Component.onCompleted: gradAnimate.start()

    background: Rectangle {
        implicitWidth: 200
        implicitHeight: control.barHeight
        color: control.backgroundColor
        radius: control.boxRadius
    }

    contentItem: Item {
        implicitWidth: 200
        implicitHeight: control.barHeight
        clip: true

        Rectangle {
            id: fillBar
            objectName: "fillBar"
            width: control.visualPosition * parent.width
            height: parent.height
            radius: control.boxRadius
            color: control.fillColor
            clip: true

            Rectangle {
                id: fillBarTip
                objectName: "fillBarTip"
                anchors.right: parent.right
                height: parent.height
                color: control.fillColor
                width: control.visualPosition * 64 > control.boxRadius ? control.visualPosition * 64 : 0
                radius: control.visualPosition * control.width <= control.boxRadius
                        || (1 - control.visualPosition) * control.width <= control.boxRadius ? control.boxRadius : 0
            }

            LinearGradient {
                anchors.fill: fillBarTip
                source: fillBarTip
                start: Qt.point(0, 0)
                end: Qt.point(fillBarTip.width, 0)
                gradient: Gradient {
                    GradientStop { position: 0.0; color: control.fillColor }
                    GradientStop { id: grad; position: 0.0; color: control.fillColor }
                    GradientStop { position: 1.0; color: Qt.lighter(control.fillColor, 1.6) }
                }
            }
        }
    }

    NumberAnimation {
        id: gradAnimate
        target: grad
        property: "position"
        from: 0.0
        to: fillBarTip.width > 0 ? (fillBarTip.width - 1) / fillBarTip.width : 0.0
        duration: 1000
        easing.type: Easing.Linear
        loops: 1
    }
}
