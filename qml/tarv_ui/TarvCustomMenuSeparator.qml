import QtQuick 2.15
import QtQuick.Controls 2.15

// Thin divider between menu entries.
MenuSeparator {
    TarvTheme { id: theme }

    contentItem: Rectangle {
        implicitHeight: 1
        color: theme.light_border_color
    }

    background: Rectangle {
        implicitHeight: 8
        color: theme.lighter_bg_color_popup
    }
}
