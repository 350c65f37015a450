import QtQuick 2.15

// Plain white field with black text (the spin box's editor). Return inserts a
// line break; editing finishes when the field loses the focus.
Rectangle {
    id: control

    property alias text: textEdit.text
    property alias editable: textEdit.enabled
    property alias horizontalAlignment: textEdit.horizontalAlignment

    signal editingFinished()

    color: "white"
    height: 25

    TextEdit {
        id: textEdit
        anchors.fill: parent
        anchors.leftMargin: 15
        anchors.rightMargin: 15
        color: "black"
        verticalAlignment: TextEdit.AlignVCenter
        selectByMouse: true
        onEditingFinished: control.editingFinished()
    }
}
