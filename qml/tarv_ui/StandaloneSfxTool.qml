import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import "sfxunits.js" as SfxUnits

// Creates or edits one sound-effect instance of the cue file: its name, the
// installed effect it plays, volume, pan, fades and loop. OK hands every value
// to the controller in one request; the window keeps nothing.
EditTool {
    id: root

    property alias effectModel: sourceCombo.model
    property alias effectIdIndex: sourceCombo.currentIndex
    property alias effectId: sourceCombo.currentValue
    property alias effectText: sourceCombo.displayText
    property alias name: nameField.text
    // Until the operator types a name, the name follows the chosen source.
    property bool isNameDirty: false
    property alias volume: volumeSlider.value
    property alias pan: panSlider.value
    property alias reverb: reverbSlider.value
    property alias fadeIn: fadeInField.text
    property alias fadeOut: fadeOutField.text
    property alias loop: loopCheck.checked
    // The stored output path, sent back unchanged: the window offers no
    // choice of output, and an edit must not erase it.
    property string outputPathId: ""
    property int prefColumnWidth: 200

    signal createRequest(string name, string outputPath, int outputPathIndex, string effectId,
                         int effectIdIndex, real volume, real pan, int reverb, int fadeIn,
                         int fadeOut, int repeats)
    signal changeRequest(string name, string outputPath, int outputPathIndex, string effectId,
                         int effectIdIndex, real volume, real pan, int reverb, int fadeIn,
                         int fadeOut, int repeats)
    signal toolClosing()

    function accept() {
        const hasSources = sourceCombo.count > 0
        const request = isEdit ? changeRequest : createRequest
        request(nameField.text, outputPathId, -1,
                hasSources ? sourceCombo.currentValue : "", hasSources ? sourceCombo.currentIndex : -1,
                SfxUnits.gainOfPosition(volumeSlider.value), panSlider.value,
                Math.trunc(reverbSlider.value),
                SfxUnits.fadeMilliseconds(fadeInField.text, SfxUnits.instanceFadeLimit),
                SfxUnits.fadeMilliseconds(fadeOutField.text, SfxUnits.instanceFadeLimit),
                loopCheck.checked ? -1 : 0)
        visible = false
        toolClosing()
    }

    function cancel() {
        visible = false
        toolClosing()
    }

    title: (isEdit ? qsTr("Edit ") : qsTr("Create ")) + qsTr("Instance")
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    modality: Qt.ApplicationModal
    width: content.implicitWidth + 50
    height: content.implicitHeight + 50

    onWindowClosing: {
        isNameDirty = false
        toolClosing()
    }

    Binding {
        target: nameField
        property: "text"
        value: sourceCombo.displayText
        when: !root.isNameDirty
        restoreMode: Binding.RestoreNone
    }

    ColumnLayout {
        id: content
        objectName: "content"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 25
        spacing: 15
        focus: true

        Keys.onEscapePressed: buttons.cancelClicked()
        Keys.onReturnPressed: buttons.okayClicked()

        GridLayout {
            columns: 2

            Label {
                text: qsTr("Name")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            RecessedTextInput {
                id: nameField
                objectName: "nameField"
                Layout.preferredWidth: root.prefColumnWidth
                onTextEdited: root.isNameDirty = true
            }

            Label {
                text: qsTr("Source File")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            CustomComboBox {
                id: sourceCombo
                objectName: "sourceCombo"
                Layout.preferredWidth: root.prefColumnWidth
                textRole: "displayname"
                valueRole: "sfxid"
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
                value: 0.5
                sliderStep: 0.01
                zeroMark: SfxUnits.zeroMarkPosition
                customDisplayFunction: position => SfxUnits.levelOfPosition(position).toFixed(3)
                customInvertFunction: text => SfxUnits.positionOfLevel(parseFloat(text))

                TarvToolTip {
                    text: "Value: " + SfxUnits.levelOfPosition(volumeSlider.value).toFixed(1) + " dB"
                    visible: volumeSlider.hovered || volumeSlider.activeFocus
                    delay: 500
                }
            }

            Label {
                text: qsTr("Pan")
                font: root.theme.default_font
                color: root.theme.default_text_color
            }
            TarvCustomSlider {
                id: panSlider
                objectName: "panSlider"
                Layout.preferredWidth: root.prefColumnWidth
                from: 0
                to: 100
                value: 50
                zeroMark: 50

                TarvToolTip {
                    text: "Value: " + panSlider.value.toFixed(2)
                    visible: panSlider.hovered || panSlider.activeFocus
                    delay: 500
                }
            }

            Label {
                text: qsTr("Reverb")
                visible: false
            }
            TarvCustomSlider {
                id: reverbSlider
                objectName: "reverbSlider"
                visible: false
                from: 0
                to: 100
                value: 50
                showZeroMark: false
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

        StandardEditButtons {
            id: buttons
            objectName: "buttons"
            Layout.alignment: Qt.AlignHCenter
            onOkayClicked: root.accept()
            onCancelClicked: root.cancel()
        }

        EventIdLabel {
            value: root.eventId
        }
    }
}
