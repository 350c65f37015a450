import QtQuick 2.0
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Qt5Compat.GraphicalEffects

// Earlier form of CustomTabButton: icon left of an always-bold label. The seven
// colours come by name from the document that declares it; a document that
// names none of them gets the theme's values instead of ReferenceErrors.
TabButton {
    id: control

    property bool isSelected: TabBar.tabBar ? TabBar.tabBar.currentIndex === TabBar.index : false
    property int imageMargin: 5
    property url source: ""
    property color overlayColor

    text: qsTr("Tab")
    width: implicitWidth * 1.2
    font.bold: true

    QtObject {
        id: colors
        readonly property color tabSelectedText: typeof tab_selected_text_color !== "undefined"
                                                 ? tab_selected_text_color : fallbackTheme.tab_selected_text_color
        readonly property color textHeader: typeof default_text_header_color !== "undefined"
                                            ? default_text_header_color : fallbackTheme.default_text_header_color
        readonly property color bgHover: typeof default_bg_hover_color !== "undefined"
                                         ? default_bg_hover_color : fallbackTheme.default_bg_hover_color
        readonly property color bg: typeof default_bg_color !== "undefined"
                                    ? default_bg_color : fallbackTheme.default_bg_color
        readonly property color bgUnselected: typeof default_bg_unselected_color !== "undefined"
                                              ? default_bg_unselected_color : fallbackTheme.default_bg_unselected_color
        readonly property color bevelDark: typeof bevel_dark_color !== "undefined"
                                           ? bevel_dark_color : fallbackTheme.bevel_dark_color
        readonly property color bevelLight: typeof bevel_light_color !== "undefined"
                                            ? bevel_light_color : fallbackTheme.bevel_light_color
    }

    TarvTheme { id: fallbackTheme }

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
            color: control.isSelected ? colors.tabSelectedText : colors.textHeader
        }
    }

    background: Rectangle {
        objectName: "tabBackground"
        color: control.hovered ? colors.bgHover : control.isSelected ? colors.bg : colors.bgUnselected

        Rectangle {
            id: lightLine
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: colors.bevelLight
            visible: !control.isSelected
        }
        Rectangle {
            anchors.bottom: lightLine.top
            width: parent.width
            height: 1
            color: colors.bevelDark
            visible: !control.isSelected
        }

        BasicBevel {}
    }
}
