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
    }
}
