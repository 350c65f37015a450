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

        function test_shortcutFormatting_data() {
            return [
                { tag: "apple undo", platform: "apple", shortcut: "Cmd+Shift+Z", shown: "\u2318\u21E7Z" },
                { tag: "apple word right", platform: "Apple", shortcut: "Ctrl+Shift+Right", shown: "^\u21E7\u25B6" },
                { tag: "apple backspace alt", platform: "APPLE", shortcut: "Alt+Backspace", shown: "\u2325\u232B" },
                { tag: "apple space", platform: "apple", shortcut: "Ctrl+ ", shown: "^Space" },
                { tag: "windows save", platform: "windows", shortcut: "Ctrl+Shift+S", shown: "Ctrl+Shift+S" },
                { tag: "windows lower case", platform: "Windows", shortcut: "ctrl+backspace", shown: "Ctrl+Backspace" },
                { tag: "windows close", platform: "windows", shortcut: "Alt+F4", shown: "Alt+F4" },
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

        function cleanup() {
            menu.platform = "unknown"
            menu.close()
        }

        function test_rows() {
            menu.platform = "windows"
            menu.open()
            tryCompare(menu, "opened", true)
            compare(menu.count, 4)
            const save = menu.itemAt(0)
            compare(save.height, 40)
            compare(findChild(save, "menuShortcutText").text, "Ctrl+S")
            compare(findChild(menu.itemAt(1), "menuShortcutText").text, "")
            compare(String(findChild(menu.itemAt(2), "menuEntryText").color), "#5d5d5d")
            compare(String(findChild(save, "menuEntryText").color), "#e8e8e8")
            const more = menu.itemAt(3)
            verify(more.arrow.visible)
            verify(!findChild(more, "menuShortcutText").visible)
            verify(!save.arrow.visible)
            compare(String(menu.itemAt(2).background.color), "#2e2e2e", "a disabled row keeps its colour")
        }

        function test_contextMenuWidthFollowsEntries() {
            const context = createTemporaryObject(contextComponent, page)
            context.open()
            tryCompare(context, "opened", true)
            const first = context.itemAt(0)
            compare(context.width, first.contentItem.implicitWidth + 2 * first.padding + 20)
            compare(context.itemAt(1).background.opacity, 0.3)
            compare(String(context.itemAt(1).contentItem.color), "#a4a4a4")

            const before = context.width
            context.addAction(createTemporaryObject(actionComponent, page,
                                                    { text: "A much longer entry than before" }))
            const longest = context.itemAt(2)
            tryVerify(() => context.width > before)
            compare(context.width, longest.contentItem.implicitWidth + 2 * longest.padding + 20)
        }
    }
}
