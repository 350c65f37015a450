import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// The Cancel and OK pair at the foot of the editing dialogs. It only reports:
// the dialog decides what accepting and cancelling mean.
Item {
    id: root

    signal okayClicked()
    signal cancelClicked()

    property alias cancelButton: cancelButton
    property alias okButton: okButton

    implicitWidth: buttonRow.width
    implicitHeight: cancelButton.implicitHeight

    // The buttons consume neither key, so both reach this handler from
    // whichever button holds the focus.
    Keys.onEscapePressed: root.cancelClicked()
    Keys.onReturnPressed: root.okayClicked()

    // Deliberately not anchored: the row keeps its own size at the top left.
    RowLayout {
        id: buttonRow
        spacing: 20

        Rectangle {
            id: spacer
            Layout.fillWidth: true
            color: "transparent"
        }

        FlatButton {
            id: cancelButton
            Layout.alignment: Qt.AlignRight
            Layout.preferredWidth: 80
            text: qsTr("Cancel")
            onClicked: root.cancelClicked()

            FocusHighlight {
                anchors.fill: parent
                visible: cancelButton.activeFocus
            }
        }

        FlatButton {
            id: okButton
            Layout.alignment: Qt.AlignRight
            Layout.preferredWidth: cancelButton.width
            text: qsTr("OK")
            isDefault: true
            onClicked: root.okayClicked()

            FocusHighlight {
                anchors.fill: parent
                visible: okButton.activeFocus
            }
        }
    }
}
