import QtCore
import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import Qt.labs.settings
import com.quillonworks.tarv_ui
import com.quillonworks.automation_tool_ui

// The operator's main window: the cue table with its live indicators, the
// toolbar with GO, the menus and keys, the file commands and the closing
// flow. All state and decisions live in the controller declared below.
Window {
    id: root

    // The cue file named on the command line; opened once the window is up.
    property string startupCueFile: ""

    property bool disabledCuesAreHidden: false
    property color defaultNotificationColor: theme.off_indicator_color
    property color highlightedNotificationColor: theme.on_indicator_color

    property int numberWidthMin: 40
    property int actWidthMin: 40
    property int sceneWidthMin: 40
    property int statusWidthMin: 50
    property int cueNameWidthMin: 150
    property int blankWidthDefault: 20
    property int numberWidthDefault: 90
    property int actWidthDefault: 40
    property int sceneWidthDefault: 40
    property int statusWidthDefault: 50
    property int cueNameWidthDefault: 450

    // The widths are the handles' own values, so a width restored from the
    // settings still moves with its handle.
    property int blankWidth: blankWidthDefault
    property alias numberWidth: headerRow.numberWidth
    property alias actWidth: headerRow.actWidth
    property alias sceneWidth: headerRow.sceneWidth
    property alias statusWidth: headerRow.statusWidth
    property alias cueNameWidth: headerRow.cueNameWidth
    property int colSpacing: 1

    property alias mainController: automationController

    signal deleteClicked()
    signal editClicked()
    signal goBtnClicked()
    signal newCueClicked()
    signal newWaitClicked()
    signal openClicked()
    signal saveClicked()
    signal saveAsClicked()
    signal hideDisabledClicked()
    signal oscManagerClicked()

    readonly property int currentIndex: listView.currentIndex
    readonly property int rowCount: listView.count
    readonly property bool hasCurrentRow: currentIndex >= 0 && currentIndex < rowCount

    function highlightOscNotice() {
        oscNotice.color = highlightedNotificationColor
        revertOscColorTimer.restart()
    }

    function showFileDialog(mode) {
        if (mode === FileDialog.SaveFile) {
            showSaveDialog()
            return
        }
        fileDialog.close()
        fileDialog.openIn([fileDialog.chosenFolder, showFolder()])
    }

    // The open show's folder; empty for a show never saved.
    function showFolder() {
        const path = automationController.currentPath
        return path === "" ? "" : LocalPaths.parentOf(LocalPaths.urlOf(path))
    }

    // Opens the save dialog on the open file's folder and name; a list never
    // saved starts where the last save dialog was, at first the home folder.
    // A folder gone since gives way to the next that exists. File > Open
    // starts where a file was last chosen in a file dialog of this run, else
    // in the open show's folder, else in the home folder, likewise. Which
    // exists, each dialog finds out away from the window.
    function showSaveDialog() {
        const path = automationController.currentPath
        saveDialog.close()
        saveDialog.openIn([path === "" ? saveDialog.folder : showFolder(), fileDialog.chosenFolder],
                          path === "" ? "" : path.substring(path.lastIndexOf("/") + 1))
    }

    // After a save the window started: a New that waited for it goes ahead.
    function completeDeferredNew() {
        if (!automationController.newFileDeferred)
            return
        automationController.newFileDeferred = false
        automationController.onSaveOnNewComplete()
    }

    // What the file dialog's acceptance does with the file chosen in `mode`.
    function fileChosen(fileUrl, mode) {
        fileDialog.chosenFolder = LocalPaths.parentOf(fileUrl)
        const path = LocalPaths.pathOf(fileUrl)
        if (mode === FileDialog.OpenFile) {
            automationController.Load(path, true)
            return
        }
        if (automationController.Save(true, path) !== false)
            completeDeferredNew()
    }

    // A cancelled dialog withdraws whatever waited for it: a New, or a close.
    function fileDialogRejected() {
        if (automationController.newFileDeferred)
            automationController.newFileDeferred = false
        if (automationController.closingDeferred)
            automationController.closingDeferred = false
    }

    title: "TARV|Cue"
    visible: true
    width: 1280
    height: 720
    minimumWidth: 640
    minimumHeight: 400
    color: theme.default_bg_color

    onNewCueClicked: automationController.NewCueEvent(currentIndex + 1)
    onNewWaitClicked: automationController.NewWaitEvent(currentIndex + 1)
    onDeleteClicked: automationController.DeleteEvent(currentIndex)
    onEditClicked: automationController.EditEvent(currentIndex)
    onGoBtnClicked: automationController.Go()
    onOscManagerClicked: automationController.initOscManagerWindow()
    onHideDisabledClicked: {
        disabledCuesAreHidden = !disabledCuesAreHidden
        toggleHiddenCues.checked = disabledCuesAreHidden
    }
    onOpenClicked: showFileDialog(FileDialog.OpenFile)
    onSaveAsClicked: showFileDialog(FileDialog.SaveFile)
    onSaveClicked: {
        if (automationController.currentPath === "") {
            showFileDialog(FileDialog.SaveFile)
            return
        }
        if (automationController.Save(true, automationController.currentPath) !== false)
            completeDeferredNew()
    }

    onClosing: (close) => {
        if (!automationController.unsavedChanges)
            return
        close.accepted = false
        automationController.closingDeferred = true
        automationController.onClosing()
    }

    Component.onCompleted: {
        if (startupCueFile !== "") {
            console.log("Loading", startupCueFile, "as", startupCueFile)
            automationController.Load(startupCueFile, true)
        }
    }

    TarvTheme { id: theme }

    AutomationController {
        id: automationController

        property bool disableStopAllAudioShortcut: false

        engine: qmlEngine

        onError: (title, text, type) => messages.post(title, text, type)
        onOscNotification: root.highlightOscNotice()
        onCurrentEventIndexChanged: (index) => {
            listView.currentIndex = index
            if (index >= 0)
                listView.showRow(index)
        }
        onSaveOnClose: root.saveClicked()
        onSaveOnNew: root.saveClicked()
    }

    Settings {
        id: mainColumnSettings
        category: "mainColumnSettings"
        property alias blankWidth: root.blankWidth
        property alias numberWidth: root.numberWidth
        property alias actWidth: root.actWidth
        property alias sceneWidth: root.sceneWidth
        property alias statusWidth: root.statusWidth
        property alias cueNameWidth: root.cueNameWidth
    }

    Timer {
        id: revertOscColorTimer
        interval: 500
        repeat: false
        running: false
        onTriggered: oscNotice.color = root.defaultNotificationColor
    }

    FileChooser {
        id: fileDialog
        objectName: "openDialog"
        // The folder of the file last chosen in either file dialog.
        property url chosenFolder: ""
        title: qsTr("Open Cue File")
        nameFilters: ["Cue files (*.tarvcue)", "All files (*)"]
        onAccepted: root.fileChosen(selectedFile, FileDialog.OpenFile)
        onRejected: root.fileDialogRejected()
    }

    CueFileSaveDialog {
        id: saveDialog
        objectName: "saveDialog"
        transientParent: root
        folder: StandardPaths.writableLocation(StandardPaths.HomeLocation)
        onAccepted: (fileUrl) => root.fileChosen(fileUrl, FileDialog.SaveFile)
        onRejected: root.fileDialogRejected()
    }

    FlatDialogWindow {
        id: errorDialog
        visible: false
        // However it was closed (OK, a key, the title bar), the next waits
        // until this one has gone.
        onVisibleChanged: if (!visible) Qt.callLater(messages.showNext)
    }

    MessageQueue {
        id: messages
        dialog: errorDialog
    }

    Connections {
        target: automationMenuBar
        function onSfxManagerClicked() { automationController.onSfxManagerClicked() }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        AutomationMenuBar {
            id: automationMenuBar
            Layout.fillWidth: true
            canDelete: deleteEvent.enabled
            disabledCuesAreHidden: root.disabledCuesAreHidden
            disableStopAllAudioShortcut: automationController.disableStopAllAudioShortcut

            onNewClicked: automationController.New()
            onOpenClicked: root.openClicked()
            onSaveClicked: root.saveClicked()
            onSaveAsClicked: root.saveAsClicked()
            onDeleteClicked: root.deleteClicked()
            onGoClicked: automationController.Go()
            onStopAllClicked: (panicMode) => automationController.onStopAllClicked(panicMode)
            onStopAudioClicked: automationController.onStopAudioClicked()
            onMoveSelectUpClicked: automationController.onMoveSelectUpClicked()
            onMoveSelectDownClicked: automationController.onMoveSelectDownClicked()
            onHideDisabledClicked: root.hideDisabledClicked()
            onOscManagerClicked: root.oscManagerClicked()
            onAboutClicked: automationController.onAboutClicked()
        }

        Rectangle {
            id: topPanel
            Layout.fillWidth: true
            Layout.preferredHeight: 80
            color: theme.default_bg_color

            BasicBevel {}

            RowLayout {
                id: toolbarRow
                anchors.fill: parent
                anchors.margins: 15
                spacing: 15

                // The editing commands take the free width; in a narrow
                // window they are cut off at the right, never GO.
                Item {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    Layout.minimumWidth: 0
                    clip: true

                    Row {
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 15

                        GraphicButton {
                            id: addNewCue
                            objectName: "addNewCue"
                            text: "New Cue"
                            imageSource: "qrc:/images/addcircle.svg"
                            onClicked: root.newCueClicked()
                        }
                        GraphicButton {
                            id: addNewWait
                            objectName: "addNewWait"
                            text: "Add Wait"
                            imageSource: "qrc:/images/schedule.svg"
                            onClicked: root.newWaitClicked()
                        }
                        GraphicButton {
                            id: deleteEvent
                            objectName: "deleteEvent"
                            text: "Delete"
                            imageSource: "qrc:/images/edit_delete.svg"
                            enabled: root.hasCurrentRow
                            onClicked: root.deleteClicked()
                        }
                        GraphicButton {
                            id: editEvent
                            objectName: "editEvent"
                            text: "Edit"
                            imageSource: "qrc:/images/edit_edit.svg"
                            enabled: root.hasCurrentRow
                            onClicked: root.editClicked()
                        }
                        GraphicButton {
                            id: upEvent
                            objectName: "upEvent"
                            text: "Move Up"
                            imageSource: "qrc:/images/arrow_up.svg"
                            enabled: root.currentIndex > 0 && root.rowCount > 0
                            onClicked: automationController.MoveEventUp()
                        }
                        GraphicButton {
                            id: downEvent
                            objectName: "downEvent"
                            text: "Move Down"
                            imageSource: "qrc:/images/arrow_down.svg"
                            enabled: root.currentIndex < root.rowCount - 1 && root.rowCount > 0
                            onClicked: automationController.MoveEventDown()
                        }

                        Switch {
                            id: toggleHiddenCues
                            objectName: "toggleHiddenCues"
                            scale: activeFocus ? 0.75 : 0.65
                            onToggled: root.disabledCuesAreHidden = checked

                            TarvToolTip {
                                text: "Show/Hide disabled cues"
                                delay: 1000
                                timeout: 5000
                                visible: toggleHiddenCues.hovered
                            }
                        }
                    }
                }

                ColumnLayout {
                    Layout.fillHeight: true
                    Item { Layout.fillHeight: true }
                    Text {
                        id: oscNotice
                        objectName: "oscNotice"
                        Layout.alignment: Qt.AlignHCenter
                        text: "OSC"
                        horizontalAlignment: Text.AlignHCenter
                        font.pixelSize: 8
                        color: root.defaultNotificationColor
                    }
                    Item { Layout.fillHeight: true }
                }

                Image {
                    id: logo
                    Layout.preferredHeight: 45
                    Layout.preferredWidth: paintedWidth
                    Layout.minimumWidth: 0
                    Layout.rightMargin: 15
                    Layout.alignment: Qt.AlignRight | Qt.AlignVCenter
                    source: "qrc:/images/cue_logo_long"
                    fillMode: Image.PreserveAspectFit
                    smooth: true
                    antialiasing: true
                }

                FlatButton {
                    id: btnGo
                    objectName: "btnGo"
                    text: "GO"
                    font.pixelSize: 34
                    font.bold: true
                    implicitWidth: 125
                    implicitHeight: toolbarRow.height * 1.2
                    activeColor: "#009950"
                    normalColor: "#006635"
                    focusPolicy: Qt.TabFocus
                    onClicked: root.goBtnClicked()
                }
            }
        }

        CueTableHeader {
            id: headerRow
            Layout.fillWidth: true
            Layout.preferredHeight: 20
            table: root
        }

        Rectangle {
            id: mainListViewArea
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: theme.default_bg_color

            ListView {
                id: listView
                objectName: "listView"

                property int previousIndex: -1

                // Centres a row, moving the content smoothly.
                function showRow(index) {
                    scrollAnimation.stop()
                    const from = contentY
                    positionViewAtIndex(index, ListView.Center)
                    const to = contentY
                    contentY = from
                    scrollAnimation.from = from
                    scrollAnimation.to = to
                    scrollAnimation.start()
                }

                anchors.fill: parent
                clip: true
                model: automationController.MainModel
                highlightFollowsCurrentItem: false
                boundsBehavior: Flickable.StopAtBounds

                ScrollBar.vertical: CustomScrollBar { id: scrollBar }

                // The current cue stays in view when the window changes size,
                // and a row centred before the window had its size is centred
                // again once it has one.
                onHeightChanged: {
                    scrollAnimation.stop()
                    if (currentIndex >= 0)
                        positionViewAtIndex(currentIndex, ListView.Center)
                }
                onCurrentIndexChanged: {
                    if (previousIndex !== -1) {
                        const left = itemAtIndex(previousIndex)
                        if (left)
                            left.fadeOut()
                    }
                    previousIndex = currentIndex
                }

                NumberAnimation {
                    id: scrollAnimation
                    target: listView
                    property: "contentY"
                    duration: 250
                }

                highlight: Rectangle {
                    id: highlightRect
                    objectName: "highlightRect"
                    width: listView.currentItem ? listView.currentItem.width : listView.width
                    height: listView.currentItem ? listView.currentItem.height : 40
                    y: listView.currentItem ? listView.currentItem.y : 0
                    color: theme.default_selected_color_intense
                    visible: listView.currentItem !== null
                }

                delegate: CueRow {
                    width: listView.width
                    isCurrent: ListView.isCurrentItem
                    disabledHidden: toggleHiddenCues.checked
                    blankWidth: root.blankWidth
                    numberHeading: headerRow.numberLabel
                    actHeading: headerRow.actLabel
                    sceneHeading: headerRow.sceneLabel
                    statusHeading: headerRow.statusLabel
                    cueNameHeading: headerRow.cueNameLabel
                    cueLineHeading: headerRow.cueLineLabel
                    scrollBarWidth: scrollBar.width
                    onSelectRequested: (index) => automationController.SetCurrentEventIndex(index)
                    onEditRequested: root.editClicked()
                }
            }
        }
    }
}
