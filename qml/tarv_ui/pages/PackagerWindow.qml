import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qt.labs.settings
import com.quillonworks.tarv_ui
import com.quillonworks.packager2_ui

// Front end of the show packager: the "Show" page packages a show, the "SFX"
// page packages sound effects. The packaging itself is the controller's; the
// window binds the inputs to it, shows its file list and its results, and
// keeps the inputs across runs.
ApplicationWindow {
    id: root

    property alias theme: tarvTheme
    property alias files: midiFiles.model
    property alias showName: showNameInput.value
    property alias sourceDirectory: sourceInput.value
    property alias destinationDirectory: destinationInput.value
    property alias imageDirectory: imageInput.value
    property alias soundEffectsDirectory: soundEffectsInput.value
    property alias advancedFeatures: packageControl.toggled
    property alias sfxSourceDirectory: sfxSourceInput.value
    property alias sfxDestinationDirectory: sfxDestinationInput.value

    width: 720
    height: 625
    visible: true
    color: tarvTheme.default_bg_color
    title: qsTr("Show Packager %1").arg(packagerController.versionString())

    Component.onCompleted: showNameInput.forceActiveFocus()

    TarvTheme { id: tarvTheme }

    PackagerController {
        id: packagerController
        objectName: "packagerController"

        name: root.showName
        sourceDirectory: root.sourceDirectory
        destinationDirectory: root.destinationDirectory
        imageDirectory: root.imageDirectory
        soundEffectsDirectory: root.soundEffectsDirectory
        advancedFeatures: root.advancedFeatures
        sfxSourceDirectory: root.sfxSourceDirectory
        sfxDestinationDirectory: root.sfxDestinationDirectory

        onFilesChanged: root.files = packagerController.files
        onMessageChanged: {
            if (packagerController.message)
                resultDialog.show(packagerController.messageBody)
        }
    }

    Settings {
        category: "appearance"
        property alias x: root.x
        property alias y: root.y
        property alias height: root.height
        property alias width: root.width
    }

    Settings {
        category: "show"
        property alias showName: root.showName
        property alias sourceDirectory: root.sourceDirectory
        property alias destinationDirectory: root.destinationDirectory
        property alias imageDirectory: root.imageDirectory
        property alias soundEffectsDirectory: root.soundEffectsDirectory
        property alias advancedFeatures: root.advancedFeatures
        property alias sfxSourceDirectory: root.sfxSourceDirectory
        property alias sfxDestinationDirectory: root.sfxDestinationDirectory
        property alias files: root.files
    }

    Settings {
        category: "sfx"
        property alias sfxSourceDirectory: root.sfxSourceDirectory
        property alias sfxDestinationDirectory: root.sfxDestinationDirectory
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 16

        TabBar {
            id: tabBar
            objectName: "modeTabBar"
            Layout.fillWidth: true
            spacing: 0
            currentIndex: 0
            background: Rectangle { color: tarvTheme.default_bg_color }

            ModeTabButton {
                text: qsTr("Show")
                font: tarvTheme.default_font
            }
            ModeTabButton {
                text: qsTr("SFX")
                font: tarvTheme.default_font
            }
        }

        StackLayout {
            Layout.margins: 15
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: tabBar.currentIndex

            ColumnLayout {
                id: showPage
                objectName: "showPage"
                spacing: 10

                // Tab and Backtab walk this ring, in both directions and
                // round its ends. The fields move the focus on Tab by
                // themselves, so each item of the ring gets the keys first.
                readonly property var focusRing: [
                    showNameInput.field,
                    sourceInput.field, sourceInput.button,
                    destinationInput.field, destinationInput.button,
                    imageInput.field, imageInput.button,
                    soundEffectsInput.field, soundEffectsInput.button,
                    packageControl.button,
                    packageControl.toggle
                ]

                function moveFocus(from, step) {
                    const at = focusRing.indexOf(from)
                    const next = focusRing[(at + step + focusRing.length) % focusRing.length]
                    next.forceActiveFocus(step > 0 ? Qt.TabFocusReason : Qt.BacktabFocusReason)
                }

                Component.onCompleted: {
                    for (const item of focusRing) {
                        item.Keys.tabPressed.connect(event => {
                            event.accepted = true
                            moveFocus(item, event.modifiers & Qt.ShiftModifier ? -1 : 1)
                        })
                        item.Keys.backtabPressed.connect(event => {
                            event.accepted = true
                            moveFocus(item, -1)
                        })
                    }
                }

                // Any other item of the page: the keys go nowhere.
                Keys.onTabPressed: event => event.accepted = true
                Keys.onBacktabPressed: event => event.accepted = true

                TextInputControl {
                    id: showNameInput
                    objectName: "showNameInput"
                    Layout.fillWidth: true
                    text: qsTr("Show Name")
                }
                DirectoryInputControl {
                    id: sourceInput
                    objectName: "sourceDirectoryInput"
                    Layout.fillWidth: true
                    text: qsTr("Source Directory")
                }
                DirectoryInputControl {
                    id: destinationInput
                    objectName: "destinationDirectoryInput"
                    Layout.fillWidth: true
                    text: qsTr("Destination Directory")
                }
                DirectoryInputControl {
                    id: imageInput
                    objectName: "imageDirectoryInput"
                    Layout.fillWidth: true
                    text: qsTr("Image Directory")
                }
                DirectoryInputControl {
                    id: soundEffectsInput
                    objectName: "soundEffectsDirectoryInput"
                    Layout.fillWidth: true
                    text: qsTr("Sound Effects Directory")
                }
                FileDisplay {
                    id: midiFiles
                    objectName: "midiFiles"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    text: qsTr("MIDI Files")
                }
                PackageControl {
                    id: packageControl
                    objectName: "packageControl"
                    Layout.fillWidth: true
                    buttonText: qsTr("Package")
                    toggleText: qsTr("Package with Advanced Features")
                    fontSize: 16
                    onClicked: packagerController.package()
                }
            }

            ColumnLayout {
                objectName: "sfxPage"
                spacing: 10

                DirectoryInputControl {
                    id: sfxSourceInput
                    objectName: "sfxSourceDirectoryInput"
                    Layout.fillWidth: true
                    text: qsTr("SFX Source Directory (oggs)")
                }
                DirectoryInputControl {
                    id: sfxDestinationInput
                    objectName: "sfxDestinationDirectoryInput"
                    Layout.fillWidth: true
                    text: qsTr("SFX Destination Directory")
                }
                FlatButton {
                    objectName: "packageSfxButton"
                    Layout.preferredWidth: 80
                    text: qsTr("Package SFX")
                    onClicked: packagerController.packageSfx()
                }
                Item {
                    Layout.fillHeight: true
                }
            }
        }
    }

    // The controller's result. However the dialog closes, the result counts
    // as seen, so the controller's next result, even with the same text,
    // shows again.
    Popup {
        id: resultDialog
        objectName: "resultDialog"

        property alias informativeText: heading.text
        property alias detailedText: detail.text
        readonly property bool hasDetail: detailedText !== ""

        function show(body) {
            detailedText = body
            informativeText = body.indexOf("Warning") >= 0 || body.indexOf("Error") >= 0
                              ? qsTr("Problems Encountered") : qsTr("Packaging Complete")
            open()
        }

        modal: true
        focus: true
        width: hasDetail ? 640 : 400
        height: hasDetail ? 480 : 100
        x: (root.width - width) / 2
        y: (root.height - height) / 2
        padding: 0

        onOpened: okButton.forceActiveFocus()
        onClosed: {
            packagerController.message = false
            packagerController.messageBody = ""
        }

        Overlay.modal: Rectangle {
            objectName: "resultOverlay"
            color: "#88000000"
        }

        background: Rectangle {
            color: tarvTheme.default_bg_color
        }

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 15
            spacing: 10

            TextEdit {
                id: heading
                objectName: "resultHeading"
                Layout.fillWidth: true
                readOnly: true
                font.pixelSize: 14
                font.bold: true
                color: tarvTheme.default_text_color
                wrapMode: TextEdit.Wrap
            }

            Rectangle {
                objectName: "resultDetailArea"
                Layout.fillWidth: true
                Layout.fillHeight: true
                visible: resultDialog.hasDetail
                color: Qt.lighter(tarvTheme.default_bg_color, 1.25)

                ScrollView {
                    anchors.fill: parent

                    TextArea {
                        id: detail
                        objectName: "resultDetail"
                        readOnly: true
                        wrapMode: TextEdit.Wrap
                        font.pixelSize: 14
                        color: tarvTheme.default_text_header_color
                    }
                }
            }

            Item {
                Layout.fillHeight: true
                visible: !resultDialog.hasDetail
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                FlatButton {
                    objectName: "copyButton"
                    text: qsTr("Copy to Clipboard")
                    visible: resultDialog.hasDetail
                    onClicked: {
                        detail.selectAll()
                        detail.copy()
                    }
                }
                Item {
                    Layout.fillWidth: true
                }
                FlatButton {
                    id: okButton
                    objectName: "okButton"
                    text: qsTr("OK")
                    isDefault: true
                    onClicked: resultDialog.close()
                    Keys.onReturnPressed: resultDialog.close()
                    Keys.onEnterPressed: resultDialog.close()
                }
            }
        }
    }
}
