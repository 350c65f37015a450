import QtQuick 2.15
import QtQuick.Controls 2.15

// Light text on the dark popup colour. Holders bind visible to their hover
// state (and to a non-empty text) and use a delay of 500 ms.
ToolTip {
    id: control

    TarvTheme { id: theme }

    contentItem: Text {
        text: control.text
        font: theme.default_font
        color: theme.light_text_color
    }

    background: Rectangle {
        color: theme.lighter_bg_color_popup
        border.width: 1
        border.color: theme.light_border_color
    }
}
