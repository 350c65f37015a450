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

    // A key of the bar's own (see the bar's commandKeysActive) also waits for
    // the window to have the keyboard; its entry follows only whether the
    // command may run. Otherwise the entry holding the keyboard in an open
    // menu would be disabled as the window lost it and enabled as the window
    // got it back, taking it again in the midst of that change.
    enabled: !shortcut || (shortcut.allowed ?? shortcut.enabled)
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
