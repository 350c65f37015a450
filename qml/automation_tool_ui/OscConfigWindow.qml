import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import com.quillonworks.tarv_ui 1.0

// Editor of one OSC event: the destination it sends to and its one-line
// command. The controller fills it and reads both back on accepted().
Window {
    id: root

    property alias networkIndex: networkIdInput.currentIndex
    property alias oscCommand: commandInput.text
    property alias oscNetwork: networkIdInput.currentValue
    property alias networkModel: networkIdInput.model
    property int windowMargin: 15
    // "Courier New" where installed; elsewhere the generic family, which the
    // font configuration resolves to a monospace font.
    readonly property string monospaceFamily: Qt.fontFamilies().indexOf("Courier New") >= 0
                                              ? "Courier New" : "monospace"

    signal accepted()
    signal cancelled()

    function accept() {
        root.accepted()
        root.visible = false
    }

    function cancel() {
        root.cancelled()
        root.visible = false
    }

    title: qsTr("Configure OSC Function")
    visible: true
    modality: Qt.WindowModal
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    color: theme.default_bg_color
    minimumWidth: 310
    minimumHeight: mainLayout.implicitHeight + 2 * windowMargin
    width: minimumWidth
    height: minimumHeight
    maximumHeight: minimumHeight
    maximumWidth: width

    onVisibleChanged: {
        if (visible) {
            root.requestActivate()
            commandInput.forceActiveFocus()
        }
    }
    Component.onCompleted: {
        if (visible)
            commandInput.forceActiveFocus()
    }
    // The controller fills the field after creation: select it once the
    // window first has the keyboard, so typing replaces it.
    onActiveChanged: {
        if (active && !keyHandler.opened) {
            keyHandler.opened = true
            commandInput.forceActiveFocus()
            commandInput.field.selectAll()
        }
    }

    TarvTheme { id: theme }

    Item {
        id: keyHandler
        property bool opened: false
        anchors.fill: parent
        focus: true

        // The box takes Return itself while its list is open and reports it
        // by enterPressed() while closed.
        Keys.onReturnPressed: event => {
            if (!networkIdInput.comboControl.activeFocus)
                root.accept()
        }
        Keys.onEnterPressed: event => {
            if (!networkIdInput.comboControl.activeFocus)
                root.accept()
        }
        Keys.onEscapePressed: root.cancel()

        Rectangle {
            anchors.fill: parent
            anchors.margins: root.windowMargin
            color: theme.default_bg_color

            ColumnLayout {
                id: mainLayout
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.top: parent.top
                spacing: 15

                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("Network")
                    color: theme.default_text_color
                    font: theme.default_font
                }
                CustomComboBox {
                    id: networkIdInput
                    objectName: "networkIdInput"
                    Layout.alignment: Qt.AlignHCenter
                    Layout.preferredWidth: 200
                    enabled: true
                    textRole: "name"
                    valueRole: "networkId"
                    onEnterPressed: root.accept()
                }
                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("OSC Command")
                    color: theme.default_text_color
                    font: theme.default_font
                }
                RecessedTextInput {
                    id: commandInput
                    objectName: "commandInput"
                    Layout.fillWidth: true
                }
                ColumnLayout {
                    Layout.alignment: Qt.AlignHCenter
                    Layout.fillWidth: true

                    Text {
                        text: qsTr("Example Commands")
                        color: theme.default_text_color
                        font: theme.default_font
                    }
                    TextEdit {
                        objectName: "exampleCommands"
                        Layout.fillWidth: true
                        readOnly: true
                        selectByMouse: true
                        activeFocusOnPress: false
                        wrapMode: TextEdit.WrapAnywhere
                        color: theme.default_text_color
                        selectionColor: theme.default_selected_color_intense
                        font.family: root.monospaceFamily
                        font.pixelSize: theme.default_font.pixelSize - 2
                        text: "/tarv/sfx/sfx.#/play\n/tarv/sfx/sfx.#/stop\n"
                              + "/tarv/sfx/sfx.#/fadeto (#db) (#time)"
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    Item { Layout.fillWidth: true }
                    FlatButton {
                        objectName: "cancelButton"
                        text: qsTr("Cancel")
                        onClicked: root.cancel()
                    }
                    FlatButton {
                        objectName: "okButton"
                        text: qsTr("OK")
                        isDefault: true
                        onClicked: root.accept()
                    }
                }
            }
        }
    }
}
