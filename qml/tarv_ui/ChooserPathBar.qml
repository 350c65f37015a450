import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui

// The folder a chooser lists: Up, the folder's path as text that may be
// edited (Return asks to go there) and, below, a button for each folder
// along the path. A notice, while there is one, stands in the buttons' place.
Item {
    id: control

    property url folder
    property string notice: ""

    signal folderPicked(url folderUrl)
    signal pathEntered(string path)
    signal pathEdited()

    // Gives the path's text the keys, all of it selected.
    function editPath() {
        pathField.forceActiveFocus()
        pathField.field.selectAll()
    }

    // Puts the folder's path back in place of an edited one.
    function showFolder() {
        pathField.text = LocalPaths.pathOf(folder)
    }

    implicitHeight: upButton.height + 6 + crumbs.height
    onFolderChanged: showFolder()

    TarvTheme { id: theme }

    FlatButton {
        id: upButton
        objectName: "upButton"
        width: 60
        text: qsTr("Up")
        // Backspace in the list does the same; Tab skips it.
        focusPolicy: Qt.NoFocus
        enabled: LocalPaths.pathOf(control.folder) !== "/"
        onClicked: control.folderPicked(LocalPaths.parentOf(control.folder))
    }

    RecessedTextInput {
        id: pathField
        objectName: "chooserPath"
        anchors.left: upButton.right
        anchors.leftMargin: 12
        anchors.right: parent.right
        anchors.verticalCenter: upButton.verticalCenter
        backgroundColor: Qt.lighter(theme.default_bg_color, 1.5)
        onTextEdited: control.pathEdited()
        field.Keys.onReturnPressed: control.pathEntered(text)
        field.Keys.onEnterPressed: control.pathEntered(text)
    }

    Item {
        id: crumbs
        anchors.top: upButton.bottom
        anchors.topMargin: 6
        width: parent.width
        height: 18
        clip: true

        // The path's end stays in view when it is wider than the bar.
        Row {
            x: Math.min(0, crumbs.width - width)
            spacing: 4
            visible: control.notice === ""

            Repeater {
                model: LocalPaths.foldersAlong(control.folder)

                Text {
                    required property int index
                    required property var modelData

                    objectName: "crumb" + index
                    text: (index > 1 ? "› " : "") + modelData.name
                    font.pixelSize: theme.default_font.pixelSize
                    font.underline: crumbArea.containsMouse
                    color: theme.light_text_color
                    textFormat: Text.PlainText

                    MouseArea {
                        id: crumbArea
                        anchors.fill: parent
                        hoverEnabled: true
                        cursorShape: Qt.PointingHandCursor
                        onClicked: control.folderPicked(modelData.url)
                    }
                }
            }
        }

        Text {
            objectName: "chooserNotice"
            anchors.fill: parent
            text: control.notice
            visible: text !== ""
            font: theme.default_font
            color: "#FF5757"
            elide: Text.ElideRight
            textFormat: Text.PlainText
        }
    }
}
