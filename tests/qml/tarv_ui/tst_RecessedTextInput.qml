import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 400
    height: 300

    // Dialogs accept and cancel on keys that the field passes on.
    property int keysPassedOn: 0
    Keys.onReturnPressed: ++keysPassedOn
    Keys.onEnterPressed: ++keysPassedOn
    Keys.onEscapePressed: ++keysPassedOn

    // Holds the focus first, so Tab moves into the input under test.
    TextInput { id: before; width: 50; height: 20; activeFocusOnTab: true }

    Component {
        id: inputComponent
        RecessedTextInput { x: 20; y: 40; width: 200 }
    }

    SignalSpy { id: editedSpy; signalName: "textEdited" }
    SignalSpy { id: finishedSpy; signalName: "editingFinished" }

    TarvTestCase {
        name: "RecessedTextInput"

        function makeInput(text) {
            const input = createTemporaryObject(inputComponent, page, { text: text })
            editedSpy.target = input
            finishedSpy.target = input
            editedSpy.clear()
            finishedSpy.clear()
            page.keysPassedOn = 0
            return input
        }

        function test_focusSelectsAll_data() {
            return [{ tag: "Tab", focus: input => keyClick(Qt.Key_Tab) },
                    { tag: "forceActiveFocus", focus: input => input.forceActiveFocus() },
                    { tag: "focus property", focus: input => input.focus = true }]
        }

        function test_focusSelectsAll(data) {
            const input = makeInput("hello world")
            before.forceActiveFocus()
            data.focus(input)
            verify(input.field.activeFocus)
            compare(input.field.selectedText, "hello world")
            verify(findChild(input, "focusFrame").visible)
        }

        function test_textEditedOnlyForTyping() {
            const input = makeInput("old")
            input.text = "assigned"
            compare(editedSpy.count, 0)
            input.forceActiveFocus()
            keyClick(Qt.Key_A) // replaces the selection
            keyClick(Qt.Key_B)
            compare([input.text, editedSpy.count, finishedSpy.count], ["ab", 2, 0])
        }

        // Any length is kept: a text is never cut where the operator did not
        // type, and typing goes on past the usual limit of text fields.
        function test_longTextKeptWhole() {
            const longText = "y".repeat(40000)
            const input = makeInput(longText)
            compare(input.text.length, 40000)
            input.forceActiveFocus()
            keyClick(Qt.Key_End)
            keyClick(Qt.Key_Z)
            compare(input.text.length, 40001)
        }

        function test_editingFinished_data() {
            return [{ tag: "Return", key: Qt.Key_Return }, { tag: "Enter", key: Qt.Key_Enter },
                    { tag: "focus loss", key: 0 }]
        }

        function test_editingFinished(data) {
            const input = makeInput("value")
            input.forceActiveFocus()
            if (data.key)
                keyClick(data.key)
            else
                before.forceActiveFocus()
            compare(finishedSpy.count, 1)
            keyClick(Qt.Key_Escape)
            compare(page.keysPassedOn, data.key ? 2 : 1, "keys reach the items around the field")
        }

        function openMenu(input) {
            mouseClick(input, 30, 5, Qt.RightButton)
            const menu = findChild(input, "contextMenu")
            tryCompare(menu, "opened", true)
            return menu
        }

        function entries(menu, property) {
            return [0, 1, 2].map(i => menu.itemAt(i)[property])
        }

        function test_contextMenuEntries() {
            const input = makeInput("text")
            let menu = openMenu(input)
            compare(entries(menu, "text"), ["Copy", "Cut", "Paste"])
            compare(entries(menu, "enabled"), [false, false, true])
            compare([menu.x, menu.y], [0, 0], "opened at the field's corner, not at the pointer")
            menu.close()
            tryCompare(menu, "visible", false)
            input.forceActiveFocus()
            menu = openMenu(input)
            compare(entries(menu, "enabled"), [true, true, true])
            menu.close()
        }

        function test_clipboardRoundTrip() {
            const input = makeInput("round trip")
            input.forceActiveFocus()
            mouseClick(openMenu(input).itemAt(1)) // Cut
            compare(input.text, "")
            mouseClick(openMenu(input).itemAt(2)) // Paste
            compare(input.text, "round trip")
            input.forceActiveFocus()
            mouseClick(openMenu(input).itemAt(0)) // Copy
            input.text = ""
            input.field.paste()
            compare(input.text, "round trip")
        }
    }
}
