import QtQuick
import QtTest
import Qt.labs.settings
import com.quillonworks.tarv_ui

Item {
    id: page
    width: 400
    height: 300

    Component { id: windowComponent; PackagerWindow {} }
    Component { id: settingsComponent; Settings {} }
    TextEdit { id: pasteTarget }

    TarvTestCase {
        name: "PackagerWindow"

        function openWindow() {
            const window = createTemporaryObject(windowComponent, page)
            window.requestActivate()
            tryCompare(window, "active", true)
            return window
        }

        function controllerOf(window) {
            return findChild(window, "packagerController")
        }

        function dialogOf(window) {
            return findChild(window, "resultDialog")
        }

        function showResult(window, body) {
            const controller = controllerOf(window)
            controller.messageBody = body
            controller.message = true
        }

        function test_inputsReachTheController() {
            const window = openWindow()
            const controller = controllerOf(window)
            const inputs = { sourceDirectory: "/show/src", destinationDirectory: "/show/out",
                             imageDirectory: "/show/img", soundEffectsDirectory: "/show/sfx",
                             advancedFeatures: true, sfxSourceDirectory: "/sfx/oggs",
                             sfxDestinationDirectory: "/sfx/out" }
            for (const name in inputs) {
                window[name] = inputs[name]
                compare(controller[name], inputs[name], name)
            }
            findChild(window, "showNameInput").field.forceActiveFocus()
            keyClick(Qt.Key_A)
            compare(controller.name, window.showName)
            verify(controller.name.endsWith("a"))

            controller.files = ["act1.mid", "act2.mid"]
            compare(window.files, ["act1.mid", "act2.mid"])
            compare(findChild(window, "fileList").count, 2)
        }

        function test_eachButtonCallsOnce() {
            const window = openWindow()
            const controller = controllerOf(window)
            mouseClick(findChild(window, "actionButton"))
            compare([controller.packageCalls, controller.packageSfxCalls], [1, 0])
            findChild(window, "modeTabBar").currentIndex = 1
            const sfxButton = findChild(window, "packageSfxButton")
            tryCompare(sfxButton, "visible", true)
            mouseClick(sfxButton)
            compare([controller.packageCalls, controller.packageSfxCalls], [1, 1])
        }

        function test_resultDialog_data() {
            return [
                { tag: "complete", body: "", heading: "Packaging Complete", size: [400, 100], detail: false },
                { tag: "error", body: "3 files\nError: disk full", heading: "Problems Encountered", size: [640, 480], detail: true },
                { tag: "warning", body: "Warning: no images", heading: "Problems Encountered", size: [640, 480], detail: true },
                { tag: "lower case", body: "no error, no warning", heading: "Packaging Complete", size: [640, 480], detail: true },
            ]
        }

        function test_resultDialog(data) {
            const window = openWindow()
            const dialog = dialogOf(window)
            showResult(window, data.body)
            tryCompare(dialog, "opened", true)
            compare([dialog.informativeText, dialog.detailedText], [data.heading, data.body])
            compare([dialog.width, dialog.height], data.size)
            compare([findChild(window, "resultDetailArea").visible, findChild(window, "copyButton").visible],
                    [data.detail, data.detail])
            const corner = dialog.background.mapToItem(window.contentItem, 0, 0)
            fuzzyCompare(corner.x, (window.width - data.size[0]) / 2, 1)
            if (data.detail) {
                mouseClick(findChild(window, "copyButton"))
                pasteTarget.text = ""
                pasteTarget.paste()
                compare(pasteTarget.text, data.body)
            }
        }

        function test_everyCloseLetsTheNextResultShow_data() {
            return [
                { tag: "OK", close: window => mouseClick(findChild(window, "okButton")) },
                { tag: "Return", close: () => keyClick(Qt.Key_Return) },
                { tag: "Escape", close: () => keyClick(Qt.Key_Escape) },
                { tag: "press outside", close: window => mouseClick(window.contentItem, 5, 5) },
            ]
        }

        function test_everyCloseLetsTheNextResultShow(data) {
            const window = openWindow()
            const controller = controllerOf(window)
            const dialog = dialogOf(window)
            showResult(window, "Packaged 12 files")
            tryCompare(dialog, "opened", true)
            data.close(window)
            tryCompare(dialog, "opened", false)
            compare([controller.message, controller.messageBody], [false, ""])
            showResult(window, "Error: destination is full")
            tryCompare(dialog, "opened", true)
            compare(dialog.informativeText, "Problems Encountered")
        }

        // Both windows use the same settings store, as two runs would.
        function test_settingsPersistInTheirCategories() {
            const first = openWindow()
            const values = { width: 700, showName: "Macbeth", advancedFeatures: true,
                             sfxSourceDirectory: "/sfx/in, with comma", sfxDestinationDirectory: "/sfx/out" }
            for (const name in values)
                first[name] = values[name]
            controllerOf(first).files = ["witches.mid", ""]
            first.destroy()
            wait(0)

            const stored = [["appearance", "width"], ["show", "showName"], ["show", "files"],
                            ["show", "sfxSourceDirectory"], ["sfx", "sfxDestinationDirectory"]].map(
                              ([category, key]) => createTemporaryObject(settingsComponent, page,
                                                                         { category: category }).value(key))
            compare([Number(stored[0])].concat(stored.slice(1)),
                    [700, "Macbeth", ["witches.mid", ""], "/sfx/in, with comma", "/sfx/out"])

            const second = openWindow()
            for (const name in values)
                compare(second[name], values[name], name)
            compare(second.files, ["witches.mid", ""])
        }

        function test_focusRing() {
            const window = openWindow()
            const ring = [findChild(window, "showNameInput").field]
            for (const name of ["sourceDirectoryInput", "destinationDirectoryInput", "imageDirectoryInput",
                                "soundEffectsDirectoryInput"])
                ring.push(findChild(window, name).field, findChild(window, name).button)
            ring.push(findChild(window, "actionButton"), findChild(window, "toggleSwitch"))

            tryCompare(window, "activeFocusItem", ring[0])
            for (let step = 1; step <= ring.length; ++step) {
                keyClick(Qt.Key_Tab)
                compare(window.activeFocusItem, ring[step % ring.length], "Tab " + step)
            }
            keyClick(Qt.Key_Backtab)
            compare(window.activeFocusItem, ring[ring.length - 1], "Backtab from the name")
            keyClick(Qt.Key_Tab, Qt.ShiftModifier)
            compare(window.activeFocusItem, ring[ring.length - 2], "Shift+Tab")
        }
    }
}
