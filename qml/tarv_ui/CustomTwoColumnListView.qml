import QtQuick
import QtQuick.Controls

// Keyboard-navigable list of two-text rows (model roles "first" and
// "second"). Reads theme from the holding document.
ListView {
    id: listView

    property int rowHeight: 30
    property var colWidths: [listView.width * 0.5, listView.width * 0.5]
    property var leftSpacerWidth: 10

    clip: true
    activeFocusOnTab: true
    headerPositioning: ListView.OverlayHeader
    highlightFollowsCurrentItem: true
    flickableDirection: Flickable.VerticalFlick

    ScrollBar.vertical: CustomScrollBar {
        id: vscroll
        policy: ScrollBar.AlwaysOn
    }

    Keys.onDownPressed: {
        if (currentIndex < count - 1)
            currentIndex += 1
    }
    Keys.onUpPressed: {
        if (currentIndex > 0)
            currentIndex -= 1
    }

    // Both lie in the content item, so they cover the rows only and scroll
    // with them.
    Rectangle {
        objectName: "listBackground"
        parent: listView.contentItem
        anchors.fill: parent
        z: -5
        color: Qt.lighter(theme.default_bg_color, 1.25)
    }

    Rectangle {
        objectName: "focusFrame"
        parent: listView.contentItem
        anchors.fill: parent
        color: "transparent"
        border.color: theme.default_selected_color_intense
        border.width: 2
        opacity: 0.7
        visible: listView.activeFocus
    }

    // Placed at the top with no size while there is no current row.
    highlight: Rectangle {
        objectName: "listHighlight"
        color: theme.default_selected_color
        width: listView.currentItem ? listView.currentItem.width : 0
        height: listView.currentItem ? listView.currentItem.height : 0
        y: listView.currentItem ? listView.currentItem.y : 0

        Behavior on y {
            SmoothedAnimation { duration: 250 }
        }
    }

    delegate: Item {
        id: delegate

        readonly property bool isCurrent: index === listView.currentIndex

        height: listView.rowHeight
        width: parent ? parent.width : 125

        FocusHighlight {
            anchors.fill: parent
            visible: listView.activeFocus && delegate.isCurrent
        }

        MouseArea {
            id: delegateMA
            anchors.fill: parent
            acceptedButtons: Qt.LeftButton
            onClicked: {
                listView.currentIndex = index
                listView.forceActiveFocus()
            }
        }

        Row {
            id: rowContents
            height: listView.rowHeight

            Rectangle {
                color: "transparent"
                width: listView.leftSpacerWidth
                height: 20
            }

            Text {
                id: txtPathName
                objectName: "txtPathName"
                text: model.first
                width: listView.colWidths[0]
                height: listView.rowHeight
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
                font: theme.default_font
                color: delegate.isCurrent ? "white" : theme.default_text_color
            }

            Text {
                id: txtDevice
                objectName: "txtDevice"
                text: model.second
                width: listView.colWidths[1]
                height: listView.rowHeight
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
                font: theme.default_font
                color: delegate.isCurrent ? "white" : theme.default_text_color
            }
        }
    }
}
