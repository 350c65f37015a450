import QtQuick 2.0
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Qt5Compat.GraphicalEffects

// A raised square tool button: icon above a small caption, with a drop shadow,
// that sinks into the surface while pressed. Its background colours come from
// the `theme` of the document that places it.
Item {
    id: baseControl

    property int offsetSize: 2
    property alias text: mainLabel.text
    property alias imageSource: img.source
    property alias imageWidth: img.width
    property alias imageHeight: img.height
    property alias imageSourceSize: img.sourceSize
    property bool showImage: true
    property int preferredWidth: 18
    property int preferredHeight: 18
    property alias toolTip: toolTip
    property bool hasImageSource: imageSource !== null && String(imageSource) !== ""

    signal clicked()

    width: 64
    height: 42 - (showImage ? (!hasImageSource) * 24 : 24)

    DropShadow {
        anchors.fill: control
        source: control
        z: -1
        transparentBorder: true
        radius: 8.0
        spread: 0.0
        samples: 16
        color: "#66000000"
        horizontalOffset: control.pressed ? 0 : baseControl.offsetSize
        verticalOffset: control.pressed ? 0 : baseControl.offsetSize
    }

    Button {
        id: control
        objectName: "graphicButtonControl"
        width: baseControl.width
        height: baseControl.height
        x: pressed ? baseControl.offsetSize : 0
        y: pressed ? baseControl.offsetSize : 0
        focusPolicy: Qt.TabFocus

        onClicked: baseControl.clicked()
        Keys.onReturnPressed: baseControl.clicked()

        contentItem: ColumnLayout {
            spacing: 0

            // Box and icon both test the flags: the icon's own visible also
            // reads false while the box is hidden, so the box could never
            // show again if it followed the icon.
            Item {
                Layout.preferredWidth: baseControl.preferredWidth
                Layout.preferredHeight: baseControl.preferredHeight
                Layout.alignment: Qt.AlignHCenter
                visible: baseControl.hasImageSource && baseControl.showImage

                Image {
                    id: img
                    objectName: "graphicButtonIcon"
                    width: 18
                    height: 18
                    fillMode: Image.PreserveAspectFit
                    smooth: true
                    clip: true
                    opacity: control.enabled ? 1.0 : 0.3
                    visible: baseControl.hasImageSource && baseControl.showImage
                }
            }

            Text {
                id: mainLabel
                objectName: "graphicButtonLabel"
                font.pixelSize: 9
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                Layout.fillWidth: true
                Layout.fillHeight: baseControl.hasImageSource && baseControl.showImage
                color: !control.enabled ? "#666666" : control.hovered ? "white" : "silver"
            }
        }

        background: Rectangle {
            objectName: "graphicButtonBackground"
            anchors.fill: parent
            color: !control.enabled ? Qt.lighter(theme.default_bg_color, 1.35)
                                    : (control.pressed || control.hovered)
                                      ? Qt.lighter(theme.default_bg_color, 1.3)
                                      : theme.default_bg_color

            FocusHighlight {
                anchors.fill: parent
                visible: control.activeFocus
            }
            BasicBevel {
                bevel_width: 1
            }
        }
    }

    TarvToolTip {
        id: toolTip
        delay: 500
        text: ""
        visible: control.hovered && text !== ""
    }
}
