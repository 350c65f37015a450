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

    Component {
        id: focusTaker
        Item { width: 10; height: 10 }
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

        // A command key with Ctrl runs its command while a menu is open, and
        // the menu closes; Escape only closes the menu.
        function test_commandKeysThroughAnOpenMenu_data() {
            return [
                { tag: "ctrl+s", key: Qt.Key_S, modifiers: Qt.ControlModifier, fired: { saveClicked: 1 } },
                { tag: "ctrl+o", key: Qt.Key_O, modifiers: Qt.ControlModifier, fired: { openClicked: 1 } },
                { tag: "ctrl+n", key: Qt.Key_N, modifiers: Qt.ControlModifier, fired: { newClicked: 1 } },
                { tag: "shift+ctrl+o", key: Qt.Key_O, modifiers: Qt.ControlModifier | Qt.ShiftModifier, fired: { oscManagerClicked: 1 } },
                { tag: "escape", key: Qt.Key_Escape, modifiers: Qt.NoModifier, fired: {} },
            ]
        }

        function test_commandKeysThroughAnOpenMenu(data) {
            const made = makeMenuBar()
            const edit = made.bar.menuAt(1)
            edit.open()
            tryVerify(() => edit.opened)
            keyClick(data.key, data.modifiers)
            compare(firedCounts(made.spies), data.fired)
            tryVerify(() => !edit.visible, 1000, "the menu closes")
        }

        // A menu left open while something else has the keyboard neither
        // holds back the command keys nor outlives an Escape.
        function test_menuOpenWithoutTheKeyboard() {
            const made = makeMenuBar()
            const file = made.bar.menuAt(0)
            file.open()
            tryVerify(() => file.opened)
            createTemporaryObject(focusTaker, root).forceActiveFocus()
            verify(file.visible)
            keyClick(Qt.Key_S, Qt.ControlModifier)
            compare(firedCounts(made.spies), { saveClicked: 1 })
            file.open()
            tryVerify(() => file.opened)
            createTemporaryObject(focusTaker, root).forceActiveFocus()
            keyClick(Qt.Key_Escape)
            tryVerify(() => !file.visible, 1000, "Escape closes the menu")
            compare(firedCounts(made.spies), { saveClicked: 1 })
            keyClick(Qt.Key_Escape)
            compare(made.spies.stopAllClicked.count, 1)
        }

        // Clicks a menu title and leaves the pointer on it, as an operator's
        // mouse does (offscreen, hover is off unless asked for).
        function pointAtTitle(bar, index) {
            const title = bar.itemAt(index)
            title.hoverEnabled = true
            mouseMove(title, title.width / 2, title.height / 2)
            return title
        }

        function clickTitle(bar, index) {
            mouseClick(pointAtTitle(bar, index))
        }

        function test_titleClickAfterAKeyClosedItsMenu_data() {
            return [
                { tag: "click, escape", alt: false, keys: [[Qt.Key_Escape, Qt.NoModifier]] },
                { tag: "click, ctrl+h", alt: false, keys: [[Qt.Key_H, Qt.ControlModifier]] },
                { tag: "click, ctrl+s", alt: false, keys: [[Qt.Key_S, Qt.ControlModifier]] },
                { tag: "alt+f, escape", alt: true, keys: [[Qt.Key_Escape, Qt.NoModifier]] },
                { tag: "click, entry by return", alt: false,
                  keys: [[Qt.Key_Down, Qt.NoModifier], [Qt.Key_Return, Qt.NoModifier]] },
            ]
        }

        // After a key closed a menu, the next click on a title opens its
        // menu, and an Escape meant for that menu stops no audio.
        function test_titleClickAfterAKeyClosedItsMenu(data) {
            const made = makeMenuBar()
            const file = made.bar.menuAt(0)
            for (let round = 0; round < 2; ++round) {
                if (data.alt) {
                    pointAtTitle(made.bar, 0)
                    keyClick(Qt.Key_F, Qt.AltModifier)
                } else {
                    clickTitle(made.bar, 0)
                }
                tryVerify(() => file.opened, 1000, "round " + round + " opens the menu")
                for (const [key, modifiers] of data.keys)
                    keyClick(key, modifiers)
                tryVerify(() => !file.visible, 1000, "round " + round + ": the key closes the menu")
            }
            for (const index of [0, 2]) {
                clickTitle(made.bar, index)
                const menu = made.bar.menuAt(index)
                tryVerify(() => menu.opened, 1000, "a click opens menu " + index)
                keyClick(Qt.Key_Escape)
                tryVerify(() => !menu.visible, 1000, "Escape closes menu " + index)
            }
            compare(made.spies.stopAllClicked.count, 0)
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
