import QtCore
import QtQuick
import QtQuick.Dialogs
import QtTest
import com.quillonworks.automation_tool_ui

Item {
    id: root
    width: 200
    height: 100

    Component {
        id: windowComponent
        AutomationToolWindow {}
    }

    TestCase {
        name: "AutomationToolWindow"
        when: windowShown

        property var window: null
        readonly property var controller: window ? window.mainController : null
        readonly property var listView: window ? findChild(window.contentItem, "listView") : null

        function init() {
            failOnWarning(/[Bb]inding loop/)
            failOnWarning(/TypeError/)
            failOnWarning(/ReferenceError/)
            failOnWarning(/non-existent (attached )?property/)
            failOnWarning(/Unable to assign/)
            failOnWarning(/Cannot open/)
            window = openWindow()
        }

        function cleanup() {
            closePrompt()
            if (window)
                window.destroy()
            window = null
            wait(0)
        }

        function openWindow() {
            const made = createTemporaryObject(windowComponent, root)
            tryVerify(() => made.visible)
            made.requestActivate()
            tryVerify(() => made.active && made.activeFocusItem !== null, 10000, "main window active")
            // The state machine starts with the event loop.
            tryCompare(made.mainController, "unsavedChanges", false)
            return made
        }

        function prompt() {
            return testSupport.visibleWindow("FlatInputWindow")
        }

        function closePrompt() {
            const shown = prompt()
            if (shown)
                shown.visible = false
        }

        function tempFile(name) {
            return testSupport.settingsFile().replace(/[^\/]*$/, "") + name
        }

        function handle(name) {
            return findChild(window.contentItem, name)
        }

        // Drags a column handle sideways by `distance` pixels, one at a time.
        function dragHandle(name, distance) {
            const surface = window.contentItem
            const start = handle(name).mapToItem(surface, 4, handle(name).height / 2)
            let x = start.x
            mousePress(surface, x, start.y)
            for (let moved = 0; moved !== distance; moved += Math.sign(distance)) {
                x += Math.sign(distance)
                mouseMove(surface, x, start.y, -1, Qt.LeftButton)
            }
            mouseRelease(surface, x, start.y)
        }

        // A restart keeps the dragged widths, in the settings category of
        // the main window, and a restored width still follows its handle.
        function test_columnWidthsSurviveARestart() {
            dragHandle("actHandle", 30)
            dragHandle("cueNameHandle", -100)
            const act = window.actWidth
            const cueName = window.cueNameWidth
            verify(act > 40)
            verify(cueName < 450)
            window.destroy()
            window = null
            wait(0)

            const stored = testSupport.readTextFile(testSupport.settingsFile())
            verify(stored.indexOf("[mainColumnSettings]") >= 0, stored)
            verify(stored.indexOf("actWidth=" + act) >= 0, stored)

            window = openWindow()
            compare(window.actWidth, act)
            compare(window.cueNameWidth, cueName)
            dragHandle("actHandle", 20)
            verify(window.actWidth > act, "a restored width still moves with its handle")
        }

        // Space fires the current cue and moves on, once however long it is
        // held; the arrows move the selection; Backspace deletes the row,
        // once however long it is held.
        function test_keys() {
            compare(listView.count, 3)
            compare(listView.currentIndex, 0)
            testSupport.holdKey(window, Qt.Key_Space, 5)
            tryCompare(listView, "currentIndex", 1)
            wait(50)
            compare(listView.currentIndex, 1)

            keyClick(Qt.Key_Down)
            compare(listView.currentIndex, 2)
            keyClick(Qt.Key_Down)
            compare(listView.currentIndex, 2)
            keyClick(Qt.Key_Up)
            compare(listView.currentIndex, 1)

            keyClick(Qt.Key_H, Qt.ControlModifier)
            verify(window.disabledCuesAreHidden)
            verify(findChild(window.contentItem, "toggleHiddenCues").checked)

            // Held, Backspace deletes one row only: there is no undo.
            testSupport.holdKey(window, Qt.Key_Backspace, 5)
            compare(listView.count, 2)
            verify(controller.unsavedChanges)
        }

        // A row shows its event's wait and firing until Escape stops all.
        function test_rowFollowsItsEventUntilEscape() {
            controller.AddWait(5, 0)
            controller.SetCurrentEventIndex(1)
            controller.SetCurrentEventIndex(0)
            const row = listView.itemAtIndex(0)
            keyClick(Qt.Key_Space)
            const pie = findChild(row, "waitIndicator")
            tryVerify(() => pie.visible)
            verify(findChild(row, "stopIcon").visible)
            verify(!findChild(row, "statusIcon").visible)

            keyClick(Qt.Key_Escape)
            tryVerify(() => !pie.visible)
            verify(!findChild(row, "stopIcon").visible)
            verify(findChild(row, "statusIcon").visible)
        }

        // Each row the selection leaves flashes and fades to nothing, the
        // second time as the first.
        function test_rowLeftBehindFadesOut() {
            const fade = findChild(listView.itemAtIndex(0), "fadeHighlight")
            for (let round = 0; round < 2; ++round) {
                controller.SetCurrentEventIndex(1)
                verify(fade.opacity > 0.5, "flash, round " + round)
                tryCompare(fade, "opacity", 0)
                wait(100)
                compare(fade.opacity, 0)
                controller.SetCurrentEventIndex(0)
            }
        }

        // The file named on the command line opens once the window is
        // complete, its current row in view.
        function test_startupFileOpens() {
            const path = tempFile("startup.tarvcue")
            window.fileChosen("file://" + path, FileDialog.SaveFile)
            window.destroy()
            window = null
            const opened = createTemporaryObject(windowComponent, root, { startupCueFile: path })
            tryCompare(opened.mainController, "currentPath", path)
            const view = findChild(opened.contentItem, "listView")
            compare(view.count, 3)
            compare(view.currentIndex, 0)
            wait(300)
            compare(view.contentY, view.originY)
        }

        // File > Open starts in the open show's folder, home for a show never
        // saved; once a file was chosen in a dialog, in that file's folder.
        function test_openDialogStartsWhereTheShowIs() {
            const dialog = findChild(window, "openDialog")
            const home = StandardPaths.writableLocation(StandardPaths.HomeLocation)
            const startsIn = (folder, why) => {
                window.openClicked()
                compare(String(dialog.currentFolder), String(folder), why)
                dialog.close()
            }
            startsIn(home, "a show never saved")

            const shows = tempFile("")
            const showsUrl = "file://" + shows.replace(/\/$/, "")
            verify(controller.Save(true, shows + "opening.tarvcue"))
            startsIn(showsUrl, "a saved show")
            controller.New()
            startsIn(home, "a new show, no file chosen yet")

            window.fileChosen(showsUrl + "/chosen.tarvcue", FileDialog.SaveFile)
            controller.New()
            startsIn(showsUrl, "a new show after a file was chosen")
        }

        // A folder gone since it was last used gives way to the next that
        // exists, in File > Open and in the save dialog, once it is found
        // missing away from the window.
        function test_choosersStartInAFolderThatExists() {
            const dialog = findChild(window, "openDialog")
            const saveDialog = findChild(window, "saveDialog")
            const home = String(StandardPaths.writableLocation(StandardPaths.HomeLocation))
            const shows = tempFile("") + "gone/"
            verify(testSupport.makeFolder(shows))
            verify(controller.Save(true, shows + "opening.tarvcue"))
            dialog.chosenFolder = saveDialog.folder = Qt.resolvedUrl("file://" + shows)
            verify(testSupport.removeFolder(shows))
            window.openClicked()
            tryCompare(dialog, "currentFolder", home, 5000, "File > Open")
            dialog.close()
            window.saveAsClicked()
            tryCompare(saveDialog, "folder", home, 5000, "Save As")
            saveDialog.close()
        }

        // The Open dialog keeps the keys: Ctrl+S opens no save dialog over
        // it, and Escape closes it.
        function test_openDialogKeepsItsKeys() {
            const dialog = findChild(window, "openDialog")
            window.openClicked()
            tryVerify(() => dialog.visible)
            keyClick(Qt.Key_S, Qt.ControlModifier)
            compare(testSupport.visibleWindow("CueFileSaveDialog"), null)
            keyClick(Qt.Key_Escape)
            tryVerify(() => !dialog.visible, 2000, "Escape closes the dialog")
        }

        // An entry of the File menu chosen with the keyboard gets the
        // keyboard back when the window does, after the unsaved-changes
        // prompt of a close had it, without a binding loop.
        function test_menuEntryGetsTheKeyboardBackAfterThePrompt() {
            keyClick(Qt.Key_Backspace)
            keyClick(Qt.Key_F, Qt.AltModifier)
            keyClick(Qt.Key_Down)
            const entry = window.activeFocusItem
            compare(entry.text, "New")
            window.close()
            tryVerify(() => prompt() !== null)
            const shown = prompt()
            shown.requestActivate()
            tryVerify(() => window.activeFocusItem === null, 3000, "the prompt has the keyboard")
            shown.close()
            window.requestActivate()
            tryVerify(() => window.activeFocusItem === entry, 3000, "the entry has the keyboard again")
            verify(entry.enabled)
        }

        // A cancelled save dialog withdraws the New or close that waited.
        function test_rejectedSaveDialogWithdraws() {
            controller.newFileDeferred = true
            controller.closingDeferred = true
            window.fileDialogRejected()
            verify(!controller.newFileDeferred)
            verify(!controller.closingDeferred)
        }
    }
}
