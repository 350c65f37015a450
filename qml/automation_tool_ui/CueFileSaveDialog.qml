import QtQuick
import QtQuick.Controls
import QtQuick.Window
import com.quillonworks.tarv_ui
import com.quillonworks.automation_tool_ui

// Asks where to save the cue list: a folder, browsed in the list, and a file
// name, typed or taken from a file of the list. Save takes the typed name at
// once, by a click or by Return in the name field; the ".tarvcue" suffix is
// added when the name lacks it in any letter case, unless a listed show has
// that name with its suffix in other letters: that show is meant. A name with
// a "/" is a path of its own, absolute or below the folder shown; a name of a
// folder opens that folder. An existing file, or a link to a file not made
// yet, is replaced (saved through) only when Save is pressed a second time,
// once the dialog has asked. Names the file system cannot hold
// are refused here, with the reason, rather than by the save. New Folder
// makes a folder in the one listed and opens it. (Qt's own save dialog,
// without a platform theme, labels its button "Open" and ignores a typed
// name until Return is pressed in its field.)
//
// Nothing here waits for the file system, which a slow or hung network
// folder would make the show wait for: the list is read away from the
// window, a typed name is matched against that list as it is typed, and
// only the name Save is pressed for is looked at, away from the window too.
// A folder that does not answer for a few seconds is named as such.
Window {
    id: control

    // The folder listed, as a file URL. The list, the label above it and the
    // file that Save writes all follow this one property.
    property url folder
    property alias fileName: nameField.text
    // The file that Save writes, as a file URL; empty without a name. From
    // the text and the folder's list alone, so typing reads no folder.
    readonly property url chosenFile: {
        // What the match reads of the list.
        folderModel.count
        folderModel.loading
        return LocalFileSystem.cueFileFor(folder, nameField.text.trim(), folderModel)
    }

    // True while an answer closes the window, so the close is not taken for
    // a cancellation.
    property bool answering: false
    // What the last look at a name for Save found, as {folder, name, file,
    // kind}: an existing entry there was asked about, and the next Save of
    // the same name replaces it; another name asks again.
    property var asked: null
    readonly property bool askingToReplace: asked !== null && asked.folder === String(folder)
                                            && asked.name === nameField.text.trim()
    readonly property bool savesThroughLink: askingToReplace
                                             && asked.kind === LocalPathQuery.BrokenLink
    // The name whose Save waits for its look at the file system.
    property string checking: ""
    // Why the last Save or Make was refused; cleared by the next edit.
    property string refusal: ""
    property bool makingFolder: false
    // Set by each opening until the name, without its suffix, is selected in
    // the focused field of the active window.
    property bool selectingName: false
    // The start folders not tried yet, while the dialog looks for one that
    // exists; empty once the operator went elsewhere.
    property var fallbacks: []

    signal accepted(url fileUrl)
    signal rejected()

    // Shows the dialog on the first of `folders` (a URL, or URLs to try in
    // turn while one does not exist; the home folder last) with `name` in
    // the name field, selected but for its suffix, so that typing replaces it.
    function openIn(folders, name) {
        const tried = LocalPaths.startFolders(Array.isArray(folders) ? folders : [folders])
        folder = tried[0]
        fallbacks = tried.slice(1)
        makingFolder = false
        nameField.text = name
        asked = null
        checking = ""
        refusal = ""
        selectingName = true
        show()
        requestActivate()
        nameField.forceActiveFocus()
        selectName()
    }

    function selectName() {
        if (!selectingName)
            return
        const text = nameField.text
        nameField.field.select(0, /\.tarvcue$/i.test(text) ? text.length - 8 : text.length)
        if (active && nameField.field.activeFocus)
            selectingName = false
    }

    function withSuffix(name) {
        return /\.tarvcue$/i.test(name) ? name : name + ".tarvcue"
    }

    // The URL of a typed path, absolute or below the folder listed.
    function urlForPath(path) {
        return LocalPaths.resolved(control.folder, path)
    }

    function openFolder(url) {
        fallbacks = []
        folder = url
        nameField.text = ""
        nameField.forceActiveFocus()
    }

    function goUp() {
        fallbacks = []
        folder = LocalPaths.parentOf(folder)
    }

    function answer(save) {
        if (!visible || (save && String(chosenFile) === ""))
            return
        if (!save) {
            finish(false)
            return
        }
        const name = nameField.text.trim()
        if (askingToReplace) {
            finish(true, asked.file)
            return
        }
        if (!withSuffix(name).split("/").every(segment => LocalFileSystem.nameFits(segment))) {
            refusal = qsTr("The name is too long: at most 255 bytes, \".tarvcue\" included.")
            return
        }
        checking = name
        saveQuery.resolve(folder, name)
    }

    // What the look at the name Save was pressed for found; dropped when
    // the name or the folder changed meanwhile.
    function resolved(inFolder, name, namedFolder, file, kind) {
        if (!visible || name !== checking || String(inFolder) !== String(folder)
                || name !== nameField.text.trim())
            return
        checking = ""
        if (String(namedFolder) !== "") {
            openFolder(namedFolder)
        } else if (name.endsWith("/")) {
            refusal = qsTr("There is no folder \"%1\".").arg(name)
        } else if (kind !== LocalPathQuery.Missing) {
            asked = { folder: String(folder), name: name, file: file, kind: kind }
            // Return answers the question; typing changes the name.
            nameField.forceActiveFocus()
        } else {
            finish(true, file)
        }
    }

    function finish(save, file) {
        answering = true
        close()
        answering = false
        if (save)
            accepted(file)
        else
            rejected()
    }

    // Opens the folder of the list's entry, or takes the file's name; false
    // without an entry.
    function choose(index) {
        if (index < 0 || index >= folderModel.count)
            return false
        if (folderModel.isFolder(index)) {
            fallbacks = []
            folder = folderModel.fileUrl(index)
        } else {
            nameField.text = folderModel.fileName(index)
            nameField.forceActiveFocus()
        }
        return true
    }

    function startMakingFolder() {
        folderNameField.text = ""
        refusal = ""
        makingFolder = true
        folderNameField.forceActiveFocus()
    }

    function stopMakingFolder() {
        makingFolder = false
        refusal = ""
        nameField.forceActiveFocus()
    }

    function makeFolder() {
        const name = folderNameField.text.trim()
        const reason = LocalFileSystem.folderNameRefusal(name)
        if (reason !== "") {
            refusal = reason
            return
        }
        saveQuery.makeFolder(folder, name)
    }

    function folderMade(parent, name, reason) {
        if (!makingFolder || String(parent) !== String(folder)
                || name !== folderNameField.text.trim())
            return
        if (reason !== "") {
            refusal = reason
            return
        }
        stopMakingFolder()
        fallbacks = []
        folder = urlForPath(name)
    }

    title: qsTr("Save Cue File")
    visible: false
    modality: Qt.ApplicationModal
    flags: Qt.Dialog
    width: 560
    height: 420
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: theme.default_bg_color_popup

    onFolderChanged: {
        refusal = ""
        checking = ""
    }
    onActiveChanged: if (active) selectName()

    // A close of the hidden dialog, as before each opening, answers nothing.
    onClosing: {
        if (!answering && visible)
            rejected()
    }

    // Return and Enter act on the button with the focus, as Space does.
    component DialogButton: FlatButton {
        width: 90
        Keys.onReturnPressed: clicked()
        Keys.onEnterPressed: clicked()
    }

    TarvTheme { id: theme }

    // Shows saved under a name that starts with "." are listed too. A
    // closed dialog reads and watches nothing.
    LocalFolderModel {
        id: folderModel
        folder: control.folder
        active: control.visible
        nameFilters: ["*.tarvcue"]
        onLoadingChanged: {
            listKeys.loading = loading
            listKeys.replay()
        }
        onMissingChanged: {
            if (missing && control.fallbacks.length > 0) {
                const next = control.fallbacks[0]
                control.fallbacks = control.fallbacks.slice(1)
                control.folder = next
            }
        }
    }

    SaveTargetQuery {
        id: saveQuery
        onResolved: (inFolder, typed, namedFolder, file, kind) =>
                    control.resolved(inFolder, typed, namedFolder, file, kind)
        onFolderMade: (parent, name, reason) => control.folderMade(parent, name, reason)
    }

    // The list's moves and type-ahead, as in the choosers.
    ChooserKeys {
        id: listKeys
        list: entries
        choosesEntries: false
    }

    // After the field's own select-all on gaining the focus.
    Connections {
        target: nameField.field
        function onActiveFocusChanged() { control.selectName() }
    }

    Item {
        id: content
        objectName: "content"
        anchors.fill: parent
        anchors.margins: 16

        // What no button or field took: Escape leaves a new folder unmade,
        // or else cancels; Return makes the folder when its name has the
        // keys, or else saves.
        Keys.onPressed: event => {
            if (event.key === Qt.Key_Escape) {
                event.accepted = true
                if (control.makingFolder)
                    control.stopMakingFolder()
                else
                    control.answer(false)
            } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                event.accepted = true
                if (control.makingFolder && folderNameField.field.activeFocus)
                    control.makeFolder()
                else
                    control.answer(true)
            }
        }

        Item {
            id: folderRow
            anchors.top: parent.top
            width: parent.width
            height: upButton.height
            visible: !control.makingFolder

            DialogButton {
                id: upButton
                objectName: "upButton"
                anchors.left: parent.left
                width: 60
                text: qsTr("Up")
                // Reached by Tab; a click leaves the keys where they were,
                // so that the name goes on being typed.
                focusPolicy: Qt.TabFocus
                enabled: LocalPaths.pathOf(control.folder) !== "/"
                onClicked: control.goUp()
            }

            Text {
                objectName: "folderLabel"
                anchors.left: upButton.right
                anchors.leftMargin: 12
                anchors.right: newFolderButton.left
                anchors.rightMargin: 12
                anchors.verticalCenter: upButton.verticalCenter
                text: LocalPaths.pathOf(control.folder)
                font: theme.default_font
                color: theme.light_text_color
                elide: Text.ElideMiddle
                textFormat: Text.PlainText
            }

            DialogButton {
                id: newFolderButton
                objectName: "newFolderButton"
                anchors.right: parent.right
                width: 100
                text: qsTr("New Folder")
                onClicked: control.startMakingFolder()
            }
        }

        Item {
            anchors.fill: folderRow
            visible: control.makingFolder

            Text {
                id: folderNameLabel
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("New folder")
                font: theme.default_font
                color: theme.default_text_color
            }

            RecessedTextInput {
                id: folderNameField
                objectName: "folderNameField"
                anchors.left: folderNameLabel.right
                anchors.leftMargin: 12
                anchors.right: cancelFolderButton.left
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                visible: control.makingFolder
                backgroundColor: Qt.lighter(theme.default_bg_color, 1.5)
                onTextEdited: control.refusal = ""
            }

            DialogButton {
                id: cancelFolderButton
                objectName: "cancelFolderButton"
                anchors.right: makeFolderButton.left
                anchors.rightMargin: 12
                text: qsTr("Cancel")
                onClicked: control.stopMakingFolder()
            }

            DialogButton {
                id: makeFolderButton
                objectName: "makeFolderButton"
                anchors.right: parent.right
                text: qsTr("Make")
                isDefault: true
                enabled: folderNameField.text.trim() !== ""
                onClicked: control.makeFolder()
            }
        }

        Rectangle {
            id: listFrame
            anchors.top: folderRow.bottom
            anchors.topMargin: 12
            anchors.bottom: nameRow.top
            anchors.bottomMargin: 12
            width: parent.width
            color: theme.dark_background_color

            RecessedBevel {}

            ListView {
                id: entries
                objectName: "entries"
                anchors.fill: parent
                anchors.margins: 2
                clip: true
                model: folderModel
                boundsBehavior: Flickable.StopAtBounds
                activeFocusOnTab: true
                highlightMoveDuration: 0
                // A new listing replaces the entries; the keys start on the first.
                onCountChanged: if (currentIndex < 0 && count > 0) currentIndex = 0
                Keys.onPressed: event => event.accepted = listKeys.take(event)
                // The selection as the folder's last change left it, which
                // the list itself applies only when it is next drawn.
                function selectedNow() {
                    forceLayout()
                    return currentIndex
                }
                // Without an entry, Return goes on to save.
                Keys.onReturnPressed: event => event.accepted = control.choose(selectedNow())
                Keys.onEnterPressed: event => event.accepted = control.choose(selectedNow())
                Keys.onSpacePressed: event => event.accepted = control.choose(selectedNow())

                highlight: Rectangle {
                    color: theme.default_selected_color_intense
                    visible: entries.activeFocus
                }

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
                    onSelected: control.choose(index)
                }

                ScrollBar.vertical: CustomScrollBar {}
            }

            ChooserListNote {
                anchors.fill: parent
                model: folderModel
            }
        }

        Item {
            id: nameRow
            anchors.bottom: buttonRow.top
            anchors.bottomMargin: 16
            width: parent.width
            height: nameField.height

            Text {
                id: nameLabel
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("File name")
                font: theme.default_font
                color: theme.default_text_color
            }

            RecessedTextInput {
                id: nameField
                objectName: "nameField"
                anchors.left: nameLabel.right
                anchors.leftMargin: 12
                anchors.right: parent.right
                backgroundColor: Qt.lighter(theme.default_bg_color, 1.5)
                field.focus: true
                onTextChanged: control.refusal = ""
            }
        }

        Item {
            id: buttonRow
            anchors.bottom: parent.bottom
            width: parent.width
            height: saveButton.height

            // A refusal, or the question before a file is replaced.
            Text {
                objectName: "notice"
                anchors.left: parent.left
                anchors.right: cancelButton.left
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                visible: text !== ""
                text: control.refusal !== "" ? control.refusal
                      : control.checking !== "" && saveQuery.notAnswering
                        ? qsTr("The folder of \"%1\" does not answer.").arg(control.checking)
                      : !control.askingToReplace ? ""
                      : control.savesThroughLink ? qsTr("This name is a link to a file not made yet. Save into that file?")
                      : qsTr("This file exists. Replace it?")
                font: theme.default_font
                color: control.refusal !== "" ? "#FF5757" : "#FFC400"
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                textFormat: Text.PlainText
            }

            DialogButton {
                id: cancelButton
                objectName: "cancelButton"
                anchors.right: saveButton.left
                anchors.rightMargin: 12
                text: qsTr("Cancel")
                onClicked: control.answer(false)
            }

            DialogButton {
                id: saveButton
                objectName: "saveButton"
                anchors.right: parent.right
                text: control.askingToReplace && !control.savesThroughLink ? qsTr("Replace")
                                                                             : qsTr("Save")
                isDefault: true
                enabled: String(control.chosenFile) !== ""
                onClicked: control.answer(true)
            }
        }
    }
}
