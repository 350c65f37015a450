import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui 1.0

WindowTestCase {
    id: testCase
    name: "CueFileSaveDialog"

    Component {
        id: dialogComponent
        CueFileSaveDialog {
            property var answers: []
            onAccepted: (fileUrl) => answers = answers.concat([String(fileUrl)])
            onRejected: answers = answers.concat(["rejected"])
        }
    }

    function openDialog() {
        const dialog = createTemporaryObject(dialogComponent, testCase)
        dialog.openIn("file:///tmp", "")
        tryVerify(() => dialog.active && dialog.activeFocusItem !== null, 2000, "dialog active")
        return dialog
    }

    function typeText(text) {
        for (const character of text)
            keyClick(character)
    }

    // What is typed is saved as typed, with the suffix when it lacks it, and
    // nothing in a name is taken for URL syntax. The URLs read as the main
    // window hands them on: as text, where only blanks appear unescaped.
    function test_typedNameSavedAtOnce_data() {
        return [
            { tag: "plain", name: "Show", url: "file:///tmp/Show.tarvcue", click: true },
            { tag: "by Return", name: "Show", url: "file:///tmp/Show.tarvcue", click: false },
            { tag: "with the suffix", name: "Show.TarvCue", url: "file:///tmp/Show.TarvCue",
              click: true },
            { tag: "other suffix", name: "Show.v2", url: "file:///tmp/Show.v2.tarvcue",
              click: true },
            { tag: "URL syntax", name: "Act #1 at 100%?",
              url: "file:///tmp/Act %231 at 100%25%3F.tarvcue", click: true },
            { tag: "below the folder", name: "shows/Show", url: "file:///tmp/shows/Show.tarvcue",
              click: false },
            { tag: "absolute", name: "/srv/shows/Show", url: "file:///srv/shows/Show.tarvcue",
              click: true }
        ]
    }

    function test_typedNameSavedAtOnce(data) {
        const dialog = openDialog()
        const save = findChild(dialog.contentItem, "saveButton")
        compare(save.text, "Save")
        verify(!save.enabled, "no name, no save")
        typeText(data.name)
        verify(save.enabled)
        if (data.click)
            mouseClick(save)
        else
            keyClick(Qt.Key_Return)
        compare(dialog.answers, [data.url])
        verify(!dialog.visible)
    }

    // The list's entry for a name, once the folder is listed and drawn.
    function entry(dialog, text) {
        const list = findChild(dialog.contentItem, "entries")
        let found = null
        tryVerify(() => {
            for (let i = 0; i < list.count; ++i) {
                const item = list.itemAtIndex(i)
                if (item && item.children[0].text === text)
                    found = item
            }
            return found !== null
        }, 5000, "the folder lists " + text)
        return found
    }

    // Folders are entered and left; a listed file is replaced only on the
    // second press, and another name typed after the question saves at once.
    function test_browsingAndReplacing() {
        const dialog = createTemporaryObject(dialogComponent, testCase)
        dialog.openIn(saveFolderFixture.folderUrl, "")
        tryVerify(() => dialog.active, 2000, "dialog active")
        const folder = String(saveFolderFixture.folderUrl)

        mouseClick(entry(dialog, "Act 2/"))
        tryCompare(dialog, "folder", Qt.resolvedUrl(folder + "/Act 2"))
        const up = findChild(dialog.contentItem, "upButton")
        tryVerify(() => up.enabled, 2000, "Up leads out of the subfolder")
        mouseClick(up)
        tryCompare(dialog, "folder", saveFolderFixture.folderUrl)

        const save = findChild(dialog.contentItem, "saveButton")
        const question = findChild(dialog.contentItem, "replaceQuestion")
        for (const second of ["the same", "another"]) {
            dialog.openIn(saveFolderFixture.folderUrl, "")
            tryVerify(() => dialog.active, 2000, "dialog active")
            mouseClick(entry(dialog, "Existing.tarvcue"))
            compare(dialog.fileName, "Existing.tarvcue")
            mouseClick(save)
            verify(dialog.visible)
            verify(question.visible)
            compare(save.text, "Replace")
            compare(dialog.answers, [])
            if (second === "another") {
                keyClick(Qt.Key_A, Qt.ControlModifier)
                typeText("Other")
                verify(!question.visible, "another name")
                compare(save.text, "Save")
            }
            keyClick(Qt.Key_Return)
            verify(!dialog.visible, second + " name")
            compare(dialog.answers, [folder + (second === "another" ? "/Other.tarvcue"
                                                                    : "/Existing.tarvcue")])
            dialog.answers = []
        }
    }

    function test_blankNameOrCancelSavesNothing() {
        let dialog = openDialog()
        typeText("   ")
        keyClick(Qt.Key_Return)
        verify(dialog.visible, "blanks are no name")
        keyClick(Qt.Key_Escape)
        compare(dialog.answers, ["rejected"])

        dialog = openDialog()
        mouseClick(findChild(dialog.contentItem, "cancelButton"))
        compare(dialog.answers, ["rejected"])

        dialog = openDialog()
        dialog.close()
        compare(dialog.answers, ["rejected"])
    }
}
