import QtQuick
import QtQuick.Layouts

// One labelled row of the control gallery.
RowLayout {
    property alias title: label.text
    default property alias content: items.data

    spacing: 16

    Text {
        id: label
        Layout.preferredWidth: 150
        color: "#a4a4a4"
        font.pixelSize: 12
    }
    RowLayout {
        id: items
        spacing: 16
    }
}
