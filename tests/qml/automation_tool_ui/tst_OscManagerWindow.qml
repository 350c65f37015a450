import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui 1.0

Item {
    id: page
    width: 100
    height: 100

    // Offers what the window calls on the real destination model.
    Component {
        id: modelComponent
        ListModel {
            function dataStr(row, role) { return get(row)[role] }
            function removeRows(row, count) {
                if (row < 0 || count < 1 || row + count > this.count)
                    return false
                remove(row, count)
                return true
            }
        }
    }

    Component {
        id: windowComponent
        OscManagerWindow {}
    }

    SignalSpy { id: okaySpy; signalName: "okay" }
    SignalSpy { id: createSpy; signalName: "createNetwork" }
    SignalSpy { id: editSpy; signalName: "editNetwork" }

    WindowTestCase {
        name: "OscManagerWindow"

        function openWindow(rows, port) {
            const model = createTemporaryObject(modelComponent, page)
            for (const row of rows)
                model.append(row)
            const window = createTemporaryObject(windowComponent, page,
                                                 { networkModel: model, oscListenPortString: port,
                                                   oscEnabled: true })
            for (const spy of [okaySpy, createSpy, editSpy]) {
                spy.target = window
                spy.clear()
            }
            window.visible = true
            tryVerify(() => window.active && window.activeFocusItem)
            return window
        }

        function destination(name, id, mode) {
            return { first: name, second: "", name: name, networkId: id, ipAddress: "10.0.0.5",
                     port: 9000, mode: mode }
        }

        function child(window, name) {
            return findChild(window.contentItem, name)
        }

        function editWindow(window) {
            const edit = child(window, "networkEditWindow")
            tryVerify(() => edit.active && edit.activeFocusItem)
            return edit
        }

        // The other refused ports are driven with the real controller.
        function test_listenPortMustBeAWholeNumberInRange_data() {
            return [
                { tag: "letters", port: "abc", valid: false },
                { tag: "empty", port: "", valid: false },
                { tag: "lowest", port: "1", valid: true },
                { tag: "highest", port: "65535", valid: true },
                { tag: "blanks", port: " 9000 ", valid: true },
            ]
        }

        function test_listenPortMustBeAWholeNumberInRange(data) {
            const window = openWindow([], data.port)
            const field = child(window, "oscListenPort")
            compare(window.listenPortValid, data.valid)
            verify(Qt.colorEqual(field.backgroundColor, "#6b1f1f") !== data.valid, "the field is marked")
            keyClick(Qt.Key_Return)
            mouseClick(child(window, "okButton"))
            compare(okaySpy.count, data.valid ? 2 : 0)
            if (!data.valid)
                verify(field.field.activeFocus, "the refused field takes the focus")
        }

        // Delete disables itself when it empties the list; the window's keys
        // must still be heard.
        function test_keysStillWorkAfterDeleteEmptiesTheList_data() {
            return [{ tag: "Return", key: Qt.Key_Return, okay: 1 },
                    { tag: "Escape", key: Qt.Key_Escape, okay: 0 }]
        }

        function test_keysStillWorkAfterDeleteEmptiesTheList(data) {
            const window = openWindow([destination("Lighting desk", "NETWORK1", "udp")], "9000")
            const list = child(window, "networkList")
            list.currentIndex = 0
            const button = child(window, "deleteButton")
            button.forceActiveFocus()
            keyClick(Qt.Key_Space)
            compare(list.count, 0)
            tryVerify(() => !button.enabled)
            keyClick(data.key)
            compare(okaySpy.count, data.okay)
            if (data.okay === 0)
                verify(!window.visible, "Escape closed the window")
        }

        function test_newNetworkAsksForACreation() {
            const window = openWindow([], "9000")
            mouseClick(child(window, "newNetworkButton"))
            const edit = editWindow(window)
            compare([edit.title, edit.networkName, edit.ipAddress, edit.port, edit.mode],
                    ["Create Network Destination", "New Network Destination", "127.0.0.1", 8000, "udp"])
            compare(edit.transientParent, window)
            // Type a port, cancel, open again: the set port shows again.
            const port = findChild(edit.contentItem, "portInput")
            port.forceActiveFocus()
            keyClick(Qt.Key_7)
            keyClick(Qt.Key_Escape)
            verify(!edit.visible)
            compare(createSpy.count, 0)
            mouseClick(child(window, "newNetworkButton"))
            tryVerify(() => edit.active)
            compare(port.text, "8000")
            keyClick(Qt.Key_Return)
            compare(createSpy.count, 1)
            compare(Array.from(createSpy.signalArguments[0]), ["127.0.0.1", 8000, "udp", "New Network Destination"])
        }

        function test_editSendsTheRowBackWithItsMode() {
            const window = openWindow([destination("A", "NETWORK1", "udp"),
                                       destination("Lights", "NETWORK7", "tcp")], "9000")
            child(window, "networkList").currentIndex = 1
            mouseClick(child(window, "editButton"))
            const edit = editWindow(window)
            compare([edit.title, edit.networkName, edit.port, edit.mode, edit.networkId],
                    ["Edit Network Destination", "Lights", 9000, "tcp", "NETWORK7"])
            compare(findChild(edit.contentItem, "modeInput").displayText, "UDP")
            mouseClick(findChild(edit.contentItem, "buttonRow").okButton)
            compare(editSpy.count, 1)
            compare(Array.from(editSpy.signalArguments[0]), [1, "10.0.0.5", 9000, "tcp", "Lights", "NETWORK7"])
        }

        function test_destinationPortText_data() {
            return [
                { tag: "letters", text: "abc", port: 0 },
                { tag: "blanks", text: " 12 ", port: 12 },
                { tag: "fraction", text: "80.9", port: 80 },
                { tag: "huge", text: "1e13", port: 2147483647 },
            ]
        }

        function test_destinationPortText(data) {
            const window = openWindow([], "9000")
            mouseClick(child(window, "newNetworkButton"))
            const edit = editWindow(window)
            findChild(edit.contentItem, "portInput").text = data.text
            edit.ok()
            compare(createSpy.signalArguments[0][1], data.port)
        }
    }
}
