import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Qt.labs.folderlistmodel
import com.quillonworks.tarv_ui

// Asks where to save the cue list: a folder, browsed in the list, and a file
// name, typed or taken from a file of the list. Save takes the typed name at
// once, by a click or by Return; the ".tarvcue" suffix is added when the name
// lacks it. A name with a "/" is a path of its own, absolute or below the
// folder shown. A file of the folder shown is replaced only when Save is
// pressed a second time, once the dialog has asked. (Qt's own save dialog,
// without a platform theme, labels its button "Open" and ignores a typed
// name until Return is pressed in its field.)
Window {
    id: control

    // The folder listed, as a file URL.
    property alias folder: folderModel.folder
    property alias fileName: nameField.text
    // The file that Save writes, as a file URL; empty without a name.
    readonly property string chosenFile: urlForName(nameField.text.trim())

    // True while an answer closes the window, so the close is not taken for
    // a cancellation.
    property bool answering: false
    // The existing file that Save was pressed for once: the next press
    // replaces it, another name asks again.
    property string replaceAskedFor: ""
    readonly property bool askingToReplace: replaceAskedFor !== "" && replaceAskedFor === chosenFile

    signal accepted(url fileUrl)
    signal rejected()

    // Shows the dialog on `folderUrl` with `name` in the name field.
    function openIn(folderUrl, name) {
        if (folderUrl !== "")
            folder = folderUrl
        nameField.text = name
        replaceAskedFor = ""
        show()
        requestActivate()
        nameField.forceActiveFocus()
    }

    // A local path as a file URL, each segment escaped so that "#", "%" or
    // "?" in a name stay part of it.
    function pathToUrl(path) {
        const segments = path.split("/").map(s => encodeURIComponent(s).split("%3A").join(":"))
        const joined = segments.join("/")
        return "file://" + (joined.startsWith("/") ? "" : "/") + joined
    }

    function withSuffix(name) {
        return /\.tarvcue$/i.test(name) ? name : name + ".tarvcue"
    }

    function urlForName(name) {
        if (name === "")
            return ""
        const fileName = withSuffix(name)
        if (fileName.startsWith("/"))
            return pathToUrl(fileName)
        const base = String(folderModel.folder).replace(/\/+$/, "")
        const escaped = fileName.split("/").map(s => encodeURIComponent(s)).join("/")
        return base + "/" + escaped
    }

    function localPath(url) {
        const text = String(url).replace(/^file:\/\//, "")
        try {
            return decodeURIComponent(text)
        } catch (error) {
            return text
        }
    }

    // Whether the name is that of a file the folder lists.
    function listed(name) {
        const fileName = withSuffix(name)
        for (let i = 0; i < folderModel.count; ++i) {
            if (!folderModel.isFolder(i) && folderModel.get(i, "fileName") === fileName)
                return true
        }
        return false
    }

    function answer(save) {
        if (!visible || (save && chosenFile === ""))
            return
        if (save && !askingToReplace && listed(nameField.text.trim())) {
            replaceAskedFor = chosenFile
            // Return answers the question; typing changes the name.
            nameField.forceActiveFocus()
            return
        }
        const chosen = chosenFile
        answering = true
        close()
        answering = false
        if (save)
            accepted(chosen)
        else
            rejected()
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

    // A close of the hidden dialog, as before each opening, answers nothing.
    onClosing: {
        if (!answering && visible)
            rejected()
    }

    TarvTheme { id: theme }

    FolderListModel {
        id: folderModel
        nameFilters: ["*.tarvcue"]
        showDirsFirst: true
        showDotAndDotDot: false
        sortCaseSensitive: false
    }

    Item {
        id: content
        objectName: "content"
        anchors.fill: parent
        anchors.margins: 16

        Keys.onPressed: event => {
            if (event.key === Qt.Key_Escape) {
                event.accepted = true
                control.answer(false)
            } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                event.accepted = true
                control.answer(true)
            }
        }

        FlatButton {
            id: upButton
            objectName: "upButton"
            anchors.top: parent.top
            anchors.left: parent.left
            width: 60
            text: qsTr("Up")
            enabled: String(folderModel.parentFolder) !== ""
            onClicked: folderModel.folder = folderModel.parentFolder
        }

        Text {
            objectName: "folderLabel"
            anchors.left: upButton.right
            anchors.leftMargin: 12
            anchors.right: parent.right
            anchors.verticalCenter: upButton.verticalCenter
            text: control.localPath(folderModel.folder)
            font: theme.default_font
            color: theme.light_text_color
            elide: Text.ElideMiddle
            textFormat: Text.PlainText
        }

        Rectangle {
            id: listFrame
            anchors.top: upButton.bottom
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

                delegate: Rectangle {
                    required property int index
                    required property string fileName
                    required property url fileUrl
                    required property bool fileIsDir

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
                            if (fileIsDir) {
                                folderModel.folder = fileUrl
                            } else {
                                nameField.text = fileName
                                nameField.forceActiveFocus()
                            }
                        }
                    }
                }

                ScrollBar.vertical: CustomScrollBar {}
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
            }
        }

        Item {
            id: buttonRow
            anchors.bottom: parent.bottom
            width: parent.width
            height: saveButton.height

            Text {
                objectName: "replaceQuestion"
                anchors.left: parent.left
                anchors.right: cancelButton.left
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                visible: control.askingToReplace
                text: qsTr("This file exists. Replace it?")
                font: theme.default_font
                color: "#FFC400"
                elide: Text.ElideRight
            }

            FlatButton {
                id: cancelButton
                objectName: "cancelButton"
                anchors.right: saveButton.left
                anchors.rightMargin: 12
                width: 90
                text: qsTr("Cancel")
                onClicked: control.answer(false)
            }

            FlatButton {
                id: saveButton
                objectName: "saveButton"
                anchors.right: parent.right
                width: 90
                text: control.askingToReplace ? qsTr("Replace") : qsTr("Save")
                isDefault: true
                enabled: control.chosenFile !== ""
                onClicked: control.answer(true)
            }
        }
    }
}
