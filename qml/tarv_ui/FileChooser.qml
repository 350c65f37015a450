import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui

// Picks a local file, or with `selectFolder` a folder, inside the window that
// holds it. Its list is the chooser's own: Qt's file dialogs of this version
// list another folder, or none, when a folder's name holds "#", "?" or
// "%41". Paths and URLs meet only through LocalPaths.
//
// A click selects an entry and a double click opens a folder or picks a file;
// by keys, Return does the same, Backspace goes up, Home, End, PageUp and
// PageDown move, and typing a name's first letters selects it. Ctrl+L takes
// a path typed or pasted, and each folder along the path opens by a click.
// Open takes the entry selected: in a listed folder the first is, as in Qt's
// dialogs, except in folder mode, where Open without a selection takes the
// folder listed. Escape or Cancel answer `rejected`.
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
    // Why a typed path was not taken; cleared by the next edit or folder.
    property string notice: ""

    signal accepted()
    signal rejected()

    function patternsOf(filter) {
        const bracketed = /\(([^)]*)\)\s*$/.exec(filter || "")
        const patterns = bracketed ? bracketed[1] : (filter || "")
        return patterns.split(/\s+/).filter(pattern => pattern !== "")
    }

    function openFolder(folderUrl) {
        notice = ""
        currentFolder = folderUrl
        selectFirst()
    }

    // A typed path, absolute or from the folder listed: a folder opens, a
    // file is picked, and anything else is named in the chooser.
    function goTo(path) {
        const url = LocalPaths.resolved(currentFolder, path.trim())
        if (LocalPaths.isFolder(url)) {
            openFolder(url)
            entries.forceActiveFocus()
        } else if (!selectFolder && LocalPaths.isFile(url)) {
            accept(url)
        } else {
            notice = LocalPaths.isFile(url) ? qsTr("\"%1\" is not a folder.").arg(path)
                                            : qsTr("There is no file or folder \"%1\".").arg(path)
        }
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
        notice = ""
        listKeys.forget()
        pathBar.showFolder()
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
        // A folder is read away from the window: its first entry is selected
        // once it is listed.
        onLoadingChanged: {
            // Set here rather than bound, so that it is current for the replay.
            listKeys.loading = loading
            if (!loading) {
                control.selectFirst()
                listKeys.replay()
            }
        }
    }

    Shortcut {
        sequence: "Ctrl+L"
        enabled: control.opened
        onActivated: pathBar.editPath()
    }

    Text {
        id: caption
        text: control.title
        font: theme.default_font
        color: theme.default_text_color
    }

    ChooserPathBar {
        id: pathBar
        anchors.top: caption.bottom
        anchors.topMargin: 8
        width: parent.width
        folder: control.currentFolder
        notice: control.notice
        onFolderPicked: folderUrl => control.openFolder(folderUrl)
        onPathEntered: path => control.goTo(path)
        onPathEdited: control.notice = ""
    }

    Rectangle {
        anchors.top: pathBar.bottom
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
            Keys.onPressed: event => event.accepted = listKeys.take(event)

            ChooserKeys {
                id: listKeys
                list: entries
                onChosen: index => control.choose(index, false)
                onUpPressed: {
                    if (LocalPaths.pathOf(control.currentFolder) !== "/")
                        control.openFolder(LocalPaths.parentOf(control.currentFolder))
                }
            }

            highlight: Rectangle { color: theme.default_selected_color_intense }

            delegate: ChooserEntry {
                required property int index
                required property string fileName
                required property bool fileIsDir
                required property real fileSize
                required property date fileModified

                row: index
                name: fileName
                isFolder: fileIsDir
                size: fileSize
                modified: fileModified
                onSelected: {
                    entries.currentIndex = index
                    entries.forceActiveFocus()
                }
                onChosen: control.choose(index, false)
            }

            ScrollBar.vertical: CustomScrollBar {}
        }

        // A slow mount may take a while; the window goes on meanwhile.
        Text {
            anchors.centerIn: parent
            visible: folderModel.loading
            text: qsTr("Reading the folder…")
            font: theme.default_font
            color: theme.dim_text_color
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
            Keys.onEnterPressed: clicked()
        }

        FlatButton {
            id: openButton
            objectName: "openButton"
            anchors.right: parent.right
            width: 90
            text: control.selectFolder ? qsTr("Choose") : qsTr("Open")
            isDefault: true
            enabled: control.selectFolder || entries.currentIndex >= 0
            onClicked: {
                entries.forceLayout() // see ChooserKeys.act
                control.choose(entries.currentIndex, true)
            }
            Keys.onReturnPressed: clicked()
            Keys.onEnterPressed: clicked()
        }
    }
}
