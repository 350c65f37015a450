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
//
// Nothing here waits for the file system: the chooser opens at once on the
// first of its start folders (openIn), says "Reading the folder…" until the
// folder is read, goes on to the next start folder when one does not exist,
// and says after a few seconds that a folder does not answer, while Up,
// Backspace, the path and Cancel go on working. It takes the keys from the
// frame that first shows it: keys pressed before act on the window behind.
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
    // Set between openIn and the frame that shows the chooser.
    property bool opening: false
    // The start folders not tried yet, while the chooser still looks for
    // one that exists; empty once the operator went elsewhere.
    property var fallbacks: []
    // The typed path being looked up.
    property string typedPath: ""
    // Why a typed path was not taken; cleared by the next edit or folder.
    property string notice: ""

    signal accepted()
    signal rejected()

    function patternsOf(filter) {
        const bracketed = /\(([^)]*)\)\s*$/.exec(filter || "")
        const patterns = bracketed ? bracketed[1] : (filter || "")
        return patterns.split(/\s+/).filter(pattern => pattern !== "")
    }

    // Opens on the first of `candidates` (URLs; empty ones are skipped),
    // falling back along them and then to the home folder while one does
    // not exist.
    function openIn(candidates) {
        const folders = LocalPaths.startFolders(candidates)
        currentFolder = folders[0]
        fallbacks = folders.slice(1)
        opening = true
        const shownIn = Overlay.overlay ? Overlay.overlay.Window.window : null
        if (shownIn)
            shownIn.update()
        openAnyway.restart()
    }

    function showNow() {
        if (!opening)
            return
        opening = false
        openAnyway.stop()
        open()
    }

    function openFolder(folderUrl) {
        notice = ""
        typedPath = ""
        fallbacks = []
        currentFolder = folderUrl
        selectFirst()
    }

    function goUp() {
        if (LocalPaths.pathOf(currentFolder) !== "/")
            openFolder(LocalPaths.parentOf(currentFolder))
    }

    // A typed path, absolute or from the folder listed: a folder opens, a
    // file is picked, and anything else is named in the chooser. It is
    // looked up away from the window; the list's keys wait for the answer.
    function goTo(path) {
        typedPath = path.trim()
        pathQuery.ask(LocalPaths.resolved(currentFolder, typedPath))
        entries.forceActiveFocus()
    }

    function pathAnswered(url, kind) {
        const path = typedPath
        typedPath = ""
        if (kind === LocalPathQuery.Folder) {
            openFolder(url)
        } else if (!selectFolder && kind === LocalPathQuery.File) {
            accept(url)
        } else {
            notice = kind === LocalPathQuery.File ? qsTr("\"%1\" is not a folder.").arg(path)
                                                  : qsTr("There is no file or folder \"%1\".").arg(path)
            pathBar.editPath()
        }
        listKeys.loading = folderModel.loading || pathQuery.waiting
        listKeys.replay()
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
        typedPath = ""
        listKeys.forget()
        pathBar.showFolder()
        selectFirst()
    }
    onOpened: entries.forceActiveFocus()
    onClosed: {
        opening = false
        if (!answered)
            rejected()
    }

    // The frame that shows the chooser is the one after openIn.
    Connections {
        target: control.opening && control.Overlay.overlay ? control.Overlay.overlay.Window.window
                                                            : null
        function onAfterAnimating() { control.showNow() }
    }

    // Without a frame (a window not shown), it opens all the same.
    Timer {
        id: openAnyway
        interval: 250
        onTriggered: control.showNow()
    }

    LocalPathQuery {
        id: pathQuery
        onAnswered: (url, kind) => control.pathAnswered(url, kind)
        onNotAnsweringChanged: {
            if (notAnswering)
                control.notice = qsTr("\"%1\" does not answer.").arg(control.typedPath)
        }
    }

    background: Rectangle {
        color: theme.default_bg_color_popup
        border.color: theme.light_border_color
    }

    TarvTheme { id: theme }

    LocalFolderModel {
        id: folderModel
        folder: control.currentFolder
        // A closed chooser reads and watches nothing.
        active: control.visible || control.opening
        showFiles: !control.selectFolder
        nameFilters: control.patternsOf(control.nameFilters[filterBox.currentIndex])
        // A folder is read away from the window: its first entry is selected
        // once it is listed.
        onLoadingChanged: {
            // Set here rather than bound, so that it is current for the replay.
            listKeys.loading = loading || pathQuery.waiting
            if (!loading) {
                control.selectFirst()
                listKeys.replay()
            }
        }
        onMissingChanged: {
            if (missing && control.fallbacks.length > 0) {
                const next = control.fallbacks[0]
                control.fallbacks = control.fallbacks.slice(1)
                control.currentFolder = next
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
                onUpPressed: control.goUp()
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
        ChooserListNote {
            anchors.fill: parent
            model: folderModel
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
