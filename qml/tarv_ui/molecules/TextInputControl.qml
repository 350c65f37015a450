import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui

// Caption above a one-line recessed field. Giving the control the focus puts
// the cursor in the field; textChanged() is the notice of an operator's edit.
Item {
    id: control

    property alias text: caption.text
    property alias value: inputField.text
    property alias theme: tarvTheme
    property alias hasFocus: control.focus
    property alias field: inputField.field
    property int spacing: 5
    property int fontSize: 16

    implicitHeight: caption.implicitHeight + spacing + inputField.implicitHeight
    implicitWidth: caption.implicitWidth + inputField.implicitWidth

    onFocusChanged: {
        if (focus)
            inputField.forceActiveFocus()
    }

    TarvTheme { id: tarvTheme }

    Label {
        id: caption
        text: qsTr("Label")
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        height: implicitHeight
        color: tarvTheme.default_text_color
        font.pixelSize: control.fontSize
    }

    RecessedTextInput {
        id: inputField
        objectName: "inputField"
        anchors.top: caption.bottom
        anchors.topMargin: control.spacing
        anchors.left: parent.left
        anchors.right: parent.right
        onTextEdited: control.textChanged()
    }
}
