import QtQuick 2.0
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Qt5Compat.GraphicalEffects

// Plain text tab for switching a page's mode: a white bar along the top marks
// the current one.
TabButton {
    id: control

    property bool isSelected: TabBar.tabBar ? TabBar.tabBar.currentIndex === TabBar.index : false

    implicitHeight: 35
    text: qsTr("Tab")
    width: implicitWidth * 1.2
    font.pixelSize: 14

    contentItem: Text {
        text: control.text
        font: control.font
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: control.enabled ? "white" : "gray"
    }

    background: Item {
        Rectangle {
            objectName: "selectionBar"
            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            height: 3
            color: "white"
            visible: control.isSelected
        }
    }
}
