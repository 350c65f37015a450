import QtQuick 2.0

// Raised edge: light on the left and top, dark on the right and bottom. The
// bottom line hangs just below the parent, so a clipping parent hides it.
Item {
    id: bevel

    property int bevel_width: 1
    // The line colours follow the parent's colour, so a parent that changes
    // colour on hover or press carries its edge along.
    property color bevel_dark_color: bevel.parent && bevel.parent.color !== undefined
                                     ? Qt.lighter(bevel.parent.color, 0.9) : "transparent"
    property color bevel_light_color: bevel.parent && bevel.parent.color !== undefined
                                      ? Qt.lighter(bevel.parent.color, 1.3) : "transparent"
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
        objectName: "rightLine"
        anchors.right: parent.right
        width: theme.bevel_width
        height: parent.height
        color: bevel.bevel_dark_color
    }
    Rectangle {
        objectName: "leftLine"
        anchors.left: parent.left
        width: theme.bevel_width
        height: parent.height
        color: bevel.bevel_light_color
        visible: !bevel.hide_left
    }
    Rectangle {
        objectName: "topLine"
        anchors.top: parent.top
        width: parent.width
        height: theme.bevel_width
        color: bevel.bevel_light_color
        visible: !bevel.hide_top
    }
    Rectangle {
        objectName: "bottomLine"
        anchors.top: parent.bottom
        width: parent.width
        height: bevel.bevel_width
        color: bevel.bevel_dark_color
        visible: !bevel.hide_bottom
    }
}
