import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 500
    height: 400

    TarvTheme { id: theme }

    TarvCustomMenu {
        id: menu
        Action { text: "Save"; shortcut: "Ctrl+S" }
        Action { text: "Plain" }
        Action { text: "Off"; enabled: false }
        Menu { title: "More"; Action { text: "Inner" } }
    }

    Component {
        id: contextComponent
        CustomContextMenu {
            Action { text: "Short" }
            Action { text: "Off"; enabled: false }
        }
    }
    Component {
        id: actionComponent
        Action {}
    }

    TarvTestCase {
        name: "Menus"

        function cleanup() {
            menu.platform = "unknown"
            menu.close()
        }

        function test_shortcutFormatting_data() {
            return [
                { tag: "apple undo", platform: "apple", shortcut: "Cmd+Shift+Z", shown: "\u2318\u21E7Z" },
                { tag: "apple word right", platform: "Apple", shortcut: "Ctrl+Shift+Right", shown: "^\u21E7\u25B6" },
                { tag: "apple alt backspace", platform: "APPLE", shortcut: "Alt+Backspace", shown: "\u2325\u232B" },
                { tag: "apple space", platform: "apple", shortcut: "Ctrl+ ", shown: "^Space" },
                { tag: "windows", platform: "windows", shortcut: "Ctrl+Shift+S", shown: "Ctrl+Shift+S" },
                { tag: "windows lower case", platform: "Windows", shortcut: "ctrl+backspace", shown: "Ctrl+Backspace" },
                { tag: "windows right", platform: "windows", shortcut: "Shift+Right", shown: "Shift+Right Arrow" },
                { tag: "windows cmd", platform: "windows", shortcut: "Cmd+Q", shown: "INVALID+Q" },
                { tag: "unknown unchanged", platform: "unknown", shortcut: "Ctrl+Shift+s", shown: "Ctrl+Shift+s" },
                { tag: "empty", platform: "apple", shortcut: "", shown: "" },
            ]
        }

        function test_shortcutFormatting(data) {
            menu.platform = data.platform
            compare(menu.formatShortCutAsNativeString(data.shortcut), data.shown)
        }

        function test_rows() {
            menu.platform = "windows"
            menu.open()
            tryCompare(menu, "opened", true)
            const save = menu.itemAt(0)
            const more = menu.itemAt(3)
            compare([menu.count, save.height], [4, 40])
            compare(findChild(save, "menuShortcutText").text, "Ctrl+S")
            compare(findChild(menu.itemAt(1), "menuShortcutText").text, "")
            compare([more.arrow.visible, findChild(more, "menuShortcutText").visible, save.arrow.visible],
                    [true, false, false])
        }

        function test_contextMenuWidthFollowsEntries() {
            const context = createTemporaryObject(contextComponent, page)
            context.open()
            tryCompare(context, "opened", true)
            const first = context.itemAt(0)
            compare(context.width, first.contentItem.implicitWidth + 2 * first.padding + 20)
            compare(context.itemAt(1).background.opacity, 0.3)
            const before = context.width
            context.addAction(createTemporaryObject(actionComponent, page, { text: "A much longer entry than before" }))
            const longest = context.itemAt(2)
            tryVerify(() => context.width > before)
            compare(context.width, longest.contentItem.implicitWidth + 2 * longest.padding + 20)
        }
    }
}
