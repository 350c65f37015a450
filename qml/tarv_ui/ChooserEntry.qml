import QtQuick
import com.quillonworks.tarv_ui

// One entry of a chooser's list: its name, and beside it a file's size and
// the date it last changed, as Qt's own dialogs show them. The name comes
// first: in a narrow chooser the date goes, then the size.
Rectangle {
    id: control

    property int row: -1
    property string name
    property bool isFolder: false
    property real size: 0
    property date modified

    // The room a name needs to be read; the columns beside it give way.
    readonly property int nameRoom: 200
    readonly property bool showsDate: width >= nameRoom + 240
    readonly property bool showsSize: width >= nameRoom + 120

    signal selected()
    signal chosen()

    objectName: "chooserEntry" + row
    width: ListView.view ? ListView.view.width : implicitWidth
    implicitWidth: 400
    height: 24
    color: area.containsMouse ? theme.default_bg_hover_color : "transparent"

    // The name first: tests read it as the entry's first child.
    Text {
        anchors.left: parent.left
        anchors.leftMargin: 8
        anchors.right: control.showsSize ? sizeText.left : parent.right
        anchors.rightMargin: control.showsSize ? 8 : 26
        anchors.verticalCenter: parent.verticalCenter
        text: control.isFolder ? control.name + "/" : control.name
        font: theme.default_font
        color: control.isFolder ? theme.light_text_color : theme.default_text_color
        elide: Text.ElideRight
        textFormat: Text.PlainText
    }

    Text {
        id: sizeText
        objectName: "entrySize"
        visible: control.showsSize
        anchors.right: control.showsDate ? modifiedText.left : parent.right
        anchors.rightMargin: control.showsDate ? 12 : 26
        anchors.verticalCenter: parent.verticalCenter
        width: 70
        horizontalAlignment: Text.AlignRight
        text: control.isFolder ? "" : Qt.locale().formattedDataSize(control.size)
        font: theme.small_font
        color: theme.dim_text_color
    }

    Text {
        id: modifiedText
        objectName: "entryModified"
        visible: control.showsDate
        anchors.right: parent.right
        // Clear of the list's scroll bar.
        anchors.rightMargin: 26
        anchors.verticalCenter: parent.verticalCenter
        width: 100
        text: Qt.formatDateTime(control.modified, "yyyy-MM-dd hh:mm")
        font: theme.small_font
        color: theme.dim_text_color
        elide: Text.ElideLeft
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: control.selected()
        onDoubleClicked: control.chosen()
    }

    TarvTheme { id: theme }
}
