import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 400
    height: 300

    TarvTheme { id: theme }

    // Takes the focus first, so Tab moves into the input under test.
    TextInput {
        id: before
        width: 50
        height: 20
        activeFocusOnTab: true
    }

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
            return input
        }

        function menuOf(input) {
            return findChild(input, "contextMenu")
        }

        function test_focusSelectsAll_data() {
            return [{ tag: "Tab" }, { tag: "forceActiveFocus" }, { tag: "focus property" }]
        }

        function test_focusSelectsAll(data) {
            const input = makeInput("hello world")
            if (data.tag === "Tab") {
                before.forceActiveFocus()
                keyClick(Qt.Key_Tab)
            } else if (data.tag === "forceActiveFocus") {
                input.forceActiveFocus()
            } else {
                input.focus = true
            }
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
            compare(input.text, "ab")
            compare(editedSpy.count, 2)
            compare(finishedSpy.count, 0)
        }

        function test_editingFinished_data() {
            return [{ tag: "Return", key: Qt.Key_Return }, { tag: "Enter", key: Qt.Key_Enter },
                    { tag: "focus loss", key: -1 }]
        }

        function test_editingFinished(data) {
            const input = makeInput("value")
            input.forceActiveFocus()
            if (data.key === -1)
                before.forceActiveFocus()
            else
                keyClick(data.key)
            compare(finishedSpy.count, 1)
        }

        function test_notEditable() {
            const input = makeInput("fixed")
            const editableColour = String(input.backgroundColor)
            input.editable = false
            compare(String(input.backgroundColor), "#202020")
            compare(editableColour, "#282828")
            compare(String(input.textColor), "#838383")
            input.forceActiveFocus()
            keyClick(Qt.Key_X)
            compare(input.text, "fixed")
            verify(!findChild(input, "focusFrame").visible)
        }

        function openMenu(input) {
            mouseClick(input, 30, 5, Qt.RightButton)
            const menu = menuOf(input)
            tryCompare(menu, "opened", true)
            return menu
        }

        function test_contextMenuEntries() {
            const input = makeInput("text")
            input.field.deselect()
            let menu = openMenu(input)
            compare(menu.count, 3)
            compare([menu.itemAt(0).text, menu.itemAt(1).text, menu.itemAt(2).text], ["Copy", "Cut", "Paste"])
            verify(!menu.itemAt(0).enabled)
            verify(!menu.itemAt(1).enabled)
            verify(menu.itemAt(2).enabled)
            // Opened at the field's top-left corner, not at the pointer.
            compare(menu.x, 0)
            compare(menu.y, 0)
            menu.close()
            tryCompare(menu, "visible", false)

            input.forceActiveFocus()
            menu = openMenu(input)
            verify(menu.itemAt(0).enabled, "Copy sees the selection while the menu is open")
            verify(menu.itemAt(1).enabled)
            menu.close()
        }

        function test_clipboardRoundTrip() {
            const input = makeInput("round trip")
            input.forceActiveFocus()
            let menu = openMenu(input)
            mouseClick(menu.itemAt(1)) // Cut
            tryCompare(menu, "visible", false)
            compare(input.text, "")
            menu = openMenu(input)
            mouseClick(menu.itemAt(2)) // Paste
            tryCompare(menu, "visible", false)
            compare(input.text, "round trip")

            input.forceActiveFocus()
            menu = openMenu(input)
            mouseClick(menu.itemAt(0)) // Copy
            input.text = ""
            input.field.paste()
            compare(input.text, "round trip")
        }
    }
}
