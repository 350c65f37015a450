import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 300
    height: 300

    TextInput { id: before; width: 20; height: 20; activeFocusOnTab: true }

    CustomCheckbox { id: checkbox; y: 40; checkboxTextStr: "Loop" }

    TarvTestCase {
        name: "CustomCheckbox"

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
    }
}
