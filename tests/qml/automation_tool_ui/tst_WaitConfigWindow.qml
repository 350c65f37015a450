import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui 1.0

Item {
    id: page
    width: 100
    height: 100

    Component {
        id: windowComponent
        WaitConfigWindow {}
    }

    SignalSpy { id: acceptedSpy; signalName: "accepted" }
    SignalSpy { id: cancelledSpy; signalName: "cancelled" }
    SignalSpy { id: closingSpy; signalName: "closing" }

    WindowTestCase {
        name: "WaitConfigWindow"

        function openWindow() {
            const window = createTemporaryObject(windowComponent, page, { waitTime: "1.0" })
            for (const spy of [acceptedSpy, cancelledSpy, closingSpy]) {
                spy.target = window
                spy.clear()
            }
            window.requestActivate()
            // Active is reported before the focus arrives.
            tryVerify(() => window.active && window.activeFocusItem)
            return window
        }

        // Every way out closes the window, so the main window always hears it.
        function test_waysOut_data() {
            return [
                { tag: "Return", act: w => keyClick(Qt.Key_Return), accepted: 1, cancelled: 0, closing: 1 },
                { tag: "Enter", act: w => keyClick(Qt.Key_Enter), accepted: 1, cancelled: 0, closing: 1 },
                { tag: "Escape", act: w => keyClick(Qt.Key_Escape), accepted: 0, cancelled: 1, closing: 1 },
                { tag: "OK", act: w => mouseClick(findChild(w.contentItem, "okButton")), accepted: 1, cancelled: 0, closing: 1 },
                { tag: "Cancel", act: w => mouseClick(findChild(w.contentItem, "cancelButton")), accepted: 0, cancelled: 1, closing: 1 },
                { tag: "frame", act: w => w.close(), accepted: 0, cancelled: 0, closing: 1 },
            ]
        }

        function test_waysOut(data) {
            const window = openWindow()
            keyClick(Qt.Key_2) // replaces the selected text
            data.act(window)
            compare([acceptedSpy.count, cancelledSpy.count, closingSpy.count],
                    [data.accepted, data.cancelled, data.closing])
            verify(!window.visible)
            compare(window.waitTime, "2", "the window converts nothing")
        }

        function test_lockLeavesTheFieldEditable() {
            const window = openWindow()
            mouseClick(findChild(window.contentItem, "checkDisableDelete"))
            verify(window.disableDelete)
            const field = findChild(window.contentItem, "txtWaitTime")
            verify(field.editable)
            field.forceActiveFocus()
            keyClick(Qt.Key_5)
            compare(window.waitTime, "5")
        }
    }
}
