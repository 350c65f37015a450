import QtQuick
import QtQuick.Window
import Qt5Compat.GraphicalEffects
import com.quillonworks.tarv_ui 1.0

// The program's message box: a type icon, a bold title line, the message and
// one OK button. OK, Escape, Return and Enter all close it and then emit
// accepted(); the title bar's close button only hides it.
Window {
    id: control

    property string type: "INFO"
    property alias text: messageLabel.text
    // Shadows the window caption on purpose: the title is the bold line
    // inside the window, the caption stays empty.
    property alias title: titleLabel.text

    signal accepted()

    function getIconFromType(val) {
        switch (String(val).toUpperCase()) {
        case "ERROR": return "qrc:/images/error_icon.svg"
        case "WARNING": return "qrc:/images/warning_icon.svg"
        case "INFO": return "qrc:/images/info_icon.svg"
        default: return ""
        }
    }

    function getIconColorFromType(val) {
        switch (String(val).toUpperCase()) {
        case "ERROR": return "#FF5757"
        case "WARNING": return "#FFC400"
        case "INFO": return "#00AEEF"
        default: return "Silver"
        }
    }

    function getDefaultTitleFromType(val) {
        switch (String(val).toUpperCase()) {
        case "ERROR": return qsTr("Error")
        case "WARNING": return qsTr("Warning")
        default: return qsTr("Information")
        }
    }

    function accept() {
        if (!visible)
            return
        close()
        accepted()
    }

    visible: false
    modality: Qt.ApplicationModal
    flags: Qt.CustomizeWindowHint | Qt.WindowCloseButtonHint | Qt.Dialog
    width: 325
    height: Math.trunc(column.implicitHeight + 32)
    color: theme.default_bg_color_popup

    // Keys reach a second window only once it is active.
    onVisibleChanged: if (visible) requestActivate()

    TarvTheme { id: theme }

    Item {
        id: content
        objectName: "content"
        anchors.fill: parent
        anchors.margins: 16
        focus: true

        Keys.onPressed: event => {
            if (event.key === Qt.Key_Escape || event.key === Qt.Key_Return
                    || event.key === Qt.Key_Enter) {
                event.accepted = true
                control.accept()
            }
        }

        // Laid out by anchors rather than a Column: a Column places its
        // children only when the window is polished, so a hidden window would
        // keep a stale height. Empty slots keep their spacing.
        Item {
            id: column
            width: control.width - 32
            implicitHeight: okButton.y + okButton.height

            // The image is drawn only through its overlay, which takes the
            // image's shape in the type's colour. A sibling, not a child: an
            // overlay inside its own source would feed back into itself.
            Item {
                id: iconSlot
                anchors.top: parent.top
                anchors.horizontalCenter: parent.horizontalCenter
                width: icon.width
                height: icon.height

                Image {
                    id: icon
                    objectName: "icon"
                    source: control.getIconFromType(control.type)
                    sourceSize: Qt.size(72, 72)
                    fillMode: Image.PreserveAspectFit
                    smooth: true
                    // The software renderer draws no overlay: the icon then
                    // shows in its own white.
                    visible: GraphicsInfo.api === GraphicsInfo.Software
                }

                ColorOverlay {
                    objectName: "iconOverlay"
                    anchors.fill: icon
                    source: icon
                    color: control.getIconColorFromType(control.type)
                }
            }

            Text {
                id: titleLabel
                objectName: "titleLabel"
                anchors.top: iconSlot.bottom
                anchors.topMargin: 16
                anchors.horizontalCenter: parent.horizontalCenter
                font.bold: true
                font.pixelSize: theme.default_font.pixelSize + 1
                color: theme.light_text_color
                textFormat: Text.PlainText
            }

            // Messages quote file contents and ids: never render them as markup.
            Text {
                id: messageLabel
                objectName: "messageLabel"
                anchors.top: titleLabel.bottom
                anchors.topMargin: 16
                width: parent.width
                font: theme.default_font
                color: theme.default_text_color
                horizontalAlignment: Text.AlignLeft
                wrapMode: Text.Wrap
                textFormat: Text.PlainText
            }

            FlatButton {
                id: okButton
                objectName: "okButton"
                anchors.top: messageLabel.bottom
                anchors.topMargin: 16
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("OK")
                isDefault: true
                onClicked: control.accept()
            }
        }
    }
}
