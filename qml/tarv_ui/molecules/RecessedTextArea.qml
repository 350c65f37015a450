import QtQuick
import com.quillonworks.tarv_ui

// Multi-line text area with the recessed look of the one-line field.
Rectangle {
    id: control

    property alias text: edit.text
    property alias editable: edit.enabled
    property alias horizontalAlignment: edit.horizontalAlignment
    property real textIndent: 0

    signal editingFinished()
    signal textEdited()

    function forceActiveFocus() {
        edit.forceActiveFocus()
    }

    implicitWidth: edit.implicitWidth
    implicitHeight: edit.implicitHeight

    TarvTheme { id: theme }

    Rectangle {
        anchors.fill: parent
        color: Qt.lighter(theme.default_bg_color, 1.25)

        RecessedBevel {}
    }

    TextEdit {
        id: edit
        objectName: "textArea"
        anchors.fill: parent
        anchors.leftMargin: control.textIndent
        color: theme.default_text_color
        font: theme.default_font
        verticalAlignment: TextEdit.AlignTop
        wrapMode: TextEdit.NoWrap
        selectByMouse: true
        clip: true
        focus: true

        onActiveFocusChanged: {
            if (activeFocus)
                selectAll()
        }
        onEditingFinished: control.editingFinished()
        // Setting the text clears the undo history; an operator's edit
        // always leaves something to undo or redo. That tells the two apart.
        onTextChanged: {
            if (canUndo || canRedo)
                control.textEdited()
        }
    }
}
