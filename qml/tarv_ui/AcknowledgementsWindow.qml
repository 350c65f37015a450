import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import com.quillonworks.tarv_ui

// The licence notices of the software the program is built on, shown as they
// stand in the text its controller hands over. The text selects but does not
// edit, and scrolls by its scroll bar or the wheel, never by a drag.
Window {
    id: root

    property alias acknowledgementText: licenceText.text

    width: 640
    height: 480
    color: theme.default_bg_color
    visible: true
    title: ""
    flags: Qt.WindowCloseButtonHint | Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint
    modality: Qt.ApplicationModal

    TarvTheme { id: theme }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 15
        spacing: 15

        Text {
            objectName: "introText"
            Layout.fillWidth: true
            text: qsTr("TARV|Cue uses a variety of software components in its code. "
                       + "We acknowledge the following software components and licenses used in our code.")
            font: theme.default_font
            color: theme.light_text_color
            wrapMode: Text.WordWrap
        }

        Flickable {
            id: flickable
            objectName: "licenceFlickable"
            Layout.fillWidth: true
            Layout.fillHeight: true
            interactive: false
            clip: true

            ScrollBar.vertical: CustomScrollBar {
                objectName: "licenceScrollBar"
                policy: ScrollBar.AlwaysOn
            }

            TextArea.flickable: TextArea {
                id: licenceText
                objectName: "licenceText"
                rightPadding: 25
                font: theme.default_font
                color: theme.default_text_color
                selectionColor: theme.default_selected_color_intense_opaque
                wrapMode: Text.WordWrap
                readOnly: true
                selectByMouse: true
                background: null
            }

            // A flickable that is not interactive ignores the wheel. Parented
            // to the view itself, not its content, so it stays over the text.
            MouseArea {
                parent: flickable
                anchors.fill: parent
                acceptedButtons: Qt.NoButton
                cursorShape: Qt.IBeamCursor
                onWheel: wheel => {
                    const bottom = Math.max(0, flickable.contentHeight - flickable.height)
                    flickable.contentY = Math.max(0, Math.min(bottom, flickable.contentY - wheel.angleDelta.y))
                }
            }
        }

        FlatButton {
            objectName: "closeButton"
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Close")
            isDefault: true
            onClicked: root.close()
        }
    }
}
