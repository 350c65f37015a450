import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui

Item {
    id: root
    width: 800
    height: 400

    Component {
        id: menuBarComponent
        AutomationMenuBar { width: root.width }
    }

    // Every signal of the menu bar, counted.
    Component {
        id: spyComponent
        SignalSpy {}
    }

    WindowTestCase {
        name: "AutomationMenuBar"

        readonly property var signalNames: [
            "aboutClicked", "deleteClicked", "goClicked", "hideDisabledClicked", "newClicked",
            "openClicked", "saveAsClicked", "saveClicked", "oscManagerClicked", "sfxManagerClicked",
            "stopAudioClicked", "stopAllClicked", "moveSelectUpClicked", "moveSelectDownClicked"
        ]

        function makeMenuBar(properties) {
            const bar = createTemporaryObject(menuBarComponent, root, properties || {})
            const spies = {}
            for (const name of signalNames)
                spies[name] = createTemporaryObject(spyComponent, root, { target: bar, signalName: name })
            return { bar: bar, spies: spies }
        }

        // How many times each signal fired, for the signals that did.
        function firedCounts(spies) {
            const fired = {}
            for (const name of signalNames) {
                if (spies[name].count > 0)
                    fired[name] = spies[name].count
            }
            return fired
        }

        function test_keys_data() {
            return [
                { tag: "ctrl+n", key: Qt.Key_N, modifiers: Qt.ControlModifier, fired: { newClicked: 1 } },
                { tag: "ctrl+o", key: Qt.Key_O, modifiers: Qt.ControlModifier, fired: { openClicked: 1 } },
                { tag: "ctrl+s", key: Qt.Key_S, modifiers: Qt.ControlModifier, fired: { saveClicked: 1 } },
                { tag: "ctrl+shift+a", key: Qt.Key_A, modifiers: Qt.ControlModifier | Qt.ShiftModifier, fired: { saveAsClicked: 1 } },
                { tag: "backspace", key: Qt.Key_Backspace, modifiers: Qt.NoModifier, fired: { deleteClicked: 1 } },
                { tag: "space", key: Qt.Key_Space, modifiers: Qt.NoModifier, fired: { goClicked: 1 } },
                { tag: "ctrl+esc", key: Qt.Key_Escape, modifiers: Qt.ControlModifier, fired: { stopAudioClicked: 1 } },
                { tag: "esc", key: Qt.Key_Escape, modifiers: Qt.NoModifier, fired: { stopAllClicked: 1 } },
                { tag: "up", key: Qt.Key_Up, modifiers: Qt.NoModifier, fired: { moveSelectUpClicked: 1 } },
                { tag: "down", key: Qt.Key_Down, modifiers: Qt.NoModifier, fired: { moveSelectDownClicked: 1 } },
                { tag: "ctrl+h", key: Qt.Key_H, modifiers: Qt.ControlModifier, fired: { hideDisabledClicked: 1 } },
                { tag: "shift+ctrl+o", key: Qt.Key_O, modifiers: Qt.ControlModifier | Qt.ShiftModifier, fired: { oscManagerClicked: 1 } },
                { tag: "shift+ctrl+s", key: Qt.Key_S, modifiers: Qt.ControlModifier | Qt.ShiftModifier, fired: { sfxManagerClicked: 1 } },
            ]
        }

        // Each key runs its command exactly once: no key is registered twice.
        function test_keys(data) {
            const made = makeMenuBar({ canDelete: true })
            keyClick(data.key, data.modifiers)
            compare(firedCounts(made.spies), data.fired)
        }

        function test_disabledCommands_data() {
            return [
                { tag: "nothing to delete", properties: { canDelete: false }, key: Qt.Key_Backspace, modifiers: Qt.NoModifier },
                { tag: "stop all switched off", properties: { disableStopAllAudioShortcut: true }, key: Qt.Key_Escape, modifiers: Qt.NoModifier },
                { tag: "saving switched off", properties: { canSave: false }, key: Qt.Key_S, modifiers: Qt.ControlModifier },
            ]
        }

        function test_disabledCommands(data) {
            const made = makeMenuBar(data.properties)
            keyClick(data.key, data.modifiers)
            compare(firedCounts(made.spies), {})
        }

        // A second Escape within 250 ms stops in panic mode; the third is a
        // normal stop again, and so is one after the window has closed.
        function test_panicRule() {
            const made = makeMenuBar()
            const stops = made.spies.stopAllClicked
            for (let i = 0; i < 3; ++i)
                keyClick(Qt.Key_Escape)
            tryVerify(() => !made.bar.isPanicMode, 1000)
            keyClick(Qt.Key_Escape)
            wait(300)
            keyClick(Qt.Key_Escape)
            compare(stops.count, 5)
            compare([0, 1, 2, 3, 4].map(i => stops.signalArguments[i][0]), [false, true, false, false, false])
        }

        // The menus run the same commands as the keys and show their keys.
        function test_menuEntriesFollowTheirKeys() {
            const made = makeMenuBar({ canDelete: false })
            const cues = made.bar.menuAt(2)
            const go = cues.itemAt(0)
            compare(go.text, "Go")
            verify(findChild(go, "shortcutText").text.length > 0)
            go.triggered()
            compare(made.spies.goClicked.count, 1)

            const del = made.bar.menuAt(1).itemAt(0)
            verify(!del.enabled)
            made.bar.canDelete = true
            verify(del.enabled)

            const stopCurrent = cues.itemAt(2)
            compare(stopCurrent.text, "Stop Current Audio")
            verify(!stopCurrent.visible)
        }
    }
}
