import QtQuick
import QtQuick.Controls

// Small pan dial from -1 to 1 with L and R marks and a notch at the top; a
// turn that ends close to the centre snaps onto it.
Dial {
    id: control

    property real zeroMark: 0
    property bool showZeroMark: true
    property string barFillColor: "#26a5de"
    property real snapTolerance: 0.05
    property bool ctrlPressed: false

    width: 25
    height: 25
    value: 0.0
    from: -1
    to: 1
    inputMode: Dial.Horizontal

    onMoved: {
        if (showZeroMark && Math.abs(value - zeroMark) / (to - from) < snapTolerance)
            value = zeroMark
    }

    background: Rectangle {
        id: face
        objectName: "dialFace"
        width: Math.max(10, Math.min(control.width, control.height))
        height: width
        x: (control.width - width) / 2
        y: (control.height - height) / 2
        radius: width / 2
        color: control.pressed || control.hovered ? Qt.lighter("#69696a", 1.3) : "#69696a"
        opacity: control.enabled ? 1 : 0.3

        Rectangle {
            anchors.fill: parent
            color: "blue"
            visible: control.ctrlPressed
        }

        // Behind the face: only the part above its top edge shows.
        Rectangle {
            objectName: "dialNotch"
            width: 3
            height: face.height
            x: (face.width - width) / 2
            y: -pointer.height / 2
            z: -50
            radius: 1
            color: "lime"
            visible: control.showZeroMark
        }
    }

    handle: Rectangle {
        id: pointer
        width: 2
        height: Math.min(control.height, control.width) / 4
        x: face.x + (face.width - width) / 2
        y: face.y
        color: "#2d2d2d"
        antialiasing: true
        transform: Rotation {
            origin.x: pointer.width / 2
            origin.y: face.height / 2
            angle: control.angle
        }
    }

    Text {
        id: leftLabel
        text: "L"
        font.pixelSize: 7
        color: "white"
        x: 0
        y: control.height - height / 2
    }

    Text {
        text: "R"
        font.pixelSize: 7
        color: "white"
        x: control.width - leftLabel.width
        y: control.height - height / 2
    }
}
