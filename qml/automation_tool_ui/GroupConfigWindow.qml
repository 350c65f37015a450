import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import com.quillonworks.tarv_ui 1.0

// Editor of one cue: its header fields and flags wait for OK, while every
// change to its event list is a signal that the controller carries out at
// once. "Lock Cue" makes everything but the two boxes and OK read-only.
Window {
    id: root

    property alias number: txtNumber.text
    property alias name: txtName.text
    property alias act: txtAct.text
    property alias scene: txtScene.text
    property alias cueLine: txtCueLine.text
    property alias disableEvent: checkDisableEvent.checked
    property alias disableDelete: checkLockCue.checked
    property alias currentIndex: listView.currentIndex
    property alias mainModel: listView.model
    property int windowMargin: 15
    readonly property bool locked: checkLockCue.checked

    signal accepted()
    signal cancelled()
    signal addNewOsc(int index)
    signal addNewAudio(int index, url audioFileUrl)
    signal deleteEvent(int index)
    signal moveUp(int index)
    signal moveDown(int index)
    signal editEvent(int index)

    function accept() {
        root.accepted()
        root.close()
    }

    function cancel() {
        root.cancelled()
        root.close()
    }

    // Inserts the dropped files at `index` (the end when no row lies there),
    // last to first, so that they keep their dropped order and a refused file
    // moves nothing. A locked cue takes no files.
    function dropFiles(urls, index) {
        if (root.locked)
            return
        root.finishListEditing()
        if (index < 0) {
            index = listView.count
            console.log("Drop index was < 0", index)
        }
        for (let i = urls.length - 1; i >= 0; --i)
            root.addNewAudio(index, urls[i])
        if (index <= listView.count - 1)
            listView.currentIndex = index
    }

    // A row's offset is written when its editing finishes, and any change of
    // the list rebuilds the rows: finish an edit in the list before the
    // change, or the typed value would go with the rebuilt field.
    function finishListEditing() {
        for (let item = root.activeFocusItem; item; item = item.parent) {
            if (item === listView) {
                keyHandler.forceActiveFocus()
                return
            }
        }
    }

    function rowAt(viewY) {
        return listView.indexAt(10, viewY + listView.contentY)
    }

    function showDropIndicator(viewY) {
        const row = rowAt(viewY)
        const item = row >= 0 ? listView.itemAtIndex(row) : null
        if (item)
            dropIndicator.position = item.y - listView.contentY
        else if (listView.count === 0)
            dropIndicator.position = 0
        else {
            const last = listView.itemAtIndex(listView.count - 1)
            dropIndicator.position = last ? last.y + last.height - listView.contentY : 0
        }
        dropIndicator.visible = true
    }

    function selectAfterInsert(row) {
        listView.currentIndex = Math.min(row, listView.count - 1)
    }

    title: qsTr("Configure Cue")
    visible: true
    modality: Qt.WindowModal
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    color: theme.default_bg_color
    width: 720
    minimumWidth: 720
    maximumWidth: width
    height: content.implicitHeight + 2 * windowMargin
    minimumHeight: height
    maximumHeight: height

    onVisibleChanged: {
        if (visible) {
            root.requestActivate()
            txtName.forceActiveFocus()
        }
    }
    Component.onCompleted: {
        if (visible)
            txtName.forceActiveFocus()
    }
    // A tool that disables itself while it has the keyboard hands the focus
    // to the window's own root, below the key handler: Return and Escape
    // would go unheard until a click or Tab.
    onActiveFocusItemChanged: {
        if (activeFocusItem === contentItem)
            keyHandler.forceActiveFocus()
    }
    // The controller fills the fields after creation: select the name once
    // the window first has the keyboard, so typing replaces it.
    onActiveChanged: {
        if (active && !keyHandler.opened) {
            keyHandler.opened = true
            txtName.forceActiveFocus()
            txtName.field.selectAll()
        }
    }

    TarvTheme { id: theme }

    Item {
        id: keyHandler
        property bool opened: false
        anchors.fill: parent
        focus: true

        Keys.onReturnPressed: root.accept()
        Keys.onEnterPressed: root.accept()
        Keys.onEscapePressed: root.cancel()

        ColumnLayout {
            id: content
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: root.windowMargin
            spacing: 15

            RowLayout {
                spacing: 15
                Text { color: "white"; font: theme.default_font; elide: Text.ElideRight; text: qsTr("Number") }
                RecessedTextInput { id: txtNumber; editable: !root.locked; objectName: "txtNumber"; Layout.preferredWidth: 50 }
                Text { color: "white"; font: theme.default_font; elide: Text.ElideRight; text: qsTr("Cue Name") }
                RecessedTextInput { id: txtName; editable: !root.locked; objectName: "txtName"; Layout.fillWidth: true }
            }

            RowLayout {
                spacing: 15
                Text { color: "white"; font: theme.default_font; elide: Text.ElideRight; text: qsTr("Act") }
                RecessedTextInput { id: txtAct; editable: !root.locked; objectName: "txtAct"; Layout.preferredWidth: 75 }
                Text { color: "white"; font: theme.default_font; elide: Text.ElideRight; text: qsTr("Scene") }
                RecessedTextInput { id: txtScene; editable: !root.locked; objectName: "txtScene"; Layout.preferredWidth: 75 }
                Text { color: "white"; font: theme.default_font; elide: Text.ElideRight; text: qsTr("Cue Line") }
                RecessedTextInput { id: txtCueLine; editable: !root.locked; objectName: "txtCueLine"; Layout.fillWidth: true }
            }

            RowLayout {
                spacing: 10

                GraphicButton {
                    objectName: "newOscButton"
                    text: qsTr("New OSC")
                    imageSource: "qrc:/images/lan.svg"
                    enabled: !root.locked
                    onClicked: {
                        root.finishListEditing()
                        const row = listView.currentIndex + 1
                        root.addNewOsc(row)
                        root.selectAfterInsert(row)
                    }
                }
                GraphicButton {
                    objectName: "newAudioButton"
                    text: qsTr("New Audio")
                    imageSource: "qrc:/images/audio.svg"
                    enabled: !root.locked
                    onClicked: {
                        root.finishListEditing()
                        const row = listView.currentIndex + 1
                        root.addNewAudio(row, "")
                        root.selectAfterInsert(row)
                    }
                }
                GraphicButton {
                    objectName: "deleteButton"
                    text: qsTr("Delete")
                    imageSource: "qrc:/images/edit_delete.svg"
                    enabled: !root.locked && listView.currentIndex >= 0
                             && listView.currentIndex < listView.count
                    onClicked: {
                        root.finishListEditing()
                        const row = listView.currentIndex
                        root.deleteEvent(row)
                        if (row >= listView.count)
                            listView.currentIndex = listView.count - 1
                        else
                            listView.currentIndex = row
                    }
                }
                GraphicButton {
                    objectName: "moveUpButton"
                    text: qsTr("Move Up")
                    imageSource: "qrc:/images/arrow_up.svg"
                    enabled: !root.locked && listView.currentIndex > 0
                             && listView.currentIndex < listView.count
                    onClicked: {
                        root.finishListEditing()
                        const row = listView.currentIndex
                        root.moveUp(row)
                        listView.currentIndex = row - 1
                    }
                }
                GraphicButton {
                    objectName: "moveDownButton"
                    text: qsTr("Move Down")
                    imageSource: "qrc:/images/arrow_down.svg"
                    enabled: !root.locked && listView.currentIndex >= 0
                             && listView.currentIndex < listView.count - 1
                    onClicked: {
                        root.finishListEditing()
                        const row = listView.currentIndex
                        root.moveDown(row)
                        listView.currentIndex = row + 1
                    }
                }
            }

            Item {
                Layout.fillWidth: true
                Layout.preferredHeight: 300

                RowLayout {
                    id: listHeader
                    anchors.left: parent.left
                    anchors.right: parent.right
                    spacing: 10
                    Item { Layout.preferredWidth: 10 }
                    Text { color: "white"; font: theme.heavy_label; elide: Text.ElideRight; text: qsTr("Type"); Layout.preferredWidth: 45 }
                    Text { color: "white"; font: theme.heavy_label; elide: Text.ElideRight; text: qsTr("Function Name"); Layout.fillWidth: true }
                    Text { color: "white"; font: theme.heavy_label; elide: Text.ElideRight; text: qsTr("Offset (ms)"); Layout.preferredWidth: 100 }
                    // The title takes the room of the spacer after it too: at 80
                    // pixels it was cut to "Configu...".
                    Text { color: "white"; font: theme.heavy_label; elide: Text.ElideRight; text: qsTr("Configuration"); Layout.preferredWidth: 80 + 10 + 25 }
                }

                ListView {
                    id: listView
                    objectName: "listView"
                    anchors.top: listHeader.bottom
                    anchors.topMargin: 15
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    clip: true
                    highlightFollowsCurrentItem: false
                    highlightMoveDuration: 0

                    ScrollBar.vertical: CustomScrollBar { policy: ScrollBar.AlwaysOn }

                    highlight: Rectangle {
                        color: theme.default_selected_color_intense
                        width: listView.currentItem ? listView.currentItem.width : 0
                        height: listView.currentItem ? listView.currentItem.height : 0
                        y: listView.currentItem ? listView.currentItem.y : 0
                    }

                    delegate: Rectangle {
                        id: row

                        required property int index
                        required property var model

                        width: listView.width
                        height: 40
                        color: ListView.isCurrentItem ? "transparent"
                                                      : index % 2 === 0 ? theme.default_bg_color
                                                                        : theme.light_background_color

                        MouseArea {
                            anchors.fill: parent
                            onClicked: listView.currentIndex = row.index
                        }

                        RowLayout {
                            anchors.fill: parent
                            spacing: 10

                            Item { Layout.preferredWidth: 10 }

                            Image {
                                Layout.preferredWidth: 45
                                sourceSize.width: 20
                                sourceSize.height: 20
                                fillMode: Image.PreserveAspectFit
                                antialiasing: true
                                source: row.model.type === "AUDIO" ? "qrc:/images/audio.svg"
                                        : row.model.type === "WAIT" ? "qrc:/images/schedule.svg"
                                        : "qrc:/images/lan.svg"
                            }

                            RecessedTextInput {
                                id: nameField
                                objectName: "nameField"
                                Layout.fillWidth: true
                                editable: !root.locked
                                text: row.model.name
                                onTextChanged: {
                                    if (text !== row.model.name)
                                        row.model.name = text
                                }

                                Text {
                                    objectName: "autoName"
                                    anchors.fill: parent
                                    anchors.leftMargin: 5
                                    visible: nameField.text === ""
                                    text: row.model.autoName
                                    font.italic: true
                                    font.pixelSize: 12
                                    color: "silver"
                                    verticalAlignment: Text.AlignVCenter
                                    elide: Text.ElideRight
                                }
                            }

                            RecessedTextInput {
                                id: offsetField
                                objectName: "offsetField"
                                Layout.preferredWidth: 100
                                editable: !root.locked
                                text: row.model.offset
                                // The model clamps or refuses the text; the field then shows
                                // what the event really holds.
                                onEditingFinished: {
                                    row.model.offset = text
                                    text = Qt.binding(() => row.model.offset)
                                }
                            }

                            FlatButton {
                                objectName: "configureButton"
                                text: qsTr("Configure")
                                enabled: !root.locked
                                onClicked: root.editEvent(row.index)
                            }

                            Item { Layout.preferredWidth: 20 }
                        }
                    }

                    DropArea {
                        objectName: "dropArea"
                        anchors.fill: parent
                        enabled: !root.locked
                        onEntered: drag => root.showDropIndicator(drag.y)
                        onPositionChanged: drag => root.showDropIndicator(drag.y)
                        onExited: dropIndicator.visible = false
                        onDropped: drop => {
                            root.dropFiles(drop.urls, root.rowAt(drop.y))
                            drop.accept()
                            dropIndicator.visible = false
                        }
                    }

                    Rectangle {
                        id: dropIndicator
                        objectName: "dropIndicator"
                        property real position: 0
                        y: position !== 0 ? position - 1 : 0
                        width: listView.width
                        height: 2
                        z: 10
                        color: theme.default_selected_color_intense_opaque
                        visible: false
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Item { Layout.fillWidth: true }
                FlatButton {
                    objectName: "okButton"
                    text: qsTr("OK")
                    isDefault: true
                    onClicked: root.accept()
                }
            }

            RowLayout {
                spacing: 15
                CustomCheckbox {
                    id: checkLockCue
                    objectName: "checkLockCue"
                    checkboxTextStr: qsTr("Lock Cue")
                    checkboxTextColor: "white"
                }
                CustomCheckbox {
                    id: checkDisableEvent
                    objectName: "checkDisableEvent"
                    checkboxTextStr: qsTr("Disable Cue")
                    checkboxTextColor: "white"
                }
            }
        }
    }
}
