import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui

// The "Choose" buttons open the real dialogs, and a file and a folder are
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
            failOnWarning(/Failed to load non-native/)
            failOnWarning(/is not installed/)
        }

        // The dialog's list, once it shows the fixture folder's entries.
        function dialogList(listName, count) {
            let list = null
            tryVerify(() => {
                list = findChild(root.Overlay.overlay, listName)
                return list !== null && list.visible && list.count === count
            }, 5000, "the dialog lists the fixture folder")
            return list
        }

        function buttonTitled(item, text) {
            if (item.text === text && "checkable" in item && item.visible)
                return item
            for (let i = 0; i < item.children.length; ++i) {
                const found = buttonTitled(item.children[i], text)
                if (found)
                    return found
            }
            return null
        }

        // Selects an entry, then presses the dialog's "Open" button.
        function pick(list, delegateName) {
            let entry = null
            tryVerify(() => (entry = findChild(list, delegateName)) !== null)
            mouseClick(entry)
            mouseClick(buttonTitled(root.Overlay.overlay, "Open"))
        }

        function test_chooseFolder() {
            const control = createTemporaryObject(directoryInput, root)
            const dialog = findChild(control, "folderDialog")
            dialog.currentFolder = chooserFixture.folderUrl
            mouseClick(findChild(control, "chooseButton"))
            const list = dialogList("folderDialogListView", 1)
            pick(list, "folderDialogDelegate0")
            tryCompare(control, "value", chooserFixture.folderPath + "/Cues 1")
            tryVerify(() => !list.visible, 2000, "the dialog closes")
        }

        function test_chooseFile() {
            const control = createTemporaryObject(fileInput, root)
            const dialog = findChild(control, "fileDialog")
            dialog.currentFolder = chooserFixture.folderUrl
            mouseClick(findChild(control, "chooseButton"))
            // The folder first, then the file.
            const list = dialogList("fileDialogListView", 2)
            pick(list, "fileDialogDelegate1")
            tryCompare(control, "value", chooserFixture.folderPath + "/thunder #1.wav")
            tryVerify(() => !list.visible, 2000, "the dialog closes")
            // The next opening starts where this file was chosen.
            compare(control.folder, chooserFixture.folderUrl)
        }

        // Opened, the dialog lists the control's folder, not the working one.
        function test_fileDialogStartsInItsFolder() {
            const control = createTemporaryObject(fileInput, root, { folder: chooserFixture.folderUrl })
            mouseClick(findChild(control, "chooseButton"))
            pick(dialogList("fileDialogListView", 2), "fileDialogDelegate1")
            tryCompare(control, "value", chooserFixture.folderPath + "/thunder #1.wav")
        }
    }
}
