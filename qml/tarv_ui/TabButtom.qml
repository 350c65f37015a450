import QtQuick 2.0
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Qt5Compat.GraphicalEffects

// Earlier form of CustomTabButton: icon left of an always-bold label. It holds
// no theme: its seven colours are read by bare name, so the root of the
// document that declares it must carry properties of these names.
TabButton {
    id: control

    property bool isSelected: TabBar.tabBar ? TabBar.tabBar.currentIndex === TabBar.index : false
    property int imageMargin: 5
    property url source: ""
    property color overlayColor

    text: qsTr("Tab")
    width: implicitWidth * 1.2
    font.bold: true

    contentItem: Item {
        implicitHeight: tabLabel.implicitHeight
        implicitWidth: tabLabel.implicitWidth + tabImage.implicitWidth + control.imageMargin

        Image {
            id: tabImage
            source: control.source
            sourceSize.height: tabLabel.implicitHeight * 0.8
            verticalAlignment: Image.AlignVCenter
        }

        ColorOverlay {
            x: tabImage.x
            y: tabImage.y
            width: tabImage.width
            height: tabImage.height
            source: tabImage
            color: "gray"
            visible: !control.enabled && tabImage.status === Image.Ready
        }

        Text {
            id: tabLabel
            objectName: "tabLabel"
            anchors.left: tabImage.right
            anchors.leftMargin: control.imageMargin
            text: control.text
            font: control.font
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            color: control.isSelected ? tab_selected_text_color : default_text_header_color
        }
    }

    background: Rectangle {
        objectName: "tabBackground"
        color: control.hovered ? default_bg_hover_color : control.isSelected ? default_bg_color : default_bg_unselected_color

        Rectangle {
            id: lightLine
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: bevel_light_color
            visible: !control.isSelected
        }
        Rectangle {
            anchors.bottom: lightLine.top
            width: parent.width
            height: 1
            color: bevel_dark_color
            visible: !control.isSelected
        }

        BasicBevel {}
    }
}
