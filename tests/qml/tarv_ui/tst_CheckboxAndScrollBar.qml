import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 300
    height: 300

    TextInput {
        id: before
        width: 20
        height: 20
        activeFocusOnTab: true
    }

    CustomCheckbox {
        id: checkbox
        y: 40
        checkboxTextStr: "Loop"
    }

    ListView {
        id: shortList
        x: 150
        width: 100
        height: 200
        model: 3
        delegate: Text { text: index; height: 20 }
        ScrollBar.vertical: CustomScrollBar { id: scrollBar }
    }

    TarvTestCase {
        name: "CheckboxAndScrollBar"

        function test_checkboxLabel() {
            compare(checkbox.text, "<font color='#a4a4a4'>Loop</font>")
            const label = findChild(checkbox, "checkboxLabel")
            compare(label.textFormat, Text.RichText)
            checkbox.checkboxTextStr = "<b>Bold</b>"
            verify(label.text.indexOf("<b>Bold</b>") >= 0, "markup stays markup")
            checkbox.checkboxTextStr = "Loop"
        }

        function test_checkboxStates() {
            const box = findChild(checkbox, "checkboxBox")
            const tick = findChild(checkbox, "checkboxTick")
            checkbox.checked = false
            compare(String(box.color), "#ffffff")
            verify(!tick.visible)
            mouseClick(checkbox)
            verify(checkbox.checked)
            compare(box.color, Qt.color("steelblue"))
            verify(tick.visible)

            before.forceActiveFocus()
            compare(String(box.border.color), "#00000000")
            keyClick(Qt.Key_Tab)
            verify(checkbox.activeFocus)
            compare(box.border.color, Qt.color("steelblue"))
            keyClick(Qt.Key_Space)
            verify(!checkbox.checked)
            compare(box.border.color, Qt.color("steelblue"), "the focus border shows unchecked too")
        }

        function test_scrollBarAlwaysShown() {
            verify(shortList.contentHeight < shortList.height)
            verify(scrollBar.visible)
            compare(scrollBar.width, 20)
            const handle = findChild(scrollBar, "scrollHandle")
            compare(String(handle.color), "#2e2e2e")
            mouseMove(scrollBar, 10, 10)
            tryCompare(scrollBar, "hovered", true)
            compare(String(handle.color), "#363636")
        }
    }
}
