import QtQuick

// Translucent blue wash over a control that holds the keyboard focus. The
// owner anchors it and binds its visible to its own activeFocus.
Item {
    TarvTheme { id: theme }

    Rectangle {
        id: highlight
        anchors.fill: parent
        color: theme.default_selected_color_intense
        border.color: "transparent"
        border.width: 1
        opacity: 0.7
    }
}
