import QtQuick 2.0
import QtQuick.Layouts 1.15
import QtQuick.Controls 2.15

// Full-width tab bar: the tabs at the left, a flat strip to their right, and a
// light bottom line that is open under the current tab.
Item {
    id: control

    default property alias contents: bar.contentData
    property alias currentIndex: bar.currentIndex

    // Null while no tab is current: the bar starts at index 4, which fewer
    // than five tabs do not reach.
    readonly property Item currentTab: bar.count > 0 ? bar.itemAt(bar.currentIndex) : null

    implicitHeight: Math.floor(row.implicitHeight)

    TarvTheme { id: theme }

    RowLayout {
        id: row
        anchors.fill: parent
        spacing: 0

        TabBar {
            id: bar
            objectName: "innerTabBar"
            currentIndex: 4
            spacing: 0
            Layout.fillHeight: true
            font: theme.default_font
            background: Rectangle {
                color: theme.default_bg_unselected_color
            }
        }

        Rectangle {
            objectName: "tabStrip"
            Layout.fillWidth: true
            Layout.fillHeight: true
            implicitHeight: bar.implicitHeight
            color: theme.default_bg_unselected_color

            Rectangle {
                id: stripLight
                anchors.bottom: parent.bottom
                width: parent.width
                height: theme.bevel_width
                color: theme.bevel_light_color
            }
            Rectangle {
                anchors.bottom: stripLight.top
                width: parent.width
                height: theme.bevel_width
                color: theme.bevel_dark_color
            }
        }
    }

    // Without a current tab the left line runs unbroken under every tab.
    Rectangle {
        objectName: "leftLine"
        z: 10
        x: 0
        anchors.bottom: parent.bottom
        height: 1
        width: control.currentTab ? control.currentTab.x : bar.contentWidth + 1
        color: theme.bevel_light_color
    }

    Rectangle {
        objectName: "rightLine"
        z: 10
        x: control.currentTab ? control.currentTab.x + control.currentTab.width : 0
        anchors.bottom: parent.bottom
        height: 1
        width: control.currentTab ? bar.contentWidth - control.currentTab.x - control.currentTab.width + 1 : 0
        visible: control.currentTab !== null
        color: theme.bevel_light_color
    }
}
