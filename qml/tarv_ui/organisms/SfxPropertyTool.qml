import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import com.quillonworks.tarv_ui
import "../sfxunits.js" as SfxUnits

// "Custom Audio Parameters": the file an AUDIO event plays or stops, the
// command, volume, fades and loop. OK hands the values to the controller in
// one signal; the event's name and reverb stay the controller's business.
EditTool {
    id: root

    property alias fileUrl: fileInput.fileUrl
    property alias filename: fileInput.value
    // Where the file chooser opens, and after a choice, where it was made.
    property alias audioFolder: fileInput.folder
    // Where it opens when that folder has gone.
    property alias audioFallbackFolders: fileInput.fallbackFolders
    property alias commandIndex: commandCombo.currentIndex
    property alias volume: volumeSlider.value
    property alias pan: panSlider.value
    property alias fadeIn: fadeInField.text
    property alias fadeOut: fadeOutField.text
    property alias loop: loopCheck.checked
    property int prefColumnWidth: 200

    // Written by the controller, which shares its filling with the instance
    // editor; nothing here shows or sends them.
    property bool usesCustomAudioFile: false
    property string name: ""
    property real reverb: 0
    property var effectModel: null
    property int effectIdIndex: -1
    property string effectText: ""
    property string outputPathId: ""
    property bool isNameDirty: false

    signal updateCustomAudioEntry(url fileUrl, int commandIndex, real volume, real pan,
                                  int fadeIn, int fadeOut, bool loop)
    signal toolClosing()

    function accept() {
        updateCustomAudioEntry(fileInput.fileUrl, commandCombo.currentIndex,
                               SfxUnits.gainOfPosition(volumeSlider.value), panSlider.value,
                               SfxUnits.fadeMilliseconds(fadeInField.text, SfxUnits.customAudioFadeLimit),
                               SfxUnits.fadeMilliseconds(fadeOutField.text, SfxUnits.customAudioFadeLimit),
                               loopCheck.checked)
        close()
    }

    title: qsTr("Custom Audio Parameters")
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    modality: Qt.ApplicationModal
    width: content.implicitWidth + 50
    height: content.implicitHeight + 50

    onWindowClosing: toolClosing()

    ColumnLayout {
        id: content
        objectName: "content"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 25
        spacing: 15

        GridLayout {
            columns: 2

            Label {
                Layout.topMargin: 5
                Layout.bottomMargin: 2
                text: qsTr("Source File")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            FileInputControl {
                id: fileInput
                objectName: "fileInput"
                Layout.preferredWidth: root.prefColumnWidth
                Layout.topMargin: 5
                spacing: 15
                nameFilters: [qsTr("WAV Files (*.wav)"), qsTr("All files (*)")]
            }

            Label {
                Layout.bottomMargin: 2
                text: qsTr("Command")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            CustomComboBox {
                id: commandCombo
                objectName: "commandCombo"
                Layout.preferredWidth: root.prefColumnWidth
                Layout.bottomMargin: 2
                textRole: "displayName"
                valueRole: "commandIndex"
                model: ListModel {
                    ListElement { displayName: qsTr("Play"); commandIndex: 0 }
                    ListElement { displayName: qsTr("Stop"); commandIndex: 1 }
                }
            }

            Label {
                text: qsTr("Volume")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            TarvCustomSlider {
                id: volumeSlider
                objectName: "volumeSlider"
                Layout.preferredWidth: root.prefColumnWidth
                from: SfxUnits.leftEndPosition
                to: 1.0
                value: SfxUnits.zeroMarkPosition
                sliderStep: 0.01
                zeroMark: SfxUnits.zeroMarkPosition
                customDisplayFunction: position => SfxUnits.levelOfPosition(position).toFixed(3)
                customInvertFunction: text => SfxUnits.positionOfLevel(parseFloat(text))

                TarvToolTip {
                    text: "Value: " + SfxUnits.levelOfPosition(volumeSlider.value).toFixed(1) + " dB"
                    visible: volumeSlider.hovered
                    delay: 500
                }
            }

            Label {
                text: qsTr("Fade In (sec)")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            RecessedTextInput {
                id: fadeInField
                objectName: "fadeInField"
                Layout.preferredWidth: root.prefColumnWidth / 2
            }

            Label {
                text: qsTr("Fade Out (sec)")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            RecessedTextInput {
                id: fadeOutField
                objectName: "fadeOutField"
                Layout.preferredWidth: root.prefColumnWidth / 2
            }

            CustomCheckbox {
                id: loopCheck
                objectName: "loopCheck"
                checkboxTextStr: qsTr("Loop")
            }
        }

        // Never shown: pan is kept and sent back as the controller wrote it.
        TarvCustomSlider {
            id: panSlider
            objectName: "panSlider"
            visible: false
            from: 0
            to: 100
            value: 50
        }

        StandardEditButtons {
            id: buttons
            objectName: "buttons"
            Layout.topMargin: 5
            Layout.alignment: Qt.AlignHCenter
            onOkayClicked: root.accept()
            onCancelClicked: root.close()
        }
    }
}
