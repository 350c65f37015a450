import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui

// A drop-down menu of the main window's menu bar, as wide as its widest entry.
Menu {
    id: menu

    readonly property TarvTheme theme: TarvTheme {}

    // Sized from the entries, so a long text or key name is never cut off.
    width: {
        let widest = 200
        for (let i = 0; i < count; ++i) {
            const entry = itemAt(i)
            if (entry)
                widest = Math.max(widest, entry.implicitWidth)
        }
        return widest + leftPadding + rightPadding
    }

    background: Rectangle {
        implicitWidth: 200
        color: menu.theme.lighter_bg_color_popup
        border.width: 1
        border.color: menu.theme.light_border_color
    }
}
