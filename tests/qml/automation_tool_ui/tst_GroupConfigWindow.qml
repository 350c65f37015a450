import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui 1.0

Item {
    id: page
    width: 100
    height: 100

    // Stands in for the controller: carries the window's list requests out on
    // a plain list model at once and rebuilds every row, as the real model
    // does after each change of the cue.
    ListModel { id: events }

    QtObject {
        id: fakeController

        function row(type, name, autoName) {
            return { type: type, name: name, autoName: autoName, offset: "0" }
        }
        function change(edit) {
            const rows = []
            for (let i = 0; i < events.count; ++i)
                rows.push(Object.assign({}, events.get(i)))
            edit(rows)
            events.clear()
            for (const r of rows)
                events.append(r)
        }
        function connect(window) {
            window.addNewOsc.connect(i => change(rows => rows.splice(i, 0, row("OSC", "", "Empty OSC Command"))))
            window.addNewAudio.connect((i, url) => change(rows => rows.splice(i, 0, row("AUDIO", "", "undefined file"))))
            window.deleteEvent.connect(i => change(rows => rows.splice(i, 1)))
            window.moveUp.connect(i => change(rows => rows.splice(i - 1, 0, rows.splice(i, 1)[0])))
            window.moveDown.connect(i => change(rows => rows.splice(i + 1, 0, rows.splice(i, 1)[0])))
        }
    }

    Component {
        id: windowComponent
        GroupConfigWindow {}
    }

    SignalSpy { id: acceptedSpy; signalName: "accepted" }

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
            acceptedSpy.clear()
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
                { tag: "new OSC on an empty list", rows: 0, c: -1, button: "newOscButton", names: [""], current: 0 },
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

        // A tool that disables itself under the keyboard (the last event
        // deleted, a move onto the first or last row) must leave Return and
        // Escape working.
        function test_keysStillWorkAfterAToolDisablesItself_data() {
            const rows = []
            for (const [tag, count, c, button] of [["delete the only", 1, 0, "deleteButton"],
                                                   ["move up onto the first", 2, 1, "moveUpButton"],
                                                   ["move down onto the last", 2, 0, "moveDownButton"]]) {
                rows.push({ tag: tag + ", Return", rows: count, c: c, button: button, key: Qt.Key_Return })
                rows.push({ tag: tag + ", Escape", rows: count, c: c, button: button, key: Qt.Key_Escape })
            }
            return rows
        }

        function test_keysStillWorkAfterAToolDisablesItself(data) {
            const window = openWindow(["a", "b"].slice(0, data.rows))
            window.currentIndex = data.c
            const tool = child(window, data.button)
            findChild(tool, "graphicButtonControl").forceActiveFocus()
            keyClick(Qt.Key_Space)
            verify(!tool.enabled, "the tool disabled itself")
            keyClick(data.key)
            compare(acceptedSpy.count, data.key === Qt.Key_Return ? 1 : 0)
            verify(!window.visible, "the key closed the window")
        }

        // An offset typed but not yet finished is written before a tool
        // changes the list, wherever the edited event then stands.
        function test_toolFinishesAnOffsetBeingTyped_data() {
            return ["newOscButton", "newAudioButton", "deleteButton", "moveUpButton",
                    "moveDownButton"].map(button => ({ tag: button, button: button }))
        }

        function test_toolFinishesAnOffsetBeingTyped(data) {
            const window = openWindow(["a", "b", "c"])
            window.currentIndex = 1
            rowChild(window, 0, "offsetField").forceActiveFocus()
            for (const key of [Qt.Key_2, Qt.Key_5, Qt.Key_0])
                keyClick(key)
            mouseClick(child(window, data.button))
            const edited = names().indexOf("a")
            compare(String(events.get(edited).offset), "250")
            keyClick(Qt.Key_Return)
            compare(acceptedSpy.count, 1)
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

    }
}
