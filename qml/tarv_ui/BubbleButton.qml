import QtQuick 2.0
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Qt5Compat.GraphicalEffects

// Glossy square icon button for a BubbleButtonBar: dark gradient, optional
// caption and drop-down chevron, blue-tinted icon while toggled on and a
// pulsing glow while radiant.
DelayButton {
    id: control

    property double lightScale: 1.2
    property color textColor: "silver"
    property bool showText: false
    property bool toggled: false
    property bool radiant: false
    property color radiantColor: "green"
    property bool colorToggledOn: false
    property bool showDownChevron: false
    property var imageSource: undefined
    property var toggledOnImageSource: undefined
    property alias toolTip: toolTipControl
    property int pressOffsetX: 2
    property int pressOffsetY: 4

    implicitHeight: 52
    implicitWidth: implicitHeight
    focusPolicy: Qt.TabFocus
    font: theme.default_font

    Keys.onReturnPressed: control.clicked()

    TarvTheme { id: theme }

    TarvToolTip {
        id: toolTipControl
        delay: 500
        text: ""
        visible: control.hovered && text !== ""
    }

    background: Item {
        Rectangle {
            id: mainBackground
            objectName: "bubbleBackground"
            anchors.fill: parent
            gradient: Gradient {
                GradientStop {
                    position: 0.0
                    color: !control.enabled ? "#181818"
                                            : Qt.lighter(control.pressed ? Qt.lighter("#181818", .4)
                                                                         : control.hovered ? Qt.lighter("#181818", .6)
                                                                                           : "black")
                }
                GradientStop {
                    position: 1.0
                    color: Qt.lighter(control.pressed ? Qt.lighter("#282828", .8) : "#222222")
                }
            }
        }

        FocusHighlight {
            anchors.fill: parent
            visible: control.activeFocus
        }

        Colorize {
            id: colorized
            objectName: "glow"
            anchors.fill: mainBackground
            source: mainBackground
            hue: 0.547
            saturation: 0.87
            lightness: 0.10
            visible: control.radiant && control.enabled

            // The lightness pulses only while the glow shows; the hue drifts
            // between two blues for the button's whole life.
            SequentialAnimation on lightness {
                loops: Animation.Infinite
                running: colorized.visible
                NumberAnimation { to: 0.35; duration: 800 }
                NumberAnimation { to: 0.10; duration: 800 }
                NumberAnimation { to: 0.16; duration: 800 }
                NumberAnimation { to: 0.05; duration: 800 }
            }
            SequentialAnimation on hue {
                loops: Animation.Infinite
                NumberAnimation { to: 0.547; duration: 800 }
                NumberAnimation { to: 0.58; duration: 800 }
            }
        }
    }

    contentItem: ColumnLayout {
        spacing: 0

        Item { Layout.fillHeight: true }

        Item {
            id: iconBox
            implicitWidth: 22
            implicitHeight: 22
            Layout.preferredWidth: 22
            Layout.preferredHeight: 22
            Layout.alignment: Qt.AlignHCenter
            Layout.leftMargin: control.pressed ? control.pressOffsetX : 0
            Layout.topMargin: control.pressed ? control.pressOffsetY : 0

            Image {
                id: icon
                objectName: "bubbleIcon"
                anchors.fill: parent
                fillMode: Image.PreserveAspectFit
                opacity: control.enabled && !control.pressed ? 1.0 : 0.5
                source: (control.toggled && control.toggledOnImageSource !== undefined
                         ? control.toggledOnImageSource : control.imageSource) ?? ""
            }

            Colorize {
                objectName: "toggledTint"
                width: icon.width
                height: icon.height
                source: icon
                hue: 0.547
                saturation: 0.82
                lightness: -0.3
                visible: control.toggled && control.colorToggledOn && control.enabled
            }
        }

        Text {
            objectName: "bubbleCaption"
            Layout.fillWidth: true
            text: control.text
            font: theme.default_font
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
            opacity: control.enabled ? 1.0 : 0.3
            visible: control.showText
            color: control.down ? Qt.lighter(control.textColor, .75) : Qt.lighter(control.textColor, 1.0)
        }

        Item { Layout.fillHeight: true }
    }

    Image {
        objectName: "downChevron"
        source: "qrc:/images/arrow_drop_down.svg"
        fillMode: Image.PreserveAspectFit
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.rightMargin: control.pressed ? control.pressOffsetX : control.pressOffsetX + 3
        anchors.bottomMargin: control.pressed ? control.pressOffsetY : control.pressOffsetY + 3
        opacity: control.enabled && !control.pressed ? 1.0 : 0.5
        visible: control.showDownChevron
    }
}
