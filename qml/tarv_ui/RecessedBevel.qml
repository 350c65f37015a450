import QtQuick 2.0

// Sunken edge: dark on the left and top, light on the right and bottom. Three
// of its lines lie just outside the parent; the dark top line lies inside.
Item {
    id: bevel

    property int bevel_width: 1
    property color bevel_dark_color: bevel.parent && bevel.parent.color !== undefined
                                     ? Qt.lighter(bevel.parent.color, 0.9) : "transparent"
    property color bevel_light_color: bevel.parent && bevel.parent.color !== undefined
                                      ? Qt.lighter(bevel.parent.color, 1.3) : "transparent"
    // The flags keep the order of the raised bevel's lines: hide_left hides
    // the light line on the right, hide_top the light line below and
    // hide_bottom the dark line along the top.
    property bool hide_left: false
    property bool hide_top: false
    property bool hide_bottom: false
    property alias bgcolor: bgrect.color
    property alias bgvisible: bgrect.visible

    anchors.fill: parent

    TarvTheme { id: theme }

    Rectangle {
        id: bgrect
        anchors.fill: parent
        visible: false
    }
    Rectangle {
        objectName: "leftLine"
        anchors.right: parent.left
        width: theme.bevel_width
        height: parent.height
        color: bevel.bevel_dark_color
    }
    Rectangle {
        objectName: "rightLine"
        anchors.left: parent.right
        width: theme.bevel_width
        height: parent.height
        color: bevel.bevel_light_color
        visible: !bevel.hide_left
    }
    Rectangle {
        objectName: "bottomLine"
        anchors.top: parent.bottom
        width: parent.width
        height: theme.bevel_width
        color: bevel.bevel_light_color
        visible: !bevel.hide_top
    }
    Rectangle {
        objectName: "topLine"
        anchors.top: parent.top
        width: parent.width
        height: bevel.bevel_width
        color: bevel.bevel_dark_color
        visible: !bevel.hide_bottom
    }
}
