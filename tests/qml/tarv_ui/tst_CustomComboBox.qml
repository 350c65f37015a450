import QtQuick
import QtTest
import QtQuick.Controls
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
        CustomComboBox {
            width: 200
        }
    }

    SignalSpy { id: activatedSpy; signalName: "activated" }
    SignalSpy { id: enterSpy; signalName: "enterPressed" }

    TarvTestCase {
        name: "CustomComboBox"

        function makeCombo(properties) {
            const combo = createTemporaryObject(comboComponent, page, properties)
            activatedSpy.clear()
            activatedSpy.target = combo
            enterSpy.clear()
            enterSpy.target = combo
            combo.comboControl.forceActiveFocus()
            return combo
        }

        function listOf(combo) {
            return combo.choices.contentItem
        }

        function openWithSpace(combo) {
            keyClick(Qt.Key_Space)
            tryCompare(combo.choices, "opened", true)
        }

        function test_displayText_data() {
            return [
                { tag: "strings", model: ["One", "Two", "Three"], textRole: "", value: "Two" },
                { tag: "strings with a text role", model: ["One", "Two", "Three"], textRole: "name", value: "Two" },
                { tag: "objects", model: [{ name: "One" }, { name: "Two" }, { name: "Three" }], textRole: "name", value: "Two" },
                { tag: "list model", model: listModel, textRole: "name", value: "Beta" },
            ]
        }

        // The closed face and the rows of the open list show the same text.
        function test_displayText(data) {
            const combo = makeCombo({ model: data.model, textRole: data.textRole })
            combo.currentIndex = 1
            compare(combo.displayText, data.value)
            compare(combo.mainLabel.text, data.value)
            openWithSpace(combo)
            const row = listOf(combo).itemAtIndex(1)
            verify(row)
            compare(row.getDisplayText(), data.value)
        }

        function test_indexOfValue() {
            const combo = makeCombo({ model: listModel, textRole: "name", valueRole: "code" })
            compare(combo.indexOfValue("c"), 2)
            compare(combo.indexOfValue("z"), -1)
            combo.currentIndex = 1
            compare(combo.currentValue, "b")
            const empty = makeCombo({})
            compare(empty.currentIndex, -1)
        }

        function test_arrowsThenEnterChooseWithoutActivated() {
            const combo = makeCombo({ model: ["One", "Two", "Three"] })
            compare(combo.currentIndex, 0)
            openWithSpace(combo)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Down) // stops at the last row
            compare(listOf(combo).currentIndex, 2)
            compare(combo.currentIndex, 0, "only Enter chooses")
            keyClick(Qt.Key_Enter)
            tryCompare(combo.choices, "visible", false)
            compare(combo.currentIndex, 2)
            compare(activatedSpy.count, 0)
            compare(enterSpy.count, 0)
        }

        function test_upStopsAtFirstRowAndSpaceChooses() {
            const combo = makeCombo({ model: ["One", "Two", "Three"] })
            combo.currentIndex = 1
            openWithSpace(combo)
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Up)
            compare(listOf(combo).currentIndex, 0)
            verify(combo.comboControl.arrowSelection)
            keyClick(Qt.Key_Space)
            tryCompare(combo.choices, "visible", false)
            compare(combo.currentIndex, 0)
            compare(activatedSpy.count, 0)
        }

        function test_returnOnOpenListChooses() {
            const combo = makeCombo({ model: ["One", "Two", "Three"] })
            openWithSpace(combo)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Return)
            tryCompare(combo.choices, "visible", false)
            compare(combo.currentIndex, 1)
            compare(enterSpy.count, 0)
        }

        function test_closedListIgnoresArrowsAndReportsEnter_data() {
            return [{ tag: "Up", key: Qt.Key_Up }, { tag: "Down", key: Qt.Key_Down }]
        }

        function test_closedListIgnoresArrowsAndReportsEnter(data) {
            const combo = makeCombo({ model: ["One", "Two", "Three"] })
            combo.currentIndex = 1
            keyClick(data.key)
            compare(combo.currentIndex, 1, "the base box never sees the arrow")
            verify(!combo.choices.visible)
            keyClick(Qt.Key_Enter)
            keyClick(Qt.Key_Return)
            compare(enterSpy.count, 2)
            wait(50)
            verify(!combo.choices.visible, "Enter does not open the list")
            compare(activatedSpy.count, 0)
        }

        function test_baseActivationIsReEmitted() {
            const combo = makeCombo({ model: ["One", "Two", "Three"] })
            keyClick(Qt.Key_T) // the base box's first-letter search
            compare(combo.currentIndex, 1)
            compare(activatedSpy.count, 1)
            compare(activatedSpy.signalArguments[0][0], 1)
        }

        function test_mouseChoosesRow() {
            const combo = makeCombo({ model: ["One", "Two", "Three"] })
            openWithSpace(combo)
            const row = listOf(combo).itemAtIndex(2)
            mousePress(row)
            mouseRelease(row)
            tryCompare(combo.choices, "visible", false)
            compare(combo.currentIndex, 2)
            compare(activatedSpy.count, 0)
        }

        function test_longListIsCappedAndScrolls() {
            const rows = []
            for (let i = 0; i < 100; ++i)
                rows.push("Row " + i)
            const combo = makeCombo({ model: rows })
            openWithSpace(combo)
            const list = listOf(combo)
            verify(combo.choices.height <= Screen.height / 2, combo.choices.height)
            verify(combo.choices.y + combo.choices.height <= page.height)
            verify(list.contentHeight > list.height)
            const scrollBar = findChild(list, "comboListScrollBar")
            verify(scrollBar && scrollBar.visible && scrollBar.policy === ScrollBar.AlwaysOn)
            for (let i = 0; i < 30; ++i)
                keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Return)
            tryCompare(combo.choices, "visible", false)
            compare(combo.currentIndex, 30)
        }

        function test_disabledFaceIsGrey() {
            const combo = makeCombo({ model: ["One"] })
            combo.enabled = false
            compare(combo.comboControl.background.color, Qt.color("#292929"))
            compare(combo.mainLabel.color, Qt.color("gray"))
        }
    }
}
