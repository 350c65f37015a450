import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui

// Caption above an editable path field with a "Choose" button that opens the
// folder dialog. textChanged() is the notice that the path was edited.
Item {
    id: control

    property alias text: caption.text
    property alias value: pathField.text
    property alias theme: tarvTheme
    property alias field: pathField.field
    property alias button: chooseButton
    property int spacing: 10
    property int fontSize: 16

    implicitHeight: caption.implicitHeight + spacing + pathField.implicitHeight
    implicitWidth: caption.implicitWidth + pathField.implicitWidth

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
        id: pathField
        objectName: "pathField"
        anchors.top: caption.bottom
        anchors.topMargin: control.spacing
        anchors.left: parent.left
        anchors.right: chooseButton.left
        anchors.rightMargin: control.spacing
        onTextEdited: control.textChanged()
    }

    FlatButton {
        id: chooseButton
        objectName: "chooseButton"
        width: 80
        text: qsTr("Choose")
        anchors.top: pathField.top
        anchors.bottom: pathField.bottom
        anchors.right: parent.right
        onClicked: folderDialog.openIn([LocalPaths.urlOf(pathField.text),
                                        folderDialog.currentFolder])
        Keys.onReturnPressed: chooseButton.clicked()
    }

    FileChooser {
        id: folderDialog
        objectName: "folderDialog"
        selectFolder: true
        onAccepted: {
            control.value = LocalPaths.pathOf(selectedFolder)
            control.textChanged()
        }
    }
}
