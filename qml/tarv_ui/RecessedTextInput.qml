import QtQuick 2.15
import QtQuick.Controls 2.15

// The one-line text field of the dialogs: sunk into the surface, selects all
// its text when it gains the focus, and offers Copy, Cut and Paste on a right
// click.
Rectangle {
    id: control

    property alias text: textEdit.text
    property alias textColor: textEdit.color
    property alias editable: textEdit.enabled
    property alias horizontalAlignment: textEdit.horizontalAlignment
    property real textIndent: 5
    property alias font: textEdit.font
    property alias field: textEdit
    property alias backgroundColor: background.color
    property real rectHeight: textEdit.implicitHeight + 6

    signal editingFinished()
    signal textEdited()

    function forceActiveFocus() {
        textEdit.forceActiveFocus()
    }

    implicitHeight: rectHeight
    implicitWidth: textEdit.implicitWidth
    clip: true

    onFocusChanged: {
        if (focus)
            textEdit.forceActiveFocus()
    }

    TarvTheme { id: theme }

    Rectangle {
        id: background
        objectName: "recessedBackground"
        anchors.fill: parent
        color: textEdit.enabled ? Qt.lighter(theme.default_bg_color, 1.25)
                                : Qt.lighter(Qt.lighter(theme.default_bg_color, 1.25), 0.8)

        RecessedBevel {}

        Rectangle {
            objectName: "focusFrame"
            anchors.fill: parent
            color: "transparent"
            border.color: theme.default_selected_color_intense
            border.width: 2
            opacity: 0.7
            visible: textEdit.activeFocus
        }
    }

    TextInput {
        id: textEdit
        anchors.fill: parent
        anchors.leftMargin: control.textIndent
        color: enabled ? theme.default_text_color : Qt.lighter(theme.default_text_color, 0.8)
        verticalAlignment: TextInput.AlignVCenter
        selectByMouse: true
        font: theme.default_font
        selectionColor: theme.default_selected_color_intense
        activeFocusOnTab: true
        // A text input cuts its text to 32767 characters by default, even
        // text it is given rather than typed: a long name or command read
        // from a cue file would come back shortened.
        maximumLength: 2147483647

        onActiveFocusChanged: {
            if (activeFocus)
                selectAll()
        }
        onEditingFinished: control.editingFinished()
        onTextEdited: control.textEdited()

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.RightButton
            onClicked: contextMenu.open()
        }

        TarvCustomMenu {
            id: contextMenu
            objectName: "contextMenu"

            Action {
                text: qsTr("Copy")
                enabled: textEdit.selectedText !== ""
                onTriggered: textEdit.copy()
            }
            Action {
                text: qsTr("Cut")
                enabled: textEdit.selectedText !== ""
                onTriggered: textEdit.cut()
            }
            Action {
                text: qsTr("Paste")
                onTriggered: textEdit.paste()
            }
        }
    }
}
