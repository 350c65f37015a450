import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui

// The "Choose" buttons open the real choosers, and a file and a folder are
// picked through them as an operator would. This suite also runs under Xvfb.
Item {
    id: root
    width: 1000
    height: 800

    Component { id: directoryInput; DirectoryInputControl { width: 400 } }
    Component { id: fileInput; FileInputControl { width: 400 } }

    TarvTestCase {
        name: "Choosers"

        function init() {
            failOnQmlWarnings()
            // A chooser of the test before is deleted only once events run:
            // until then, a look for the chooser's list could find its list.
            tryVerify(() => findChild(root.Overlay.overlay, "chooserList") === null, 5000,
                      "the last test's chooser is gone")
        }

        // The chooser's list, once it shows the fixture folder's entries.
        function dialogList(count) {
            let list = null
            tryVerify(() => {
                list = findChild(root.Overlay.overlay, "chooserList")
                return list !== null && list.visible && list.count === count
            }, 5000, "the chooser lists the fixture folder")
            return list
        }

        // Selects an entry, then presses the chooser's Open (or Choose).
        function pick(list, index) {
            let entry = null
            tryVerify(() => (entry = findChild(list, "chooserEntry" + index)) !== null)
            mouseClick(entry)
            mouseClick(findChild(root.Overlay.overlay, "openButton"))
        }

        function test_chooseFolder() {
            const control = createTemporaryObject(directoryInput, root)
            const dialog = findChild(control, "folderDialog")
            dialog.currentFolder = chooserFixture.folderUrl
            mouseClick(findChild(control, "chooseButton"))
            const list = dialogList(1)
            pick(list, 0)
            tryCompare(control, "value", chooserFixture.folderPath + "/Cues 1")
            tryVerify(() => !list.visible, 2000, "the dialog closes")
        }

        function test_chooseFile() {
            const control = createTemporaryObject(fileInput, root)
            const dialog = findChild(control, "fileDialog")
            dialog.currentFolder = chooserFixture.folderUrl
            mouseClick(findChild(control, "chooseButton"))
            // The folder first, then the file.
            const list = dialogList(2)
            pick(list, 1)
            tryCompare(control, "value", chooserFixture.folderPath + "/thunder #1.wav")
            tryVerify(() => !list.visible, 2000, "the dialog closes")
            // The next opening starts where this file was chosen.
            compare(control.folder, chooserFixture.folderUrl)
        }

        // A folder whose name a URL would misread lists its own files, and
        // the file picked there is the one chosen.
        function test_chooseFileInOddlyNamedFolders() {
            chooserFixture.oddFolderPaths.forEach((folder, i) => {
                const control = createTemporaryObject(fileInput, root,
                                                      { folder: chooserFixture.oddFolderUrls[i] })
                mouseClick(findChild(control, "chooseButton"))
                pick(dialogList(1), 0)
                tryCompare(control, "value", folder + "/rain.wav")
            })
        }

        // Folders whose names a URL would misread are chosen as named; they
        // are listed by their first letters: B, C, S, T.
        function test_chooseOddlyNamedFolders() {
            const folders = chooserFixture.oddFolderPaths.slice().sort()
            folders.forEach((folder, i) => {
                const control = createTemporaryObject(directoryInput, root)
                findChild(control, "folderDialog").currentFolder = chooserFixture.oddParentUrl
                mouseClick(findChild(control, "chooseButton"))
                pick(dialogList(folders.length), i)
                tryCompare(control, "value", folder)
            })
        }

        // Opened, the dialog lists the control's folder, not the working one.
        function test_fileDialogStartsInItsFolder() {
            const control = createTemporaryObject(fileInput, root, { folder: chooserFixture.folderUrl })
            mouseClick(findChild(control, "chooseButton"))
            pick(dialogList(2), 1)
            tryCompare(control, "value", chooserFixture.folderPath + "/thunder #1.wav")
        }

        // The chooser opened on `folder`, its list once it shows `count`
        // entries (any number without one).
        function openOn(folder, count) {
            const control = createTemporaryObject(fileInput, root, {
                folder: folder, nameFilters: ["Sound files (*.wav)", "All files (*)"] })
            mouseClick(findChild(control, "chooseButton"))
            let list = null
            tryVerify(() => {
                list = findChild(root.Overlay.overlay, "chooserList")
                return list !== null && list.visible && list.count > 0
                       && (count === undefined || list.count === count)
            }, 5000, "the chooser lists its folder")
            tryVerify(() => list.activeFocus)
            return { control: control, list: list }
        }

        function chooserItem(name) {
            return findChild(root.Overlay.overlay, name)
        }

        function typeText(text) {
            for (const c of text)
                keyClick(c)
        }

        // Ctrl+L takes a path: a folder typed opens, an unknown one is
        // named in the chooser, which stays open, and a file typed is picked.
        function test_typedPath() {
            const chooser = openOn(chooserFixture.folderUrl, 2)
            keyClick(Qt.Key_L, Qt.ControlModifier)
            const field = chooserItem("chooserPath").field
            verify(field.activeFocus)
            compare(field.selectedText, chooserFixture.folderPath)
            typeText(chooserFixture.oddFolderPaths[0])
            keyClick(Qt.Key_Return)
            tryCompare(findChild(chooser.control, "fileDialog"), "currentFolder",
                       chooserFixture.oddFolderUrls[0])
            tryCompare(chooser.list, "count", 1)

            keyClick(Qt.Key_L, Qt.ControlModifier)
            typeText("no such folder")
            keyClick(Qt.Key_Return)
            tryVerify(() => chooserItem("chooserNotice").text.indexOf("no such folder") >= 0)
            verify(chooser.list.visible)

            keyClick(Qt.Key_L, Qt.ControlModifier)
            typeText("rain.wav")
            keyClick(Qt.Key_Return)
            tryCompare(chooser.control, "value", chooserFixture.oddFolderPaths[0] + "/rain.wav")
            tryVerify(() => !chooser.list.visible)
        }

        // Each folder of the path is a button that opens that folder.
        function test_pathSegmentsOpenAncestors() {
            const chooser = openOn(chooserFixture.oddFolderUrls[1], 1)
            const parentName = chooserFixture.oddFolderPaths[1].split("/").slice(-2)[0]
            let crumb = null
            for (let i = 0; (crumb = chooserItem("crumb" + i)) !== null; ++i) {
                if (crumb.text.endsWith(parentName))
                    break
            }
            verify(crumb !== null, "a button for the parent folder")
            mouseClick(crumb)
            tryCompare(findChild(chooser.control, "fileDialog"), "currentFolder",
                       chooserFixture.oddParentUrl)
            tryCompare(chooser.list, "count", chooserFixture.oddFolderPaths.length)
        }

        // A file's size and date stand beside its name.
        function test_entriesShowSizeAndDate() {
            const chooser = openOn(chooserFixture.folderUrl, 2)
            const file = findChild(chooser.list, "chooserEntry1")
            compare(findChild(file, "entrySize").text, Qt.locale().formattedDataSize(0))
            verify(findChild(file, "entryModified").text !== "")
        }

        // Home and End, PageUp and PageDown, and the first letters of a
        // name move the selection as in Qt's own lists.
        function test_listKeys() {
            const chooser = openOn(chooserFixture.manyFolderUrl)
            const list = chooser.list
            keyClick(Qt.Key_End)
            compare(list.currentIndex, list.count - 1)
            keyClick(Qt.Key_Home)
            compare(list.currentIndex, 0)
            keyClick(Qt.Key_PageDown)
            verify(list.currentIndex > 5 && list.currentIndex < list.count - 1, list.currentIndex)
            const paged = list.currentIndex
            keyClick(Qt.Key_PageUp)
            compare(list.currentIndex, 0)
            typeText("th")
            compare(chooser.list.model.fileName(list.currentIndex), "thunder.wav")
            wait(1200) // a pause starts a new name
            typeText("tr")
            compare(chooser.list.model.fileName(list.currentIndex), "tree.wav")
            keyClick(Qt.Key_Return)
            tryCompare(chooser.control, "value", chooserFixture.manyFolderPath + "/tree.wav")
        }

        // A file made beside the selected one leaves the selection on it,
        // also for a Return pressed as soon as the new file is listed.
        function test_selectionKeptWhenTheFolderChanges() {
            const chooser = openOn(chooserFixture.manyFolderUrl)
            const before = chooser.list.count
            keyClick(Qt.Key_End)
            const model = chooser.list.model
            const selected = model.fileName(chooser.list.currentIndex)
            chooserFixture.touch(chooserFixture.manyFolderPath + "/aaa " + before + ".wav")
            // Looked for at every turn of the event loop, so that Return
            // comes before the list is next drawn.
            const since = Date.now()
            while (model.count !== before + 1 && Date.now() - since < 5000)
                wait(0)
            keyClick(Qt.Key_Return)
            compare(chooser.control.value, chooserFixture.manyFolderPath + "/" + selected)
        }

        // Tab goes round the path, the list, the filter, Cancel and Open;
        // Return and Space press the button that has the focus.
        function test_tabOrderAndButtons() {
            let chooser = openOn(chooserFixture.folderUrl, 2)
            keyClick(Qt.Key_L, Qt.ControlModifier)
            const order = ["chooserList", "filterBox", "cancelButton", "openButton", "chooserPath"]
            for (const name of order) {
                keyClick(Qt.Key_Tab)
                const item = chooserItem(name)
                tryVerify(() => item.activeFocus || (item.field !== undefined && item.field.activeFocus)
                          || (item.comboControl !== undefined && item.comboControl.activeFocus),
                          1000, name + " has the focus")
            }
            keyClick(Qt.Key_Tab)
            keyClick(Qt.Key_Tab)
            keyClick(Qt.Key_Tab)
            verify(chooserItem("cancelButton").activeFocus)
            keyClick(Qt.Key_Space)
            tryVerify(() => !chooser.list.visible)
            compare(chooser.control.value, "")

            chooser = openOn(chooserFixture.folderUrl, 2)
            chooser.list.currentIndex = 1
            chooserItem("openButton").forceActiveFocus()
            keyClick(Qt.Key_Return)
            tryCompare(chooser.control, "value", chooserFixture.folderPath + "/thunder #1.wav")
        }

        // Backspace in a folder still being read goes up at once; the keys
        // after it act on the folder above.
        function test_backspaceWhileReading() {
            const big = chooserFixture.bigFolderUrl()
            const control = createTemporaryObject(fileInput, root, { folder: big })
            const dialog = findChild(control, "fileDialog")
            mouseClick(findChild(control, "chooseButton"))
            tryVerify(() => dialog.opened)
            const list = findChild(root.Overlay.overlay, "chooserList")
            verify(list.model.loading, "20,000 files are still being read")
            keyClick(Qt.Key_Backspace)
            compare(String(dialog.currentFolder), String(LocalPaths.parentOf(big)))
            keyClick(Qt.Key_Return)
            tryCompare(dialog, "currentFolder", big)
        }

        // Keys typed before the folder is read act on its entries once it
        // is, in order, as if the operator had waited.
        function test_keysBeforeTheListing() {
            const control = createTemporaryObject(fileInput, root,
                                                  { folder: chooserFixture.oddFolderUrls[0] })
            mouseClick(findChild(control, "chooseButton"))
            // Up from "Show #1" to B, Cue, Show, Take; the last but one
            // opened, and its file picked.
            keyClick(Qt.Key_Backspace)
            keyClick(Qt.Key_End)
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Return)
            keyClick(Qt.Key_Return)
            tryCompare(control, "value", chooserFixture.oddFolderPaths[0] + "/rain.wav")
        }
    }
}
