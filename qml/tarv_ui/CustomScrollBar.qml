import QtQuick 2.15
import QtQuick.Controls 2.15

// Always-visible 20-pixel scroll bar with a bevelled handle.
ScrollBar {
    id: vscroll

    policy: ScrollBar.AlwaysOn

    TarvTheme { id: theme }

    background: Rectangle {
        implicitWidth: 20
        implicitHeight: vscroll.parent ? vscroll.parent.height : 0
        color: Qt.lighter(theme.default_bg_color, 0.7)
    }

    contentItem: Rectangle {
        objectName: "scrollHandle"
        color: vscroll.hovered ? theme.default_selected_color : theme.lighter_bg_color_popup

        BasicBevel {}
    }
}
