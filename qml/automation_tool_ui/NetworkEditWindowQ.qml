import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import com.quillonworks.tarv_ui 1.0

// Creates or edits one network destination of the OSC manager. It stores
// and checks nothing: OK reports the fields as entered and closes.
Window {
    id: root

    property bool isEdit: false
    property alias networkName: nameInput.text
    property alias ipAddress: ipInput.text
    property string mode: "udp"
    property int port: 5501
    property string networkId: ""

    signal changeRequest(string ip, int port, string mode, string networkName, string networkId)
    signal createRequest(string ip, int port, string mode, string name)

    // A script number cut toward zero; text that is no number gives 0, and a
    // number beyond 32 bits is held at the edge instead of wrapping.
    function portFromText(text) {
        const value = Number(text)
        if (!isFinite(value))
            return 0
        return Math.max(-2147483648, Math.min(2147483647, Math.trunc(value)))
    }

    function ok() {
        const enteredPort = portFromText(portInput.text)
        if (root.isEdit)
            root.changeRequest(ipInput.text, enteredPort, root.mode, root.networkName, root.networkId)
        else
            root.createRequest(ipInput.text, enteredPort, root.mode, root.networkName)
        root.close()
    }

    title: isEdit ? qsTr("Edit Network Destination") : qsTr("Create Network Destination")
    visible: false
    modality: Qt.ApplicationModal
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    width: mainColumn.width + 2 * 16
    height: mainColumn.height + 2 * 16

    // The port field shows the port set before every showing, whatever was
    // typed into it last time.
    onVisibleChanged: {
        if (visible) {
            portInput.text = root.port
            root.requestActivate()
            nameInput.forceActiveFocus()
            nameInput.field.selectAll()
        }
    }

    TarvTheme { id: theme }

    Rectangle {
        anchors.fill: parent
        color: theme.default_bg_color
    }

    ColumnLayout {
        id: mainColumn
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 16
        spacing: 16

        Keys.onReturnPressed: root.ok()
        Keys.onEnterPressed: root.ok()
        Keys.onEscapePressed: root.close()

        RowLayout {
            spacing: 16
            Text { text: qsTr("Display Name"); color: theme.default_text_color; font: theme.default_font }
            RecessedTextInput { id: nameInput; objectName: "nameInput"; Layout.preferredWidth: 200; text: "Network" }
        }
        RowLayout {
            spacing: 16
            Text { text: qsTr("Destination IP Address"); color: theme.default_text_color; font: theme.default_font }
            RecessedTextInput { id: ipInput; objectName: "ipInput"; Layout.preferredWidth: 125; text: "127.0.0.1" }
        }
        RowLayout {
            spacing: 16
            Text { text: qsTr("Port"); color: theme.default_text_color; font: theme.default_font }
            RecessedTextInput { id: portInput; objectName: "portInput"; Layout.preferredWidth: 60; text: root.port }
        }
        RowLayout {
            spacing: 16
            Text { text: qsTr("Mode"); color: theme.default_text_color; font: theme.default_font }
            // Shows the one mode offered; the mode sent is the one set.
            CustomComboBox {
                id: modeInput
                objectName: "modeInput"
                Layout.preferredWidth: 100
                textRole: "mode"
                valueRole: "value"
                model: [{ mode: "UDP", value: "udp" }]
            }
        }
        StandardEditButtons {
            id: buttonRow
            objectName: "buttonRow"
            Layout.alignment: Qt.AlignRight
            onOkayClicked: root.ok()
            onCancelClicked: root.close()
        }
    }
}
