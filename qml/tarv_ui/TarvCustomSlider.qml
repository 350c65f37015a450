import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects

// Horizontal slider with a zero mark that drags snap onto, arrow-key steps and
// a right-click popup in which the value is typed. Display and entry go
// through customDisplayFunction and customInvertFunction, so a window can
// show the value in its own unit.
Slider {
    id: control

    property real zeroMark: 0.5
    property int zeroMarkWidth: 2
    property bool showZeroMark: true
    property string barFillColor: "#26a5de"
    property real snapTolerance: 0.03
    property real step: 5.0
    property alias sliderStep: control.step
    readonly property bool isFocused: activeFocus
    property var customDisplayFunction: function (value) {
        return Number(value).toFixed(3)
    }
    property var customInvertFunction: function (text) {
        return parseFloat(text)
    }

    value: 0.5
    from: 0
    to: 1
    focusPolicy: Qt.StrongFocus

    // Only the user's own moves snap; key steps and typed values do not.
    onMoved: {
        if (showZeroMark && Math.abs(value - zeroMark) / (to - from) < snapTolerance)
            value = zeroMark
    }

    Keys.onRightPressed: value = Math.min(value + step, to)
    Keys.onLeftPressed: value = Math.max(value - step, from)

    // Takes the typed text through the invert function; text that gives no
    // number leaves the value alone rather than handing NaN on.
    function commitEntry() {
        const entered = customInvertFunction(valueField.text)
        if (typeof entered === "number" && !isNaN(entered))
            value = entered
        valuePopup.close()
    }

    TarvTheme { id: theme }

    background: Rectangle {
        id: track
        x: control.leftPadding
        y: control.topPadding + control.availableHeight / 2 - height / 2
        implicitWidth: 200
        implicitHeight: 4
        width: control.availableWidth
        height: implicitHeight
        radius: 2
        color: "#555555"

        Rectangle {
            objectName: "sliderFill"
            width: control.visualPosition * track.width
            height: track.height
            radius: 2
            color: control.barFillColor
        }

        // Sits under the handle's centre whenever the handle stands at zeroMark.
        Rectangle {
            readonly property real share: (control.zeroMark - control.from) / (control.to - control.from)

            objectName: "zeroMark"
            x: share * track.width - sliderHandle.width * (share - 0.5) - control.zeroMarkWidth / 2
            y: -7
            z: -50
            width: control.zeroMarkWidth
            height: track.height + 15
            radius: 1
            color: "#666666"
            visible: control.showZeroMark
        }
    }

    handle: Rectangle {
        id: sliderHandle
        objectName: "sliderHandle"
        x: control.leftPadding + control.visualPosition * (control.availableWidth - width)
        y: control.topPadding + control.availableHeight / 2 - height / 2
        implicitWidth: 16
        implicitHeight: 12
        radius: 2
        color: control.pressed || control.hovered ? Qt.lighter("#69696a", 1.3) : "#69696a"

        FocusHighlight {
            anchors.fill: parent
            visible: control.activeFocus
        }
    }

    DropShadow {
        z: 1
        x: sliderHandle.x
        y: sliderHandle.y
        width: sliderHandle.width
        height: sliderHandle.height
        source: sliderHandle
        transparentBorder: true
        horizontalOffset: 0
        verticalOffset: 0
        color: "#aa000000"
        radius: 8.0
        spread: 0.0
        samples: 20
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: {
            valueField.text = control.customDisplayFunction(control.value)
            valuePopup.open()
            valueField.forceActiveFocus()
        }
    }

    Popup {
        id: valuePopup
        objectName: "valuePopup"
        x: 0
        y: 0
        width: 200
        height: 50
        modal: true
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent

        background: Rectangle {
            color: Qt.darker(theme.default_bg_color, 1.4)
            border.width: 0
        }

        // Only Return and OK commit: Escape, a press outside and a lost focus
        // close the popup and keep the value.
        RowLayout {
            anchors.centerIn: parent
            spacing: 10
            Keys.onReturnPressed: control.commitEntry()

            RecessedTextInput {
                id: valueField
                objectName: "valueField"
                Layout.preferredWidth: 120
            }

            FlatButton {
                objectName: "valueOkButton"
                text: "OK"
                onClicked: control.commitEntry()
            }
        }
    }
}
