import QtQuick

// A plain text panel for a parent to place: the text on one line at the top
// left. It has no behaviour; close() is for the parent to emit or handle.
Item {
    id: control

    property alias text: label.text

    signal close()

    width: 500
    height: 500

    Column {
        anchors.fill: parent

        // Shown literally, as the message windows show their texts.
        Text {
            id: label
            objectName: "messageLabel"
            color: "black"
            textFormat: Text.PlainText
        }
    }
}
