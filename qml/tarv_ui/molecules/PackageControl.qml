import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui

// An action button, a switch and the switch's caption in one row.
Item {
    id: control

    property alias toggleText: toggleLabel.text
    property alias buttonText: actionButton.text
    property alias toggled: toggleSwitch.checked
    property alias fontSize: toggleLabel.font.pixelSize
    property alias toggle: toggleSwitch
    property alias button: actionButton
    property real spacing: 5

    signal clicked()

    implicitHeight: actionButton.implicitHeight + toggleSwitch.implicitHeight
    implicitWidth: actionButton.implicitWidth + toggleSwitch.implicitWidth

    TarvTheme { id: tarvTheme }

    FlatButton {
        id: actionButton
        objectName: "actionButton"
        text: qsTr("Package")
        width: 80
        anchors.left: parent.left
        anchors.leftMargin: control.spacing
        anchors.verticalCenter: parent.verticalCenter
        onClicked: control.clicked()
        Keys.onReturnPressed: actionButton.clicked()
    }

    Switch {
        id: toggleSwitch
        objectName: "toggleSwitch"
        anchors.left: actionButton.right
        anchors.leftMargin: control.spacing
        anchors.verticalCenter: parent.verticalCenter
        scale: activeFocus ? 0.75 : 0.65
        Keys.onReturnPressed: toggleSwitch.toggle()
    }

    Label {
        id: toggleLabel
        objectName: "toggleLabel"
        anchors.left: toggleSwitch.right
        anchors.leftMargin: control.spacing
        anchors.verticalCenter: parent.verticalCenter
        color: tarvTheme.default_text_color
    }
}
