import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui 1.0

Item {
    id: page
    width: 100
    height: 100

    ListModel {
        id: destinations
        ListElement { name: "This Device"; networkId: "NETWORK1" }
        ListElement { name: "Desk"; networkId: "NETWORK2" }
    }

    Component {
        id: windowComponent
        OscConfigWindow {}
    }

    TextMetrics { id: narrow; text: "iiiiiiii" }
    TextMetrics { id: wide; text: "WWWWWWWW" }

    SignalSpy { id: acceptedSpy; signalName: "accepted" }
    SignalSpy { id: cancelledSpy; signalName: "cancelled" }

    WindowTestCase {
        name: "OscConfigWindow"

        function openWindow(model, command) {
            const window = createTemporaryObject(windowComponent, page,
                                                 { networkModel: model, oscCommand: command })
            acceptedSpy.target = window
            cancelledSpy.target = window
            acceptedSpy.clear()
            cancelledSpy.clear()
            window.requestActivate()
            tryVerify(() => window.active && window.activeFocusItem)
            return window
        }

        function test_waysOut_data() {
            return [
                { tag: "Return", act: w => keyClick(Qt.Key_Return), accepted: 1, cancelled: 0 },
                { tag: "OK", act: w => mouseClick(findChild(w.contentItem, "okButton")), accepted: 1, cancelled: 0 },
                { tag: "Escape", act: w => keyClick(Qt.Key_Escape), accepted: 0, cancelled: 1 },
                { tag: "Cancel", act: w => mouseClick(findChild(w.contentItem, "cancelButton")), accepted: 0, cancelled: 1 },
            ]
        }

        function test_waysOut(data) {
            const window = openWindow(destinations, "old")
            keyClick(Qt.Key_Space) // the field starts focused with its text selected
            keyClick(Qt.Key_A)
            keyClick(Qt.Key_Space)
            data.act(window)
            compare([acceptedSpy.count, cancelledSpy.count], [data.accepted, data.cancelled])
            compare(window.oscCommand, " a ", "blanks stay as typed")
            verify(!window.visible)
        }

        function test_returnOnTheClosedBoxAcceptsOnce() {
            const window = openWindow(destinations, "/a")
            findChild(window.contentItem, "networkIdInput").comboControl.forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(acceptedSpy.count, 1)
        }

        function test_examplesUseAMonospaceFont() {
            const window = openWindow(destinations, "")
            const examples = findChild(window.contentItem, "exampleCommands")
            narrow.font = examples.font
            wide.font = examples.font
            verify(narrow.advanceWidth > 0)
            compare(narrow.advanceWidth, wide.advanceWidth, "every letter is as wide as any other")
            compare(examples.font.pixelSize, 12)
            compare(examples.text.split("\n").length, 3)
            compare(window.width, 310)
        }
    }
}
