import QtQuick 2.15
import QtQuick.Layouts 1.15

// Integer spin box that keeps intValue within from..to and can show one step
// below from as "Infinite".
Item {
    id: control

    property alias value: textInput.text
    property int intValue: 1
    property alias editable: textInput.editable
    property bool underflowWithInfinite: false
    property int from: 0
    property int to: 99

    signal validateInput()

    height: 25

    // Brings intValue back into range and updates the buttons and the text.
    // A correction returns right after the nested run it triggers, so the
    // field always shows the number that intValue finally holds.
    onIntValueChanged: {
        let shown = String(intValue)
        const floor = underflowWithInfinite ? from - 1 : from
        if (intValue < floor) {
            intValue = from
            return
        }
        if (intValue > to) {
            intValue = to
            return
        }
        if (underflowWithInfinite && intValue === from - 1)
            shown = "Infinite"
        minus.enabled = intValue > floor
        plus.enabled = intValue < to
        textInput.text = shown
    }
    Component.onCompleted: intValueChanged()

    onValidateInput: {
        const typed = parseInt(textInput.text)
        if (isNaN(typed)) {
            if (underflowWithInfinite) {
                textInput.text = "Infinite"
                intValue = from - 1
            } else {
                textInput.text = String(intValue)
            }
            return
        }
        const limited = Math.max(Math.min(typed, to), from)
        textInput.text = String(limited)
        intValue = limited
    }

    RowLayout {
        id: mainLayout
        anchors.fill: parent

        FlatButton {
            id: minus
            objectName: "minus"
            text: "-"
            Layout.preferredWidth: 25
            Layout.preferredHeight: 25
            onClicked: control.intValue -= 1
            onDoubleClicked: control.intValue -= 1
        }

        CustomTextInput {
            id: textInput
            objectName: "textInput"
            text: "1"
            Layout.preferredWidth: control.width - 50 - 4 * mainLayout.spacing
            Layout.preferredHeight: 25
            horizontalAlignment: TextEdit.AlignHCenter
            onEditingFinished: control.validateInput()
        }

        FlatButton {
            id: plus
            objectName: "plus"
            text: "+"
            Layout.preferredWidth: 25
            Layout.preferredHeight: 25
            onClicked: control.intValue += 1
            onDoubleClicked: control.intValue += 1
        }
    }
}
