import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 300
    height: 300

    TextInput { id: before; width: 20; height: 20; activeFocusOnTab: true }

    CustomCheckbox { id: checkbox; y: 40; checkboxTextStr: "Loop" }

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

        function test_checkbox() {
            compare(checkbox.text, "<font color='#a4a4a4'>Loop</font>")
            compare(findChild(checkbox, "checkboxLabel").textFormat, Text.RichText)
            const box = findChild(checkbox, "checkboxBox")
            mouseClick(checkbox)
            compare([checkbox.checked, findChild(checkbox, "checkboxTick").visible], [true, true])

            // The focus border shows whether or not the box is checked.
            before.forceActiveFocus()
            compare(box.border.color, Qt.color("transparent"))
            keyClick(Qt.Key_Tab)
            keyClick(Qt.Key_Space)
            compare([checkbox.checked, box.border.color], [false, Qt.color("steelblue")])
        }

        function test_scrollBarShownForShortContent() {
            verify(shortList.contentHeight < shortList.height)
            verify(scrollBar.visible)
        }
    }
}
