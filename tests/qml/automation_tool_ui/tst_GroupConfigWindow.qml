import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui 1.0

Item {
    id: page
    width: 100
    height: 100

    // Stands in for the controller: carries the window's list requests out on
    // a plain list model at once, as the real one does.
    ListModel { id: events }

    QtObject {
        id: fakeController
        property int refused: 0
        property var window: null

        function row(type, name, autoName) {
            return { type: type, name: name, autoName: autoName, offset: "0" }
        }
        function connect(window) {
            fakeController.window = window
            refused = 0
            window.addNewOsc.connect(i => events.insert(i, row("OSC", "", "Empty OSC Command")))
            window.addNewAudio.connect((i, url) => {
                const text = url.toString()
                if (text === "")
                    events.insert(i, row("AUDIO", "", "undefined file"))
                else if (/\.(wav|mp3)$/i.test(text))
                    events.insert(i, row("AUDIO", "Play Audio File " + text.split("/").pop(), ""))
                else
                    ++refused
            })
            window.deleteEvent.connect(i => events.remove(i))
            window.moveUp.connect(i => events.move(i, i - 1, 1))
            window.moveDown.connect(i => events.move(i, i + 1, 1))
        }
    }

    Component {
        id: windowComponent
        GroupConfigWindow {}
    }

    SignalSpy { id: acceptedSpy; signalName: "accepted" }
    SignalSpy { id: editSpy; signalName: "editEvent" }

    WindowTestCase {
        name: "GroupConfigWindow"

        function openWindow(rows) {
            events.clear()
            for (const name of rows)
                events.append(fakeController.row("OSC", name, "/x"))
            const window = createTemporaryObject(windowComponent, page,
                                                 { name: "New Cue", mainModel: events })
            fakeController.connect(window)
            acceptedSpy.target = window
            editSpy.target = window
            acceptedSpy.clear()
            editSpy.clear()
            window.requestActivate()
            tryVerify(() => window.active && window.activeFocusItem)
            return window
        }

        function names() {
            const result = []
            for (let i = 0; i < events.count; ++i)
                result.push(events.get(i).name)
            return result
        }

        function child(window, name) {
            return findChild(window.contentItem, name)
        }

        function rowChild(window, row, name) {
            const list = child(window, "listView")
            list.forceLayout()
            return findChild(list.itemAtIndex(row), name)
        }

        function test_newCueStartsEmpty() {
            const window = openWindow([])
            compare([window.title, window.width, window.currentIndex], ["Configure Cue", 720, -1])
            verify(child(window, "txtName").field.activeFocus, "the name is ready for typing")
            for (const name of ["deleteButton", "moveUpButton", "moveDownButton"])
                verify(!child(window, name).enabled, name)
            mouseClick(child(window, "newOscButton"))
            compare([events.count, window.currentIndex], [1, 0])
        }

        // c is the current row before the press; the request goes to the
        // controller first, then the selection follows the moved event.
        function test_toolsKeepTheEditedEventSelected_data() {
            return [
                { tag: "new OSC after the last", rows: 2, c: 1, button: "newOscButton", names: ["a", "b", ""], current: 2 },
                { tag: "new audio after the first", rows: 2, c: 0, button: "newAudioButton", names: ["a", "", "b"], current: 1 },
                { tag: "delete keeps the row", rows: 3, c: 1, button: "deleteButton", names: ["a", "c"], current: 1 },
                { tag: "delete the last", rows: 3, c: 2, button: "deleteButton", names: ["a", "b"], current: 1 },
                { tag: "delete the only", rows: 1, c: 0, button: "deleteButton", names: [], current: -1 },
                { tag: "move up", rows: 3, c: 2, button: "moveUpButton", names: ["a", "c", "b"], current: 1 },
                { tag: "move down", rows: 3, c: 0, button: "moveDownButton", names: ["b", "a", "c"], current: 1 },
            ]
        }

        function test_toolsKeepTheEditedEventSelected(data) {
            const window = openWindow(["a", "b", "c"].slice(0, data.rows))
            window.currentIndex = data.c
            mouseClick(child(window, data.button))
            compare(names(), data.names)
            compare(window.currentIndex, data.current)
        }

        function test_moveButtonsStopAtTheEnds() {
            const window = openWindow(["a", "b"])
            window.currentIndex = 0
            verify(!child(window, "moveUpButton").enabled)
            verify(child(window, "moveDownButton").enabled)
            window.currentIndex = 1
            verify(child(window, "moveUpButton").enabled)
            verify(!child(window, "moveDownButton").enabled)
        }

        function test_lockMakesEverythingButTheBoxesAndOkReadOnly() {
            const window = openWindow(["a", "b"])
            window.currentIndex = 0
            const fields = ["txtNumber", "txtName", "txtAct", "txtScene", "txtCueLine"]
            const tools = ["newOscButton", "newAudioButton", "deleteButton", "moveDownButton"]
            const rowParts = [["nameField", "editable"], ["offsetField", "editable"],
                              ["configureButton", "enabled"]]
            mouseClick(child(window, "checkLockCue"))
            verify(window.disableDelete)
            for (const name of fields)
                verify(!child(window, name).editable, name)
            for (const name of tools)
                verify(!child(window, name).enabled, name)
            for (const [name, flag] of rowParts)
                verify(!rowChild(window, 1, name)[flag], name)
            verify(child(window, "okButton").enabled)
            verify(child(window, "checkDisableEvent").enabled)

            window.dropFiles(["file:///show/a.wav"], 0)
            compare(names(), ["a", "b"], "a locked cue takes no dropped files")

            mouseClick(child(window, "checkLockCue"))
            for (const name of fields)
                verify(child(window, name).editable, name)
            for (const name of tools)
                verify(child(window, name).enabled, name)
            verify(rowChild(window, 1, "configureButton").enabled)
        }

        function test_dropInsertsInDroppedOrder_data() {
            return [
                { tag: "on row 2", at: 2, names: ["a", "b", "Play Audio File a.wav", "Play Audio File c.MP3", "c"], current: 2 },
                { tag: "below the last", at: -1, names: ["a", "b", "c", "Play Audio File a.wav", "Play Audio File c.MP3"], current: 3 },
            ]
        }

        function test_dropInsertsInDroppedOrder(data) {
            const window = openWindow(["a", "b", "c"])
            window.dropFiles(["file:///show/a.wav", "file:///show/b.txt", "file:///show/c.MP3"], data.at)
            compare(names(), data.names)
            compare([fakeController.refused, window.currentIndex], [1, data.current])
        }

        function test_dropOnEmptyListInsertsAtTheTop() {
            const window = openWindow([])
            window.dropFiles(["file:///show/a.wav"], -1)
            compare([names(), window.currentIndex], [["Play Audio File a.wav"], 0])
        }

        function test_nameFieldWritesAsTheOperatorTypes() {
            const window = openWindow(["", "b"])
            const autoName = rowChild(window, 0, "autoName")
            verify(autoName.visible)
            compare(autoName.text, "/x")
            rowChild(window, 0, "nameField").forceActiveFocus()
            keyClick(Qt.Key_Q)
            compare(events.get(0).name, "q")
            verify(!autoName.visible)
            keyClick(Qt.Key_Backspace)
            verify(autoName.visible)
        }

        function test_returnInOffsetStoresThenAccepts() {
            const window = openWindow(["a"])
            const offset = rowChild(window, 0, "offsetField")
            offset.forceActiveFocus()
            keyClick(Qt.Key_4)
            keyClick(Qt.Key_2)
            keyClick(Qt.Key_Return)
            compare(String(events.get(0).offset), "42")
            compare(acceptedSpy.count, 1)
            verify(!window.visible)
        }

        function test_configureAsksForThatRow() {
            const window = openWindow(["a", "b"])
            mouseClick(rowChild(window, 1, "configureButton"))
            compare(editSpy.count, 1)
            compare(editSpy.signalArguments[0][0], 1)
            compare(window.currentIndex, 0, "the button leaves the selection alone")
        }
    }
}
