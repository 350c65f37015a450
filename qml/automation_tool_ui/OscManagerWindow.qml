import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import com.quillonworks.tarv_ui 1.0

// The program's OSC reception (on or off, listening port) and the cue list's
// network destinations. New, Edit and Delete change only the working copy in
// `networkModel`; the controller applies everything on okay().
Window {
    id: root

    property alias oscListenPortString: oscListenPort.text
    property alias oscEnabled: enableOsc.checked
    property alias networkModel: networkList.model
    property int rowHeight: 35
    // A whole number from 1 to 65535, blanks around it allowed.
    readonly property bool listenPortValid: {
        const text = oscListenPort.text.trim()
        return /^[0-9]+$/.test(text) && Number(text) >= 1 && Number(text) <= 65535
    }
    readonly property bool rowSelected: networkList.currentIndex !== -1
                                        && networkList.currentIndex < networkList.count

    signal okay()
    signal createNetwork(string ip, int port, string mode, string name)
    signal editNetwork(int index, string ip, int port, string mode, string name, string networkId)
    signal deleteButton()
    signal idFill()

    // A port that cannot be listened on is refused: OK does nothing and the
    // field keeps its mark until the port is fixed.
    function tryOkay() {
        if (!root.listenPortValid) {
            oscListenPort.forceActiveFocus()
            return
        }
        root.okay()
    }

    function newNetwork() {
        networkEditWindow.networkName = qsTr("New Network Destination")
        networkEditWindow.ipAddress = "127.0.0.1"
        networkEditWindow.port = 8000
        networkEditWindow.mode = "udp"
        networkEditWindow.isEdit = false
        networkEditWindow.visible = true
    }

    function editSelectedNetwork() {
        const row = networkList.currentIndex
        networkEditWindow.ipAddress = root.networkModel.dataStr(row, "ipAddress")
        networkEditWindow.port = root.networkModel.dataStr(row, "port")
        networkEditWindow.mode = root.networkModel.dataStr(row, "mode")
        networkEditWindow.networkName = root.networkModel.dataStr(row, "name")
        networkEditWindow.networkId = root.networkModel.dataStr(row, "networkId")
        networkEditWindow.isEdit = true
        networkEditWindow.visible = true
    }

    title: qsTr("OSC Manager")
    visible: false
    modality: Qt.ApplicationModal
    flags: Qt.CustomizeWindowHint | Qt.Dialog | Qt.WindowTitleHint | Qt.WindowCloseButtonHint
    color: theme.default_bg_color
    width: 550
    height: mainColumn.height + 2 * 16
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height

    onVisibleChanged: {
        if (visible) {
            root.requestActivate()
            keyHandler.forceActiveFocus()
        }
    }
    // Delete disables itself when it empties the list and, if it had the
    // keyboard, hands the focus to the window's own root, below the key
    // handler: Return and Escape would go unheard until a click or Tab.
    onActiveFocusItemChanged: {
        if (activeFocusItem === contentItem)
            keyHandler.forceActiveFocus()
    }
    onDeleteButton: {
        if (networkList.currentIndex !== -1)
            root.networkModel.removeRows(networkList.currentIndex, 1)
    }

    TarvTheme { id: theme }

    NetworkEditWindowQ {
        id: networkEditWindow
        objectName: "networkEditWindow"
        transientParent: root
        onChangeRequest: (ip, port, mode, networkName, networkId) =>
                         root.editNetwork(networkList.currentIndex, ip, port, mode, networkName, networkId)
        onCreateRequest: (ip, port, mode, name) => root.createNetwork(ip, port, mode, name)
    }

    Item {
        id: keyHandler
        anchors.fill: parent
        focus: true

        Keys.onEscapePressed: root.close()
        Keys.onReturnPressed: root.tryOkay()
        Keys.onEnterPressed: root.tryOkay()

        ColumnLayout {
            id: mainColumn
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: 16
            spacing: 8

            Text {
                text: qsTr("Application OSC Settings (receiving)")
                font: theme.heavy_label
                color: theme.light_text_color
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: settingsColumn.height + 2 * 16
                color: Qt.lighter(theme.default_bg_color, 1.25)

                ColumnLayout {
                    id: settingsColumn
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.top: parent.top
                    anchors.margins: 16
                    spacing: 15

                    RowLayout {
                        spacing: 10
                        Layout.preferredHeight: root.rowHeight
                        CustomCheckbox {
                            id: enableOsc
                            objectName: "enableOsc"
                            checkboxTextStr: qsTr("Allow incoming OSC connections")
                            checkboxTextColor: "white"
                        }
                    }
                    RowLayout {
                        spacing: 10
                        Layout.preferredHeight: root.rowHeight
                        Text {
                            text: qsTr("OSC Listening Port:")
                            font: theme.default_font
                            color: theme.default_text_color
                        }
                        RecessedTextInput {
                            id: oscListenPort
                            objectName: "oscListenPort"
                            Layout.preferredWidth: 75
                            backgroundColor: root.listenPortValid ? theme.light_background_color
                                                                  : "#6b1f1f"
                        }
                        Text {
                            text: qsTr("(UDP)")
                            font: theme.default_font
                            color: theme.default_text_color
                        }
                    }
                }
            }

            Text {
                text: qsTr("Network Path Outputs (sending)")
                font: theme.heavy_label
                color: theme.light_text_color
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: networkColumn.height + 2 * 16
                color: Qt.lighter(theme.default_bg_color, 1.25)

                ColumnLayout {
                    id: networkColumn
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.top: parent.top
                    anchors.margins: 16
                    spacing: 15

                    CustomTwoColumnListView {
                        id: networkList
                        objectName: "networkList"
                        Layout.fillWidth: true
                        Layout.preferredHeight: 200
                    }
                    RowLayout {
                        Layout.alignment: Qt.AlignHCenter
                        Layout.preferredHeight: root.rowHeight
                        FlatButton {
                            objectName: "newNetworkButton"
                            Layout.alignment: Qt.AlignHCenter
                            text: qsTr("New Network")
                            onClicked: root.newNetwork()
                        }
                        FlatButton {
                            objectName: "editButton"
                            text: qsTr("Edit")
                            enabled: root.rowSelected
                            onClicked: root.editSelectedNetwork()
                        }
                        FlatButton {
                            objectName: "deleteButton"
                            text: qsTr("Delete")
                            enabled: root.rowSelected
                            onClicked: root.deleteButton()
                        }
                    }
                }
            }

            RowLayout {
                Layout.alignment: Qt.AlignRight
                FlatButton {
                    objectName: "cancelButton"
                    text: qsTr("Cancel")
                    onClicked: root.close()
                }
                FlatButton {
                    objectName: "okButton"
                    text: qsTr("OK")
                    isDefault: true
                    onClicked: root.tryOkay()
                }
            }

            Item { Layout.fillHeight: true }
        }
    }
}
