import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui

// Read-only path field with a "Choose" button that opens the file dialog;
// keeps both the chosen file's URL and its path text.
Item {
    id: control

    property alias text: caption.text
    property alias value: pathField.text
    property alias theme: tarvTheme
    property alias field: pathField.field
    property alias button: chooseButton
    property alias nameFilters: fileDialog.nameFilters
    property int spacing: 10
    property int fontSize: 16
    property url fileUrl: Qt.resolvedUrl(".")
    // Where the dialog opens; choosing a file moves it to that file's folder.
    // Unset or gone, the dialog opens in the first of `fallbackFolders` that
    // exists, else where it was last, else in the home folder.
    property url folder: ""
    property var fallbackFolders: []

    implicitHeight: caption.implicitHeight + spacing + pathField.implicitHeight
    implicitWidth: caption.implicitWidth + pathField.implicitWidth

    TarvTheme { id: tarvTheme }

    Label {
        id: caption
        text: qsTr("Label")
        visible: false
        width: 0
        height: 0
        color: tarvTheme.default_text_color
        font.pixelSize: control.fontSize
    }

    RecessedTextInput {
        id: pathField
        objectName: "pathField"
        editable: false
        anchors.top: parent.top
        anchors.topMargin: control.spacing
        anchors.left: parent.left
        anchors.right: chooseButton.left
        anchors.rightMargin: control.spacing
    }

    FlatButton {
        id: chooseButton
        objectName: "chooseButton"
        width: 60
        text: qsTr("Choose")
        anchors.top: pathField.top
        anchors.bottom: pathField.bottom
        anchors.right: parent.right
        onClicked: fileDialog.openIn([control.folder].concat(control.fallbackFolders,
                                                             [fileDialog.currentFolder]))
        Keys.onReturnPressed: chooseButton.clicked()
    }

    FileChooser {
        id: fileDialog
        objectName: "fileDialog"
        onAccepted: {
            control.fileUrl = selectedFile
            control.folder = LocalPaths.parentOf(selectedFile)
            control.value = LocalPaths.pathOf(selectedFile)
            control.textChanged()
        }
    }
}
