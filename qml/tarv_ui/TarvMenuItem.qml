import QtQuick 2.15
import QtQuick.Controls 2.15

// A single entry drawn as white text on a dark plate. Its colours come from
// the `theme` of the document that places it; the holder sets menuText.
MenuItem {
    id: item

    property alias menuText: label.text

    contentItem: Item {}

    background: Rectangle {
        implicitWidth: label.implicitWidth
        implicitHeight: label.implicitHeight
        color: Qt.darker(theme.default_bg_color, 1.1)

        Text {
            id: label
            anchors.fill: parent
            color: "white"
            leftPadding: 10
            topPadding: 10
            font.pixelSize: theme.default_font.pixelSize
        }
    }
}
