import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// "Event ID: sfx.3" in small dim text; a click copies the id to the clipboard
// and shows "Copied!" for a second. Reads theme from the holding document.
Item {
    id: control

    property string value: ""
    property alias text: caption.text

    implicitHeight: row.implicitHeight
    implicitWidth: row.implicitWidth

    RowLayout {
        id: row

        Text {
            id: caption
            text: "Event ID:"
            font: theme.small_font
            color: theme.dim_text_color
        }

        TextEdit {
            id: mainLabel
            objectName: "mainLabel"
            text: control.value === "" ? "(none)" : control.value
            readOnly: true
            font: theme.small_font
            color: theme.dim_text_color
            wrapMode: TextEdit.WordWrap
            selectByMouse: true
            selectionColor: "transparent"

            ToolTip.text: "Click to Copy to Clipboard"
            ToolTip.visible: idArea.containsMouse
            ToolTip.delay: 1000
            ToolTip.timeout: 5000

            MouseArea {
                id: idArea
                objectName: "idArea"
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: {
                    mainLabel.selectAll()
                    mainLabel.copy()
                    copiedNotice.visible = true
                    if (!hideNoticeTimer.running)
                        hideNoticeTimer.start()
                }
            }
        }

        Text {
            id: copiedNotice
            objectName: "copiedNotice"
            text: "Copied!"
            font: theme.small_font
            color: theme.dim_text_color
            visible: false

            Timer {
                id: hideNoticeTimer
                interval: 1000
                repeat: false
                running: false
                onTriggered: copiedNotice.visible = false
            }
        }
    }
}
