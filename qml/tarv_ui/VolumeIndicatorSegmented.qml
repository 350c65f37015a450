pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects

// Level meter of lit and unlit segments with a dB read-out. The lit share
// follows e^(dB/25), which crowds the quiet levels together.
Item {
    id: control

    property real value: 0.0
    property int segments: 8
    property color startColor: "green"
    property color endColor: "lightgreen"
    property color darkSegmentColor: "#444"
    property int segmentHeight: 8
    property int spacing: Math.max(Math.ceil(segmentHeight * 0.10), Math.ceil(grayBar.width / segments * 0.05))
    property int radius: Math.ceil(segmentHeight * 0.10)
    property bool enableInnerGlow: true
    property real minDB: -60

    function interpolateColor(startColor, endColor, progress) {
        return Qt.rgba(startColor.r + (endColor.r - startColor.r) * progress,
                       startColor.g + (endColor.g - startColor.g) * progress,
                       startColor.b + (endColor.b - startColor.b) * progress,
                       startColor.a + (endColor.a - startColor.a) * progress)
    }

    QtObject {
        id: level
        readonly property real decibels: 20 * Math.log10(control.value)
        readonly property real fill: control.value === 0 ? 0 : Math.exp(decibels / 25)
        readonly property string readout: control.value === 0 ? "-\u221E dB" : Math.round(decibels) + " dB"
    }

    RowLayout {
        anchors.fill: parent
        anchors.margins: 2

        Rectangle {
            id: grayBar
            objectName: "grayBar"
            Layout.fillWidth: true
            Layout.preferredHeight: control.segmentHeight
            color: "transparent"

            Row {
                spacing: control.spacing

                Repeater {
                    objectName: "segmentRepeater"
                    model: control.segments

                    delegate: Rectangle {
                        id: segment

                        required property int index
                        readonly property real position: index / control.segments

                        height: grayBar.height
                        width: (grayBar.width - control.spacing * control.segments) / control.segments
                        color: control.darkSegmentColor
                        radius: control.radius

                        Rectangle {
                            id: litPart
                            objectName: "litPart"
                            height: segment.height
                            radius: control.radius
                            width: segment.position + 1 / control.segments < level.fill
                                   ? segment.width
                                   : (level.fill - segment.position)
                                     * (grayBar.width - control.spacing * (control.segments - 1))
                            color: level.fill > segment.position
                                   ? control.interpolateColor(control.startColor, control.endColor, segment.position)
                                   : "#444"
                        }

                        InnerShadow {
                            anchors.fill: litPart
                            source: litPart
                            horizontalOffset: 0
                            verticalOffset: 0
                            radius: 22
                            samples: 32
                            color: "yellow"
                            cached: true
                            smooth: true
                            visible: control.enableInnerGlow && litPart.width > 0
                        }
                    }
                }
            }
        }

        Text {
            objectName: "readout"
            Layout.preferredWidth: 35
            horizontalAlignment: Text.AlignRight
            font.pixelSize: 10
            color: "silver"
            text: level.readout
        }
    }
}
