import QtQuick
import QtQuick.Window
import Qt5Compat.GraphicalEffects
import com.quillonworks.tarv_ui 1.0

// Asks the operator one question, optionally with a one-line answer. OK and
// Return answer accepted(), Cancel answers cancelled(); each is emitted once,
// after the window has hidden itself. A close without an answer (the title
// bar, or Escape when escapeDismisses is set) emits dismissed() instead, so a
// caller whose Cancel discards work can treat a reflexive Escape as "not now".
Window {
    id: control

    property string type: "INFO"
    property alias text: messageLabel.text
    // Shadows the window caption on purpose: the title is the bold line
    // inside the window, the caption stays empty.
    property alias title: titleLabel.text
    property alias value: inputField.text
    property alias acceptButtonText: okButton.text
    property alias cancelButtonText: cancelButton.text
    property alias showInputField: inputField.visible
    property bool escapeDismisses: false

    // True while an answer closes the window, so the close is not taken for
    // a dismissal; true from a close without an answer until the window has
    // hidden, so dismissed() comes after the hide, as the answers do.
    property bool answering: false
    property bool dismissing: false

    signal accepted()
    signal cancelled()
    signal dismissed()

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

    function answer(answerSignal) {
        if (!visible)
            return
        answering = true
        close()
        answering = false
        answerSignal()
    }

    visible: false
    modality: Qt.ApplicationModal
    flags: Qt.CustomizeWindowHint | Qt.WindowCloseButtonHint | Qt.Dialog
    width: 425
    height: Math.trunc(column.implicitHeight + 32)
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: theme.default_bg_color_popup

    // Keys reach a second window only once it is active.
    onVisibleChanged: {
        if (visible) {
            requestActivate()
        } else if (dismissing) {
            dismissing = false
            dismissed()
        }
    }

    onClosing: {
        console.debug("Closing")
        dismissing = visible && !answering
    }

    TarvTheme { id: theme }

    Item {
        id: content
        objectName: "content"
        anchors.fill: parent
        anchors.margins: 16

        // The field, shown or hidden, holds the focus and passes on the keys
        // it does not use.
        Keys.onPressed: event => {
            if (event.key === Qt.Key_Escape) {
                event.accepted = true
                if (control.escapeDismisses)
                    control.close()
                else
                    control.answer(control.cancelled)
            } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                event.accepted = true
                // Return follows OK: a blank answer is no answer.
                if (okButton.enabled)
                    control.answer(control.accepted)
            }
        }

        // Laid out by anchors rather than a Column: a Column places its
        // children only when the window is polished, so a hidden window would
        // keep a stale height. Empty slots keep their spacing.
        Item {
            id: column
            width: control.width - 32
            implicitHeight: buttonRow.y + buttonRow.height

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

            RecessedTextInput {
                id: inputField
                objectName: "inputField"
                anchors.top: messageLabel.bottom
                anchors.topMargin: 16
                width: parent.width
                anchors.horizontalCenter: parent.horizontalCenter
                backgroundColor: Qt.lighter(theme.default_bg_color, 1.5)
                field.focus: true
            }

            // Cancel centred in the left half, OK in the right half.
            Item {
                id: buttonRow
                anchors.top: inputField.visible ? inputField.bottom : messageLabel.bottom
                anchors.topMargin: 16
                width: parent.width
                height: Math.max(cancelButton.height, okButton.height)

                FlatButton {
                    id: cancelButton
                    objectName: "cancelButton"
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.horizontalCenterOffset: -parent.width / 4
                    text: qsTr("Cancel")
                    onClicked: control.answer(control.cancelled)
                }

                FlatButton {
                    id: okButton
                    objectName: "okButton"
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.horizontalCenterOffset: parent.width / 4
                    text: qsTr("OK")
                    isDefault: true
                    enabled: !inputField.visible || inputField.text.trim() !== ""
                    onClicked: control.answer(control.accepted)
                }
            }
        }
    }
}
