import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui

// Picks a local file, or with `selectFolder` a folder, inside the window that
// holds it. Its list is the chooser's own: Qt's file dialogs of this version
// list another folder, or none, when a folder's name holds "#", "?" or
// "%41". Paths and URLs meet only through LocalPaths.
//
// A click selects an entry and a double click opens a folder or picks a file;
// by keys, Return does the same and Backspace goes up. Open takes the entry
// selected: in a listed folder the first is, as in Qt's dialogs, except in
// folder mode, where Open without a selection takes the folder listed.
// Escape or Cancel answer `rejected`.
Popup {
    id: control

    property url currentFolder
    // The answer, once `accepted`.
    property url selectedFile
    readonly property url selectedFolder: selectedFile
    property bool selectFolder: false
    // Qt's form: "Cue files (*.tarvcue)", then "All files (*)".
    property var nameFilters: []
    property string title: selectFolder ? qsTr("Choose Folder") : qsTr("Open File")

    // Set by an answer, so that the close that follows is not a cancellation.
    property bool answered: false

    signal accepted()
    signal rejected()

    function patternsOf(filter) {
        const bracketed = /\(([^)]*)\)\s*$/.exec(filter || "")
        const patterns = bracketed ? bracketed[1] : (filter || "")
        return patterns.split(/\s+/).filter(pattern => pattern !== "")
    }

    function openFolder(folderUrl) {
        currentFolder = folderUrl
        selectFirst()
    }

    function selectFirst() {
        entries.currentIndex = selectFolder || folderModel.count === 0 ? -1 : 0
    }

    function accept(url) {
        selectedFile = url
        answered = true
        close()
        accepted()
    }

    // Opens a folder entry or picks a file entry; `picking` takes a folder
    // entry, or without one the folder listed, as the folder mode's answer.
    function choose(index, picking) {
        const exists = index >= 0 && index < folderModel.count
        if (!exists) {
            if (selectFolder && picking)
                accept(currentFolder)
            return exists
        }
        if (folderModel.isFolder(index) && !(selectFolder && picking))
            openFolder(folderModel.fileUrl(index))
        else
            accept(folderModel.fileUrl(index))
        return true
    }

    parent: Overlay.overlay
    x: Math.round((parent.width - width) / 2)
    y: Math.round((parent.height - height) / 2)
    width: Math.min(600, parent.width - 20)
    height: Math.min(440, parent.height - 20)
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    padding: 16

    onAboutToShow: {
        answered = false
        selectFirst()
    }
    onOpened: entries.forceActiveFocus()
    onClosed: if (!answered) rejected()

    background: Rectangle {
        color: theme.default_bg_color_popup
        border.color: theme.light_border_color
    }

    TarvTheme { id: theme }

    LocalFolderModel {
        id: folderModel
        folder: control.currentFolder
        showFiles: !control.selectFolder
        nameFilters: control.patternsOf(control.nameFilters[filterBox.currentIndex])
    }

    Text {
        id: caption
        text: control.title
        font: theme.default_font
        color: theme.default_text_color
    }

    Item {
        id: folderRow
        anchors.top: caption.bottom
        anchors.topMargin: 8
        width: parent.width
        height: upButton.height

        FlatButton {
            id: upButton
            objectName: "upButton"
            width: 60
            text: qsTr("Up")
            enabled: LocalPaths.pathOf(control.currentFolder) !== "/"
            onClicked: control.openFolder(LocalPaths.parentOf(control.currentFolder))
            Keys.onReturnPressed: clicked()
        }

        Text {
            objectName: "folderLabel"
            anchors.left: upButton.right
            anchors.leftMargin: 12
            anchors.right: parent.right
            anchors.verticalCenter: upButton.verticalCenter
            text: LocalPaths.pathOf(control.currentFolder)
            font: theme.default_font
            color: theme.light_text_color
            elide: Text.ElideMiddle
            textFormat: Text.PlainText
        }
    }

    Rectangle {
        anchors.top: folderRow.bottom
        anchors.topMargin: 12
        anchors.bottom: buttonRow.top
        anchors.bottomMargin: 12
        width: parent.width
        color: theme.dark_background_color

        RecessedBevel {}

        ListView {
            id: entries
            objectName: "chooserList"
            anchors.fill: parent
            anchors.margins: 2
            clip: true
            model: folderModel
            boundsBehavior: Flickable.StopAtBounds
            activeFocusOnTab: true
            highlightMoveDuration: 0
            Keys.onReturnPressed: event => event.accepted = control.choose(currentIndex, false)
            Keys.onEnterPressed: event => event.accepted = control.choose(currentIndex, false)
            Keys.onPressed: event => {
                if (event.key === Qt.Key_Backspace && upButton.enabled) {
                    event.accepted = true
                    upButton.clicked()
                }
            }

            highlight: Rectangle { color: theme.default_selected_color_intense }

            delegate: Rectangle {
                required property int index
                required property string fileName
                required property bool fileIsDir

                objectName: "chooserEntry" + index
                width: ListView.view.width
                height: 24
                color: entryArea.containsMouse ? theme.default_bg_hover_color : "transparent"

                Text {
                    anchors.fill: parent
                    anchors.leftMargin: 8
                    verticalAlignment: Text.AlignVCenter
                    text: fileIsDir ? fileName + "/" : fileName
                    font: theme.default_font
                    color: fileIsDir ? theme.light_text_color : theme.default_text_color
                    elide: Text.ElideRight
                    textFormat: Text.PlainText
                }

                MouseArea {
                    id: entryArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: {
                        entries.currentIndex = index
                        entries.forceActiveFocus()
                    }
                    onDoubleClicked: control.choose(index, false)
                }
            }

            ScrollBar.vertical: CustomScrollBar {}
        }
    }

    Item {
        id: buttonRow
        anchors.bottom: parent.bottom
        width: parent.width
        height: openButton.height

        CustomComboBox {
            id: filterBox
            objectName: "filterBox"
            anchors.left: parent.left
            anchors.right: cancelButton.left
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            outerMargin: 0
            visible: control.nameFilters.length > 1
            model: control.nameFilters
        }

        FlatButton {
            id: cancelButton
            objectName: "cancelButton"
            anchors.right: openButton.left
            anchors.rightMargin: 12
            width: 90
            text: qsTr("Cancel")
            onClicked: control.close()
            Keys.onReturnPressed: clicked()
        }

        FlatButton {
            id: openButton
            objectName: "openButton"
            anchors.right: parent.right
            width: 90
            text: control.selectFolder ? qsTr("Choose") : qsTr("Open")
            isDefault: true
            enabled: control.selectFolder || entries.currentIndex >= 0
            onClicked: control.choose(entries.currentIndex, true)
            Keys.onReturnPressed: clicked()
        }
    }
}
