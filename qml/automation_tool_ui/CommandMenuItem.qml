import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.quillonworks.tarv_ui

// An entry of the main window's menus. The key that also runs the command is a
// Shortcut of the menu bar: the entry shows its name, takes its enabled state
// and, when chosen, activates it, so the command lives in one place.
MenuItem {
    id: entry

    property Shortcut shortcut: null

    readonly property TarvTheme theme: TarvTheme {}

    enabled: !shortcut || shortcut.enabled
    height: visible ? implicitHeight : 0
    implicitHeight: 32
    leftPadding: 12
    rightPadding: 12

    onTriggered: {
        if (!shortcut)
            return
        // A key that closes open menus first runs its command directly.
        if (shortcut.run)
            shortcut.run()
        else
            shortcut.activated()
    }

    contentItem: RowLayout {
        spacing: 24

        Text {
            Layout.fillWidth: true
            text: entry.text
            font: entry.theme.default_font
            color: entry.enabled ? entry.theme.light_text_color : entry.theme.dim_text_color
            verticalAlignment: Text.AlignVCenter
        }
        Text {
            objectName: "shortcutText"
            text: entry.shortcut ? entry.shortcut.nativeText : ""
            font: entry.theme.default_font
            color: entry.theme.dim_text_color
            verticalAlignment: Text.AlignVCenter
        }
    }

    background: Rectangle {
        color: entry.highlighted && entry.enabled ? entry.theme.default_selected_color_intense : "transparent"
    }
}
