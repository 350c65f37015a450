import QtQuick
import QtQuick.Layouts

// A section of the control gallery: a title above a column of rows, on the
// window background.
Rectangle {
    id: section

    property alias title: heading.text
    default property alias content: rows.data

    width: 860
    height: rows.y + rows.implicitHeight + 24
    color: "#202020"

    Text {
        id: heading
        x: 16
        y: 12
        color: "#e8e8e8"
        font.pixelSize: 16
        font.bold: true
    }
    ColumnLayout {
        id: rows
        x: 16
        y: heading.y + heading.height + 12
        spacing: 18
    }
}
