import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui

// Caption above a framed, scrolling list of texts.
Item {
    id: control

    property alias text: caption.text
    property alias value: list.model
    property alias model: list.model
    property alias theme: tarvTheme
    property int spacing: 5
    property int fontSize: 16

    implicitHeight: caption.implicitHeight + list.implicitHeight
    implicitWidth: caption.implicitWidth + list.implicitWidth

    TarvTheme { id: tarvTheme }

    Label {
        id: caption
        text: ""
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        height: implicitHeight
        color: tarvTheme.default_text_color
        font.pixelSize: control.fontSize
    }

    Rectangle {
        anchors.top: caption.bottom
        anchors.topMargin: control.spacing
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        color: tarvTheme.light_background_color
        border.width: 2
        border.color: tarvTheme.light_border_color
        radius: 2

        ListView {
            id: list
            objectName: "fileList"
            anchors.fill: parent
            anchors.margins: 2
            clip: true
            interactive: contentHeight > height

            // Only while the entries are longer than the view: the bar's
            // opaque track would otherwise stand beside a list that fits.
            ScrollBar.vertical: CustomScrollBar {
                objectName: "fileScrollBar"
                policy: ScrollBar.AsNeeded
                visible: size < 1.0
            }

            delegate: Text {
                required property var modelData

                text: modelData
                padding: 5
                font.pixelSize: 14
                color: tarvTheme.default_text_color
            }
        }
    }
}
