import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import com.quillonworks.tarv_ui 1.0

// Editor of one wait: its time in seconds as typed, and its two flags. The
// controller fills the properties, reads them back on accepted() and stores
// the wait; every way out closes the window, so the main window hears it.
Window {
    id: root

    property alias waitTime: txtWaitTime.text
    property alias disableEvent: checkDisableEvent.checked
    property alias disableDelete: checkDisableDelete.checked
    property int windowMargin: 15

    signal accepted()
    signal cancelled()

    function accept() {
        root.accepted()
        root.close()
    }

    function cancel() {
        root.cancelled()
        root.close()
    }

    title: qsTr("Configure Wait Function")
    visible: true
    modality: Qt.WindowModal
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    color: theme.default_bg_color
    width: 350
    minimumWidth: 350
    maximumWidth: width
    height: content.implicitHeight + 2 * windowMargin
    minimumHeight: height
    maximumHeight: height

    onVisibleChanged: {
        if (visible) {
            root.requestActivate()
            txtWaitTime.forceActiveFocus()
        }
    }
    Component.onCompleted: {
        if (visible)
            txtWaitTime.forceActiveFocus()
    }
    // The controller fills the field after creation: select it once the
    // window first has the keyboard, so typing replaces it.
    onActiveChanged: {
        if (active && !keyHandler.opened) {
            keyHandler.opened = true
            txtWaitTime.forceActiveFocus()
            txtWaitTime.field.selectAll()
        }
    }

    TarvTheme { id: theme }

    Item {
        id: keyHandler
        property bool opened: false
        anchors.fill: parent
        focus: true

        Keys.onReturnPressed: root.accept()
        Keys.onEnterPressed: root.accept()
        Keys.onEscapePressed: root.cancel()

        ColumnLayout {
            id: content
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: root.windowMargin
            spacing: 15

            RowLayout {
                spacing: 15

                Text {
                    text: qsTr("Wait (sec)")
                    color: "white"
                    font: theme.default_font
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                RecessedTextInput {
                    id: txtWaitTime
                    objectName: "txtWaitTime"
                    Layout.preferredWidth: 50
                }
                Item { Layout.fillWidth: true }
                FlatButton {
                    id: cancelButton
                    objectName: "cancelButton"
                    text: qsTr("Cancel")
                    onClicked: root.cancel()
                }
                FlatButton {
                    id: okButton
                    objectName: "okButton"
                    text: qsTr("OK")
                    isDefault: true
                    onClicked: root.accept()
                }
            }

            RowLayout {
                spacing: 15

                CustomCheckbox {
                    id: checkDisableDelete
                    objectName: "checkDisableDelete"
                    checkboxTextStr: qsTr("Lock Cue")
                    checkboxTextColor: "white"
                }
                CustomCheckbox {
                    id: checkDisableEvent
                    objectName: "checkDisableEvent"
                    checkboxTextStr: qsTr("Disable Cue")
                    checkboxTextColor: "white"
                }
            }
        }
    }
}
