import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 400
    height: 500

    TarvTheme { id: theme }

    ListModel {
        id: listModel
        ListElement { name: "Alpha"; code: "a" }
        ListElement { name: "Beta"; code: "b" }
        ListElement { name: "Gamma"; code: "c" }
    }

    Component {
        id: comboComponent
        CustomComboBox { width: 200; model: ["One", "Two", "Three"] }
    }

    SignalSpy { id: activatedSpy; signalName: "activated" }
    SignalSpy { id: enterSpy; signalName: "enterPressed" }

    TarvTestCase {
        name: "CustomComboBox"

        function makeCombo(properties) {
            // The pointer rests where an earlier test left it; over the spot
            // where this box's list opens, the base box would highlight the
            // hovered row, and the keys would start from there.
            mouseMove(page, page.width - 1, page.height - 1)
            const combo = createTemporaryObject(comboComponent, page, properties)
            activatedSpy.target = combo
            enterSpy.target = combo
            activatedSpy.clear()
            enterSpy.clear()
            combo.comboControl.forceActiveFocus()
            return combo
        }

        function open(combo) {
            keyClick(Qt.Key_Space)
            tryCompare(combo.choices, "opened", true)
            // The list grows to its rows' height as it opens; until its next
            // layout the rows it had cut off ignore the pointer.
            const list = combo.choices.contentItem
            if (isPolishScheduled(list))
                waitForItemPolished(list)
            return list
        }

        function test_displayText_data() {
            return [
                { tag: "strings", model: ["One", "Two"], textRole: "", value: "Two" },
                { tag: "strings with a text role", model: ["One", "Two"], textRole: "name", value: "Two" },
                { tag: "objects", model: [{ name: "One" }, { name: "Two" }], textRole: "name", value: "Two" },
                { tag: "list model", model: listModel, textRole: "name", value: "Beta" },
            ]
        }

        // The closed face and the open list's row show the same text.
        function test_displayText(data) {
            const combo = makeCombo({ model: data.model, textRole: data.textRole })
            combo.currentIndex = 1
            compare([combo.displayText, combo.mainLabel.text], [data.value, data.value])
            compare(open(combo).itemAtIndex(1).getDisplayText(), data.value)
        }

        function test_indexOfValue() {
            const combo = makeCombo({ model: listModel, textRole: "name", valueRole: "code" })
            compare([combo.indexOfValue("c"), combo.indexOfValue("z")], [2, -1])
            combo.currentIndex = 1
            compare(combo.currentValue, "b")
        }

        // Keys on the open list move its row; Space, Enter and Return choose
        // the row without `activated`.
        function test_openListKeys_data() {
            return [
                { tag: "Down Down Down Enter", start: 0, keys: [Qt.Key_Down, Qt.Key_Down, Qt.Key_Down, Qt.Key_Enter], chosen: 2 },
                { tag: "Up Up Space", start: 1, keys: [Qt.Key_Up, Qt.Key_Up, Qt.Key_Space], chosen: 0 },
                { tag: "Down Return", start: 0, keys: [Qt.Key_Down, Qt.Key_Return], chosen: 1 },
                { tag: "Space alone", start: 1, keys: [Qt.Key_Space], chosen: 1 },
            ]
        }

        function test_openListKeys(data) {
            const combo = makeCombo({ currentIndex: data.start })
            open(combo)
            data.keys.forEach(key => keyClick(key))
            tryCompare(combo.choices, "visible", false)
            compare(combo.currentIndex, data.chosen)
            compare([activatedSpy.count, enterSpy.count], [0, 0])
        }

        function test_closedListKeys() {
            const combo = makeCombo({ currentIndex: 1 })
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Down)
            compare(combo.currentIndex, 1, "the base box never sees the arrows")
            keyClick(Qt.Key_Enter)
            keyClick(Qt.Key_Return)
            compare(enterSpy.count, 2)
            verify(!combo.choices.visible, "Enter does not open the list")
            keyClick(Qt.Key_T) // the base box's first-letter search activates
            compare(combo.currentIndex, 2)
            compare([activatedSpy.count, activatedSpy.signalArguments[0][0]], [1, 2])
        }

        // Without rows nothing can be chosen, whichever key moves the list's
        // row before it is taken, open or closed.
        function test_emptyBoxChoosesNothing_data() {
            const moves = { Up: Qt.Key_Up, Down: Qt.Key_Down, Home: Qt.Key_Home, End: Qt.Key_End,
                            PageUp: Qt.Key_PageUp, PageDown: Qt.Key_PageDown }
            const rows = []
            for (const name in moves) {
                rows.push({ tag: "open, " + name + " Return", open: true, keys: [moves[name], Qt.Key_Return] })
                rows.push({ tag: "open, " + name + " Space", open: true, keys: [moves[name], Qt.Key_Space] })
                rows.push({ tag: "closed, " + name, open: false, keys: [moves[name]] })
            }
            return rows
        }

        function test_emptyBoxChoosesNothing(data) {
            const combo = makeCombo({ model: [] })
            if (data.open)
                open(combo)
            data.keys.forEach(key => keyClick(key))
            compare(combo.currentIndex, -1)
            compare(combo.choices.contentItem.currentIndex, -1)
            compare(activatedSpy.count, 0)
        }

        // Home and End take the list's row to its ends after any arrow.
        function test_openListEnds_data() {
            return [
                { tag: "Down Down Home Return", keys: [Qt.Key_Down, Qt.Key_Down, Qt.Key_Home, Qt.Key_Return], chosen: 0 },
                { tag: "Up End Return", keys: [Qt.Key_Up, Qt.Key_End, Qt.Key_Return], chosen: 2 },
                { tag: "End Up Space", keys: [Qt.Key_End, Qt.Key_Up, Qt.Key_Space], chosen: 1 },
                { tag: "PageDown Return", keys: [Qt.Key_PageDown, Qt.Key_Return], chosen: 2 },
                { tag: "Down PageUp Return", keys: [Qt.Key_Down, Qt.Key_PageUp, Qt.Key_Return], chosen: 0 },
            ]
        }

        function test_openListEnds(data) {
            const combo = makeCombo({ currentIndex: 1 })
            open(combo)
            data.keys.forEach(key => keyClick(key))
            tryCompare(combo.choices, "visible", false)
            compare(combo.currentIndex, data.chosen)
        }

        function test_mouseChoosesRow() {
            const combo = makeCombo({})
            const row = open(combo).itemAtIndex(2)
            mouseMove(row)
            mousePress(row)
            mouseRelease(row)
            tryCompare(combo.choices, "visible", false)
            compare([combo.currentIndex, activatedSpy.count], [2, 0])
        }

        function test_longListIsCappedAndScrolls() {
            const combo = makeCombo({ model: Array.from({ length: 100 }, (_, i) => "Row " + i) })
            const list = open(combo)
            verify(combo.choices.height <= Screen.height / 2, combo.choices.height)
            verify(combo.choices.y + combo.choices.height <= page.height, "kept inside the window")
            verify(list.contentHeight > list.height)
            const scrollBar = findChild(list, "comboListScrollBar")
            verify(scrollBar.visible && scrollBar.policy === ScrollBar.AlwaysOn)
            for (let i = 0; i < 30; ++i)
                keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Return)
            tryCompare(combo, "currentIndex", 30)
        }
    }
}
