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

        // Every other way out is driven with the real controller; the
        // keypad's Enter accepts as Return does.
        function test_enterAcceptsAsIs() {
            const window = openWindow()
            keyClick(Qt.Key_2) // replaces the selected text
            keyClick(Qt.Key_Enter)
            compare([acceptedSpy.count, cancelledSpy.count, closingSpy.count], [1, 0, 1])
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
