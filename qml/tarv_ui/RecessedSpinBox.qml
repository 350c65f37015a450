import QtQuick 2.15
import QtQuick.Layouts 1.15

// Spin box whose buttons only report; the holder decides what a step does and
// writes value (and intValue) back.
Item {
    id: control

    property alias value: textInput.text
    property int intValue: 1
    property alias editable: textInput.editable
    property real inputWidth: 50
    property bool underflowWithInfinite: false
    property bool dirty: false
    property int from: 0
    property int to: 99
    property alias textIndent: textInput.textIndent
    property alias decrementButton: minus
    property alias incrementButton: plus
    property var defaultValue: "\u221E"
    property alias inputFocus: textInput.focus

    signal incrementValue()
    signal decrementValue()
    signal editingFinished()
    signal textEdited()

    height: 25
    width: mainLayout.implicitWidth + 2

    onIntValueChanged: {
        minus.enabled = intValue > from
        plus.enabled = intValue < to
    }

    Component.onCompleted: {
        const number = Number(defaultValue)
        intValue = defaultValue === "\u221E" || isNaN(number) ? from : number
        textInput.text = String(defaultValue)
    }

    RowLayout {
        id: mainLayout
        anchors.fill: parent
        spacing: 0

        FlatButton {
            id: minus
            objectName: "minus"
            text: "-"
            Layout.preferredWidth: 25
            Layout.preferredHeight: 25
            onClicked: control.decrementValue()
        }

        RecessedTextInput {
            id: textInput
            objectName: "textInput"
            Layout.preferredWidth: control.inputWidth
            Layout.preferredHeight: 25
            Layout.fillWidth: true
            horizontalAlignment: TextInput.AlignHCenter
            onTextEdited: control.textEdited()
            onEditingFinished: control.editingFinished()
        }

        FlatButton {
            id: plus
            objectName: "plus"
            text: "+"
            Layout.preferredWidth: 25
            Layout.preferredHeight: 25
            onClicked: control.incrementValue()
        }
    }
}
