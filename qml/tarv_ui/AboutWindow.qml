import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.quillonworks.tarv_ui

// The About box. The root item fills the main window's content and only hosts
// the modal popup, which open() shows; closing the popup leaves the item in
// place, hidden, until the next About request replaces it.
Item {
    id: root

    property string version: "See Installation File for Version Info"
    property alias logoSource: logo.source
    property string copyRight: "Copyright \u00A9 2026 The TARV|Cue developers. All rights reserved."
    property string linkUrl: "https://www.quillonworks.com/tarv-cue/license-agreement"
    property var rootWindow: parent
    property var innerBorderColor: Qt.lighter(theme.default_bg_color, 1.25)
    property var outerBorderColor: Qt.lighter(theme.default_bg_color, 1.5)
    property var textColor: "#C3C3C3"

    signal acknowledgementsClicked()

    function open() {
        about.open()
    }

    anchors.fill: parent

    TarvTheme { id: theme }

    Popup {
        id: about
        objectName: "aboutPopup"

        modal: true
        focus: true
        width: 525
        height: content.implicitHeight + 60
        margins: 30
        padding: 30
        x: ((root.rootWindow ? root.rootWindow.width : root.width) - width) * 0.5
        y: ((root.rootWindow ? root.rootWindow.height : root.height) - height) * 0.5

        onOpened: forceActiveFocus()

        Overlay.modal: Rectangle {
            objectName: "aboutOverlay"
            color: "#88000000"
        }

        background: Rectangle {
            color: theme.default_bg_color
            border.width: 1
            border.color: root.outerBorderColor
            radius: 25

            Rectangle {
                anchors.fill: parent
                anchors.margins: 1
                color: "transparent"
                border.width: 1
                border.color: root.innerBorderColor
                radius: 25
            }
        }

        ColumnLayout {
            id: content
            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            spacing: 15

            // A fixed band, so a missing logo leaves the texts where they are.
            Item {
                Layout.fillWidth: true
                Layout.preferredHeight: 125

                Image {
                    id: logo
                    objectName: "logo"
                    anchors.fill: parent
                    fillMode: Image.PreserveAspectFit
                    smooth: true
                    mipmap: true
                }
            }

            Text {
                objectName: "versionText"
                Layout.fillWidth: true
                text: qsTr("Version %1").arg(root.version)
                font.pixelSize: 16
                color: root.textColor
                horizontalAlignment: Text.AlignLeft
                verticalAlignment: Text.AlignTop
            }

            Text {
                objectName: "copyrightText"
                Layout.fillWidth: true
                // Its implicit height is that of one unwrapped line.
                Layout.preferredHeight: contentHeight
                text: qsTr(root.copyRight)
                font.pixelSize: 12
                color: root.textColor
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignLeft
            }

            RowLayout {
                Layout.alignment: Qt.AlignLeft | Qt.AlignTop
                Layout.bottomMargin: implicitHeight / 4
                spacing: 15

                FlatButton {
                    objectName: "acknowledgementsButton"
                    text: qsTr("Acknowledgments")
                    onClicked: root.acknowledgementsClicked()
                }

                FlatButton {
                    objectName: "licenseButton"
                    text: qsTr("License Agreement")
                    onClicked: Qt.openUrlExternally(root.linkUrl)
                }
            }
        }
    }
}
