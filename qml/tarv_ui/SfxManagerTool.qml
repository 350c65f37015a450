import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window

// The sound-effect manager: installed effects (sources) on the left, the cue
// file's instances on the right, with previews and create, edit and delete.
// It keeps only its selections and the previews it started; its controller
// fills the lists and answers every signal.
Window {
    id: root

    property alias availableSoundEffectsModel: sourceList.model
    property alias soundEffectInstancesModel: instanceList.model
    property string selectedSfxEffectId: ""
    property string selectedSfxInstanceEventId: ""
    property var playing: []

    signal playSfx(string eventId)
    signal stopSfx(string eventId)
    signal sfxFinished(string eventId)
    signal soundEffectSelected(var index)
    signal playStateUpdated()
    signal addSoundEffectInstanceClicked(string effectId)
    signal editSoundEffectInstanceClicked(string eventId)
    signal deleteSoundEffectInstanceClicked(string eventId)
    signal requestClose()

    function playingContains(eventId) {
        return playing.some(id => id === eventId)
    }

    function removeFromPlaying(eventId) {
        playing = playing.filter(id => id !== eventId)
        playStateUpdated()
    }

    function addToPlaying(eventId) {
        playing.push(eventId)
        playStateUpdated()
    }

    function enableModificationButtons() {
        return selectedSfxInstanceEventId !== "" && playing.length === 0
    }

    function enableCreationButton() {
        return playing.length === 0 && sourceList.count > 0
    }

    function updateButtons() {
        createButton.enabled = enableCreationButton()
        editButton.enabled = enableModificationButtons()
        deleteButton.enabled = enableModificationButtons()
    }

    function createInstance() {
        addSoundEffectInstanceClicked(selectedSfxEffectId)
        playStateUpdated()
    }

    function editSelectedInstance() {
        stopSfx(selectedSfxInstanceEventId)
        editSoundEffectInstanceClicked(selectedSfxInstanceEventId)
        playStateUpdated()
    }

    function deleteSelectedInstance() {
        stopSfx(selectedSfxInstanceEventId)
        deleteSoundEffectInstanceClicked(selectedSfxInstanceEventId)
        selectedSfxInstanceEventId = ""
        playStateUpdated()
    }

    title: qsTr("SFX Manager")
    width: 800
    height: 600
    minimumWidth: 640
    minimumHeight: 480
    visible: true
    color: theme.dark_background_color

    onClosing: requestClose()
    onPlayStateUpdated: updateButtons()
    Component.onCompleted: updateButtons()

    TarvTheme { id: theme }

    // The panel that holds a list: its background in a bevelled frame,
    // outlined while the list has the focus.
    component ListPanel: Rectangle {
        property bool listHasFocus: false
        property color outlineColor: "transparent"

        BasicBevel {}

        Rectangle {
            z: 10
            anchors.fill: parent
            color: "transparent"
            border.width: 2
            border.color: parent.outlineColor
            opacity: 0.7
            visible: parent.listHasFocus
        }
    }

    // A row's text: elided at the right, the whole text in a tooltip while
    // the pointer rests on an elided one.
    component RowText: Text {
        id: rowText

        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter

        MouseArea {
            id: hoverArea
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.NoButton
        }

        TarvToolTip {
            text: rowText.text
            visible: rowText.truncated && hoverArea.containsMouse
            delay: 1000
            timeout: 5000
        }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 15
        spacing: 0

        // Neither list nor button takes these keys: they close the window.
        Keys.onEscapePressed: root.close()
        Keys.onReturnPressed: root.close()

        RowLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 10

            ColumnLayout {
                Layout.preferredWidth: root.width * 0.4
                Layout.fillHeight: true
                spacing: 10

                Text {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 32
                    text: qsTr("SFX Source Files")
                    font.pixelSize: 16
                    color: theme.light_text_color
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }

                ListPanel {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    color: theme.default_bg_color
                    outlineColor: theme.default_selected_color_intense
                    listHasFocus: sourceList.activeFocus

                    ListView {
                        id: sourceList
                        objectName: "sourceList"
                        anchors.fill: parent
                        clip: true
                        boundsBehavior: Flickable.StopAtBounds
                        activeFocusOnTab: true
                        ScrollBar.vertical: CustomScrollBar {}

                        // Set when the controller refills the list: it then
                        // starts again at "View All Instances", as the
                        // controller's own filter does.
                        property bool refilled: false

                        function chooseSource() {
                            root.selectedSfxEffectId = currentItem ? currentItem.sfxId : ""
                            root.soundEffectSelected(currentIndex)
                            root.selectedSfxInstanceEventId = ""
                            root.playStateUpdated()
                            forceActiveFocus()
                        }

                        onCurrentIndexChanged: {
                            if (currentIndex >= 0)
                                chooseSource()
                        }
                        onCountChanged: {
                            if (!refilled || count === 0)
                                return
                            refilled = false
                            if (currentIndex === 0)
                                chooseSource()
                            else
                                currentIndex = 0
                        }

                        Connections {
                            target: sourceList.model ?? null
                            ignoreUnknownSignals: true
                            function onModelReset() {
                                sourceList.refilled = true
                            }
                        }

                        Keys.onTabPressed: instanceList.forceActiveFocus()
                        Keys.onBacktabPressed: closeButton.forceActiveFocus()
                        Keys.onSpacePressed: root.createInstance()

                        delegate: Rectangle {
                            id: sourceRow

                            readonly property string sfxId: model.sfxid ?? ""

                            width: sourceList.width - sourceList.ScrollBar.vertical.width
                            height: 40
                            color: ListView.isCurrentItem ? Qt.lighter(theme.default_bg_color, 1.3)
                                                          : theme.default_bg_color

                            FocusHighlight {
                                anchors.fill: parent
                                visible: sourceRow.ListView.isCurrentItem && sourceList.activeFocus
                            }

                            RowText {
                                anchors.fill: parent
                                anchors.leftMargin: 10
                                text: model.displayname ?? ""
                                color: "white"
                                font: theme.default_font
                            }

                            MouseArea {
                                anchors.fill: parent
                                onClicked: sourceList.currentIndex = index
                                onDoubleClicked: root.createInstance()
                            }
                        }
                    }
                }
            }

            ColumnLayout {
                id: instanceColumn
                Layout.preferredWidth: root.width * 0.6
                Layout.fillHeight: true
                spacing: 10

                Text {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 32
                    text: qsTr("Instances")
                    font.pixelSize: 16
                    color: theme.light_text_color
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }

                ListPanel {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    color: theme.default_bg_color
                    outlineColor: theme.default_selected_color_intense
                    listHasFocus: instanceList.activeFocus

                    ListView {
                        id: instanceList
                        objectName: "instanceList"
                        anchors.fill: parent
                        clip: true
                        boundsBehavior: Flickable.StopAtBounds
                        activeFocusOnTab: true
                        ScrollBar.vertical: CustomScrollBar {}

                        onCurrentIndexChanged: {
                            root.selectedSfxInstanceEventId = currentItem ? currentItem.eventId : ""
                            root.playStateUpdated()
                        }

                        Keys.onSpacePressed: root.editSelectedInstance()

                        // No instance is selected until the operator picks
                        // one, also after each rebuild of the list.
                        onModelChanged: currentIndex = -1

                        Connections {
                            target: instanceList.model ?? null
                            ignoreUnknownSignals: true
                            function onModelReset() {
                                instanceList.currentIndex = -1
                            }
                        }

                        delegate: Rectangle {
                            id: instanceRow

                            readonly property string eventId: model.eventId ?? ""
                            readonly property bool isReady: model.isReady === true

                            width: instanceList.width - instanceList.ScrollBar.vertical.width
                            height: 40
                            color: ListView.isCurrentItem ? Qt.lighter(theme.default_bg_color, 1.3)
                                                          : theme.default_bg_color

                            FocusHighlight {
                                anchors.fill: parent
                                visible: instanceRow.ListView.isCurrentItem && instanceList.activeFocus
                            }

                            RowLayout {
                                anchors.fill: parent
                                anchors.margins: 5

                                RowText {
                                    Layout.fillHeight: true
                                    Layout.maximumWidth: 80
                                    text: instanceRow.eventId
                                    color: "gray"
                                    font.pixelSize: 12
                                }

                                RowText {
                                    Layout.fillWidth: true
                                    Layout.fillHeight: true
                                    text: model.summary ?? ""
                                    color: "white"
                                    font: theme.default_font
                                }

                                SfxPlayButton {
                                    id: playButton
                                    objectName: "playButton"
                                    Layout.preferredWidth: 24
                                    Layout.preferredHeight: 24
                                    playing: root.playingContains(instanceRow.eventId)

                                    MouseArea {
                                        anchors.fill: parent
                                        onClicked: {
                                            const id = instanceRow.eventId
                                            if (playButton.playing) {
                                                root.stopSfx(id)
                                                root.removeFromPlaying(id)
                                                playButton.handleClick(false)
                                            } else {
                                                root.playSfx(id)
                                                root.addToPlaying(id)
                                                playButton.handleClick(true)
                                            }
                                        }
                                    }
                                }
                            }

                            MouseArea {
                                width: parent.width * 0.75
                                height: parent.height
                                onClicked: {
                                    if (instanceRow.eventId === root.selectedSfxInstanceEventId)
                                        return
                                    root.selectedSfxInstanceEventId = instanceRow.eventId
                                    instanceList.currentIndex = index
                                    instanceList.forceActiveFocus()
                                    root.playStateUpdated()
                                }
                                onDoubleClicked: {
                                    if (instanceRow.eventId !== root.selectedSfxInstanceEventId
                                            || !root.enableModificationButtons())
                                        return
                                    root.stopSfx(root.selectedSfxInstanceEventId)
                                    root.editSoundEffectInstanceClicked(instanceRow.eventId)
                                }
                            }

                            Connections {
                                target: root
                                function onSfxFinished(eventId) {
                                    if (eventId !== instanceRow.eventId)
                                        return
                                    root.removeFromPlaying(eventId)
                                    playButton.handleClick(root.playingContains(eventId))
                                }
                            }

                            // Until the player has the file, the row takes no clicks.
                            Rectangle {
                                objectName: "notReadyOverlay"
                                z: 100
                                anchors.fill: parent
                                color: "#80000000"
                                visible: !instanceRow.isReady

                                MouseArea {
                                    anchors.fill: parent
                                    acceptedButtons: Qt.AllButtons
                                }
                            }
                        }
                    }
                }
            }
        }

        RowLayout {
            Layout.preferredWidth: instanceColumn.width
            Layout.preferredHeight: 50
            Layout.topMargin: 10
            Layout.alignment: Qt.AlignRight
            spacing: 10

            FlatButton {
                id: createButton
                objectName: "createButton"
                text: qsTr("Create")
                onClicked: root.createInstance()
            }

            FlatButton {
                id: editButton
                objectName: "editButton"
                text: qsTr("Edit")
                onClicked: root.editSelectedInstance()
            }

            FlatButton {
                id: deleteButton
                objectName: "deleteButton"
                text: qsTr("Delete")
                onClicked: root.deleteSelectedInstance()
            }

            Item {
                Layout.fillWidth: true
            }

            FlatButton {
                id: closeButton
                objectName: "closeButton"
                text: qsTr("Close")
                isDefault: true
                onClicked: root.close()
            }
        }
    }
}
