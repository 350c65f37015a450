import QtQuick 2.5
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Qt5Compat.GraphicalEffects

// Tab for CustomTabBar: icon and label centred together on a raised
// background; bold and white while current.
TabButton {
    id: control

    property bool isSelected: TabBar.tabBar ? TabBar.tabBar.currentIndex === TabBar.index : false
    property int imageMargin: 5
    property url source: ""
    property bool showHoverEffect: false
    property alias toolTip: toolTipControl
    property color overlayColor

    text: qsTr("Tab")
    width: Math.floor(contentItem.implicitWidth * 1.3)
    font.bold: isSelected

    TarvTheme { id: theme }

    TarvToolTip {
        id: toolTipControl
        text: ""
        delay: 500
        visible: control.hovered && text !== ""
    }

    contentItem: Item {
        implicitHeight: Math.floor(tabLabel.implicitHeight * 1.5)
        // Measured in the regular font, so the tab keeps its width when its
        // label turns bold.
        implicitWidth: Math.floor(tabImage.width + 1.2 * metrics.advanceWidth)

        TextMetrics {
            id: metrics
            font: theme.default_font
            text: control.text
        }

        RowLayout {
            anchors.fill: parent
            spacing: 0

            Item { Layout.fillWidth: true }

            Image {
                id: tabImage
                source: control.source
                sourceSize.height: tabLabel.implicitHeight * 0.8
                verticalAlignment: Image.AlignVCenter
                Layout.alignment: Qt.AlignVCenter
                Layout.rightMargin: 4
                visible: control.source.toString() !== ""
            }

            Text {
                id: tabLabel
                objectName: "tabLabel"
                text: control.text
                font: control.font
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                color: control.isSelected ? theme.tab_selected_text_color : theme.default_text_header_color
            }

            Item { Layout.fillWidth: true }
        }

        ColorOverlay {
            x: tabImage.x
            y: tabImage.y
            width: tabImage.width
            height: tabImage.height
            source: tabImage
            color: "gray"
            visible: !control.enabled && tabImage.visible
        }
    }

    background: Rectangle {
        objectName: "tabBackground"
        color: control.hovered && control.showHoverEffect ? theme.default_bg_hover_color
                                                          : control.isSelected ? theme.default_bg_color
                                                                               : theme.default_bg_unselected_color

        Rectangle {
            id: light_bev2
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: theme.bevel_light_color
            visible: !control.isSelected
        }
        Rectangle {
            anchors.bottom: light_bev2.top
            width: parent.width
            height: 1
            color: theme.bevel_dark_color
            visible: !control.isSelected
        }

        BasicBevel {
            hide_bottom: true
        }
    }
}
