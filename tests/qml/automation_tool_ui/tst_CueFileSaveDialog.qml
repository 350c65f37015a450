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

    // An empty folder of the test's own: no file there is asked about.
    function emptyFolder() {
        return String(saveFolderFixture.folderUrl) + "/Act 2"
    }

    function openDialog() {
        const dialog = createTemporaryObject(dialogComponent, testCase)
        dialog.openIn(emptyFolder(), "")
        tryVerify(() => dialog.active && dialog.activeFocusItem !== null, 2000, "dialog active")
        return dialog
    }

    // Save looks at the name away from the window: its answer is in.
    function looked(dialog) {
        tryVerify(() => dialog.checking === "", 5000, "the name was looked at")
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
            { tag: "plain", name: "Show", url: emptyFolder() + "/Show.tarvcue", click: true },
            { tag: "by Return", name: "Show", url: emptyFolder() + "/Show.tarvcue", click: false },
            { tag: "with the suffix", name: "Show.TarvCue", url: emptyFolder() + "/Show.TarvCue",
              click: true },
            { tag: "other suffix", name: "Show.v2", url: emptyFolder() + "/Show.v2.tarvcue",
              click: true },
            { tag: "URL syntax", name: "Act #1 at 100%?",
              url: emptyFolder() + "/Act %231 at 100%25%3F.tarvcue", click: true },
            { tag: "below the folder", name: "shows/Show",
              url: emptyFolder() + "/shows/Show.tarvcue", click: false },
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
        tryCompare(dialog, "answers", [data.url])
        verify(!dialog.visible)
    }

    // The list's entry for a name, once the folder is listed and drawn. A
    // folder may be listed more than once as the list's filters and order
    // are set, each listing replacing the entries: a click on an entry of
    // an earlier one misses. The entry is taken once it outlasts a frame.
    function entry(dialog, text) {
        const list = findChild(dialog.contentItem, "entries")
        const lookUp = () => {
            for (let i = 0; i < list.count; ++i) {
                const item = list.itemAtIndex(i)
                if (item && item.children[0].text === text)
                    return item
            }
            return null
        }
        for (let listing = 0; listing < 20; ++listing) {
            tryVerify(() => lookUp() !== null,
                      30000, "the folder lists " + text)
            const found = lookUp()
            waitForRendering(list, 500)
            if (lookUp() === found)
                return found
        }
        fail("the folder's listing of " + text + " kept changing")
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
        entry(dialog, "Existing.tarvcue") // listed again before it is clicked

        const save = findChild(dialog.contentItem, "saveButton")
        const question = findChild(dialog.contentItem, "notice")
        for (const second of ["the same", "another"]) {
            dialog.openIn(saveFolderFixture.folderUrl, "")
            tryVerify(() => dialog.active, 2000, "dialog active")
            mouseClick(entry(dialog, "Existing.tarvcue"))
            compare(dialog.fileName, "Existing.tarvcue")
            mouseClick(save)
            looked(dialog)
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
            tryVerify(() => !dialog.visible, 5000, second + " name")
            compare(dialog.answers, [folder + (second === "another" ? "/Other.tarvcue"
                                                                    : "/Existing.tarvcue")])
            dialog.answers = []
        }
    }

    // A click on Up leaves the keys where they were: typed letters go to
    // the name, and Space and Return press Up no more.
    function test_upLeavesTheKeysInTheName() {
        const dialog = openDialog()
        const up = findChild(dialog.contentItem, "upButton")
        tryVerify(() => up.enabled)
        mouseClick(up)
        tryCompare(dialog, "folder", saveFolderFixture.folderUrl)
        typeText("Act 3 Finale")
        compare(dialog.fileName, "Act 3 Finale")
        compare(dialog.folder, saveFolderFixture.folderUrl, "Space pressed Up again")
        keyClick(Qt.Key_Return)
        tryCompare(dialog, "answers", [String(saveFolderFixture.folderUrl) + "/Act 3 Finale.tarvcue"])
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

    function fixtureFolder() {
        return String(saveFolderFixture.folderUrl)
    }

    function fixturePath() {
        return fixtureFolder().replace(/^file:\/\//, "")
    }

    function openInFixture(name) {
        const dialog = createTemporaryObject(dialogComponent, testCase)
        dialog.openIn(saveFolderFixture.folderUrl, name)
        tryVerify(() => dialog.active && dialog.activeFocusItem !== null, 2000, "dialog active")
        return dialog
    }

    // Moves the focus by Tab, as an operator does, to the named control.
    function tabTo(dialog, objectName) {
        const target = findChild(dialog.contentItem, objectName)
        for (let i = 0; i < 10 && !target.activeFocus; ++i)
            keyClick(Qt.Key_Tab)
        verify(target.activeFocus, objectName + " has the keys")
    }

    // Return, Enter and Space act on the button that has the focus; Escape
    // cancels from anywhere; Return in the name field saves.
    function test_keysActOnTheFocusedControl_data() {
        const cancelled = ["rejected"]
        const saved = [emptyFolder() + "/Show.tarvcue"]
        return [
            { tag: "Return on Cancel", focus: "cancelButton", key: Qt.Key_Return,
              answers: cancelled },
            { tag: "Enter on Cancel", focus: "cancelButton", key: Qt.Key_Enter,
              answers: cancelled },
            { tag: "Space on Cancel", focus: "cancelButton", key: Qt.Key_Space,
              answers: cancelled },
            { tag: "Return on Save", focus: "saveButton", key: Qt.Key_Return, answers: saved },
            { tag: "Space on Save", focus: "saveButton", key: Qt.Key_Space, answers: saved },
            { tag: "Escape on Save", focus: "saveButton", key: Qt.Key_Escape, answers: cancelled },
            { tag: "Return in the name", focus: "", key: Qt.Key_Return, answers: saved },
            { tag: "Return on Up", focus: "upButton", key: Qt.Key_Return, answers: [],
              folder: saveFolderFixture.folderUrl },
            { tag: "Space on New Folder", focus: "newFolderButton", key: Qt.Key_Space,
              answers: [], making: true },
            { tag: "Return on New Folder", focus: "newFolderButton", key: Qt.Key_Return,
              answers: [], making: true }
        ]
    }

    function test_keysActOnTheFocusedControl(data) {
        const dialog = openDialog()
        typeText("Show")
        if (data.focus !== "")
            tabTo(dialog, data.focus)
        else
            verify(findChild(dialog.contentItem, "nameField").field.activeFocus)
        keyClick(data.key)
        looked(dialog)
        compare(dialog.answers, data.answers)
        compare(dialog.visible, data.answers.length === 0)
        if (data.folder)
            tryCompare(dialog, "folder", data.folder)
        const maker = findChild(dialog.contentItem, "folderNameField")
        compare(maker.visible, !!data.making)
        if (data.making) {
            tryVerify(() => maker.field.activeFocus, 2000, "the new folder's name has the keys")
            keyClick(Qt.Key_Escape)
            verify(!maker.visible && dialog.visible, "Escape leaves the new folder only")
            compare(dialog.fileName, "Show")
        }
    }

    // Cue files are listed and asked about whatever the case of their
    // suffix, and so is a file named by a path.
    function test_anyExistingCueFileIsAskedAbout_data() {
        return [
            { tag: "capitals, clicked", click: "Plain.TARVCUE", file: "/Plain.TARVCUE" },
            { tag: "capitals, typed", name: "Plain.TARVCUE", file: "/Plain.TARVCUE" },
            { tag: "by a path", name: "Act 2/../Existing", file: "/Existing.tarvcue" }
        ]
    }

    function test_anyExistingCueFileIsAskedAbout(data) {
        const dialog = openInFixture("")
        if (data.click) {
            mouseClick(entry(dialog, data.click))
            compare(dialog.fileName, data.click)
        } else {
            typeText(data.name)
        }
        keyClick(Qt.Key_Return)
        looked(dialog)
        verify(dialog.visible)
        verify(findChild(dialog.contentItem, "notice").visible)
        compare(dialog.answers, [])
        keyClick(Qt.Key_Return)
        compare(dialog.answers, [fixtureFolder() + data.file])
    }

    // Names the file system cannot hold are refused with the reason; the
    // longest it holds is saved.
    function test_namesBeyond255BytesAreRefused() {
        const dialog = openDialog()
        const notice = findChild(dialog.contentItem, "notice")
        for (const name of ["n".repeat(248), "\u00e9".repeat(124), "n".repeat(300) + "/Show"]) {
            dialog.fileName = name
            keyClick(Qt.Key_Return)
            verify(dialog.visible, name.length + " characters")
            verify(notice.visible && /255 bytes/.test(notice.text), notice.text)
        }
        dialog.fileName = "n".repeat(247)
        verify(!notice.visible, "a new name clears the refusal")
        keyClick(Qt.Key_Return)
        looked(dialog)
        compare(dialog.answers, [emptyFolder() + "/" + "n".repeat(247) + ".tarvcue"])
    }

    // A name that names a folder opens it, and nothing is saved.
    function test_folderNamesOpenTheFolder_data() {
        return [
            { tag: "with a slash", name: "Act 2/" },
            { tag: "without", name: "Act 2" },
            { tag: "absolute", name: "<fixture>/Act 2/" },
            { tag: "parent", name: "Act 2/..", folder: "" }
        ]
    }

    function test_folderNamesOpenTheFolder(data) {
        const dialog = openInFixture("")
        typeText(data.name.replace("<fixture>", fixturePath()))
        keyClick(Qt.Key_Return)
        looked(dialog)
        verify(dialog.visible)
        compare(dialog.answers, [])
        const folder = fixtureFolder() + (data.folder !== undefined ? data.folder : "/Act 2")
        tryVerify(() => String(dialog.folder).replace(/\/$/, "") === folder, 2000,
                  "opened " + dialog.folder)
        compare(dialog.fileName, "")
        typeText("Show")
        keyClick(Qt.Key_Return)
        tryCompare(dialog, "answers", [folder + "/Show.tarvcue"])
    }

    function test_missingFolderIsRefused() {
        const dialog = openInFixture("")
        typeText("Missing/")
        keyClick(Qt.Key_Return)
        looked(dialog)
        verify(dialog.visible)
        compare(dialog.answers, [])
        verify(/Missing/.test(findChild(dialog.contentItem, "notice").text))
    }

    // The label names the folder listed, however it was reached, also when
    // the dialog is opened on one folder while it still lists another.
    function test_labelNamesTheFolderListed() {
        const dialog = createTemporaryObject(dialogComponent, testCase,
                                             { folder: "file:///tmp" })
        const label = findChild(dialog.contentItem, "folderLabel")
        for (const settled of [false, true]) {
            if (settled)
                tryCompare(label, "text", "/tmp")
            dialog.openIn(saveFolderFixture.folderUrl, "Existing.tarvcue")
            entry(dialog, "Existing.tarvcue")
            tryCompare(label, "text", fixturePath())
            dialog.close()
            dialog.folder = "file:///tmp"
        }
        dialog.openIn(saveFolderFixture.folderUrl, "")
        mouseClick(entry(dialog, "Act 2/"))
        tryCompare(label, "text", fixturePath() + "/Act 2")
        mouseClick(findChild(dialog.contentItem, "upButton"))
        tryCompare(label, "text", fixturePath())
    }

    // Opened on a show's name, typing replaces the name and keeps its
    // suffix, at each opening.
    function test_typingReplacesTheShowsName() {
        const dialog = createTemporaryObject(dialogComponent, testCase)
        for (const round of ["first", "second"]) {
            dialog.openIn(saveFolderFixture.folderUrl, "Opening night.tarvcue")
            tryVerify(() => dialog.active && dialog.activeFocusItem !== null, 2000, round)
            typeText("Premiere")
            compare(dialog.fileName, "Premiere.tarvcue", round + " opening")
            keyClick(Qt.Key_Escape)
        }
    }

    // A new folder is made in the folder listed and opened, with the file
    // name kept; what cannot be made is refused with the reason.
    function test_newFolder() {
        const dialog = openInFixture("Show")
        const notice = findChild(dialog.contentItem, "notice")
        const maker = findChild(dialog.contentItem, "folderNameField")
        mouseClick(findChild(dialog.contentItem, "newFolderButton"))
        tryVerify(() => maker.field.activeFocus, 2000, "the new folder's name has the keys")
        const refusals = [["Act 2", /exists already/], ["Existing.tarvcue", /exists already/],
                          ["a/b", /"\/"/], ["..", /cannot name a folder/],
                          ["n".repeat(256), /255 bytes/]]
        for (const [name, reason] of refusals) {
            maker.text = name
            keyClick(Qt.Key_Return)
            tryVerify(() => reason.test(notice.text), 5000, name + ": " + notice.text)
            verify(maker.visible, name)
        }
        maker.text = "Act 3"
        mouseClick(findChild(dialog.contentItem, "makeFolderButton"))
        tryCompare(dialog, "folder", Qt.resolvedUrl(fixtureFolder() + "/Act 3"))
        verify(!maker.visible && !notice.visible)
        compare(dialog.fileName, "Show")
        tryVerify(() => dialog.activeFocusItem && dialog.activeFocusItem.objectName === "",
                  2000, "the name field has the keys again")
        keyClick(Qt.Key_Return)
        tryCompare(dialog, "answers", [fixtureFolder() + "/Act 3/Show.tarvcue"])

        // Where the operator may not write (even root may not write in
        // /sys), the reason is the system's.
        if (!saveFolderFixture.isFolder("file:///sys/kernel"))
            return
        const denied = openDialog()
        denied.folder = "file:///sys/kernel"
        mouseClick(findChild(denied.contentItem, "newFolderButton"))
        const deniedMaker = findChild(denied.contentItem, "folderNameField")
        deniedMaker.text = "Show"
        keyClick(Qt.Key_Return)
        tryVerify(() => /could not be made: Operation not permitted/.test(
                      findChild(denied.contentItem, "notice").text))
    }

    // The list is browsed by keys too: Down moves, Return or Space opens a
    // folder or takes a file's name for the name field. A file's size and
    // date stand beside its name.
    function test_listByKeys() {
        const dialog = openInFixture("")
        const existing = entry(dialog, "Existing.tarvcue")
        verify(findChild(existing, "entrySize").text !== "")
        verify(findChild(existing, "entryModified").text !== "")
        tabTo(dialog, "entries")
        const list = findChild(dialog.contentItem, "entries")
        const current = () => list.currentItem.children[0].text
        while (current() !== "Existing.tarvcue" && list.currentIndex < list.count - 1)
            keyClick(Qt.Key_Down)
        keyClick(Qt.Key_Space)
        compare(dialog.fileName, "Existing.tarvcue")
        compare(dialog.answers, [])
        tabTo(dialog, "entries")
        while (current() !== "Act 2/" && list.currentIndex > 0)
            keyClick(Qt.Key_Up)
        keyClick(Qt.Key_Return)
        tryCompare(dialog, "folder", Qt.resolvedUrl(fixtureFolder() + "/Act 2"))
        compare(dialog.answers, [])
        verify(dialog.visible)
    }

    // End, Home and a name's first letters move in the list as in the
    // choosers; Return still takes the name selected.
    function test_listMovesAsTheChoosers() {
        const dialog = openInFixture("")
        entry(dialog, "Existing.tarvcue")
        tabTo(dialog, "entries")
        const list = findChild(dialog.contentItem, "entries")
        keyClick(Qt.Key_End)
        compare(list.currentIndex, list.count - 1)
        keyClick(Qt.Key_Home)
        compare(list.currentIndex, 0)
        keyClick("p")
        keyClick(Qt.Key_Return)
        compare(dialog.fileName, "Plain.TARVCUE")
        compare(dialog.answers, [])
    }

    // A show saved into the folder listed leaves the selection where it was,
    // also for a Return pressed before the list is next drawn.
    function test_selectionKeptWhenTheFolderChanges() {
        const dialog = createTemporaryObject(dialogComponent, testCase)
        dialog.openIn(saveFolderFixture.changingFolderUrl, "")
        tryVerify(() => dialog.active, 2000, "dialog active")
        entry(dialog, "Tour.tarvcue")
        tabTo(dialog, "entries")
        const list = findChild(dialog.contentItem, "entries")
        keyClick(Qt.Key_End)
        saveFolderFixture.addChangingShow("Act 1.tarvcue")
        const since = Date.now()
        while (list.model.count !== 3 && Date.now() - since < 5000)
            wait(0)
        keyClick(Qt.Key_Return)
        compare(dialog.fileName, "Tour.tarvcue")
    }

    // Folders whose names a URL would misread are listed, labelled, entered
    // and saved into as any other.
    function test_oddlyNamedFolders() {
        for (const path of saveFolderFixture.oddFolderPaths) {
            const dialog = createTemporaryObject(dialogComponent, testCase)
            dialog.openIn(saveFolderFixture.oddParentUrl, "")
            tryVerify(() => dialog.active, 2000, "dialog active")
            mouseClick(entry(dialog, path.substring(path.lastIndexOf("/") + 1) + "/"))
            tryCompare(dialog, "folder", saveFolderFixture.urlOf(path))
            compare(findChild(dialog.contentItem, "folderLabel").text, path)
            entry(dialog, "Winter Tale.TARVCUE")
            typeText("New")
            keyClick(Qt.Key_Return)
            tryCompare(dialog, "answers", [String(saveFolderFixture.urlOf(path + "/New.tarvcue"))])
        }
    }

    // A show saved under a name that starts with "." is listed.
    function test_hiddenShowsAreListed() {
        const dialog = createTemporaryObject(dialogComponent, testCase)
        dialog.openIn(saveFolderFixture.urlOf(saveFolderFixture.oddFolderPaths[0]), "")
        tryVerify(() => dialog.active, 2000, "dialog active")
        entry(dialog, ".hidden.tarvcue")
    }

    // A listed show retyped without its suffix, and a link to a show not
    // saved yet, are existing entries: asked about, then saved to.
    function test_existingEntriesAreAskedAbout_data() {
        return [
            { tag: "retyped show", name: "Winter Tale", file: "/Winter Tale.TARVCUE" },
            { tag: "dangling link", name: "Lost", file: "/Lost.tarvcue" }
        ]
    }

    function test_existingEntriesAreAskedAbout(data) {
        const folder = saveFolderFixture.oddFolderPaths[0]
        const dialog = createTemporaryObject(dialogComponent, testCase)
        dialog.openIn(saveFolderFixture.urlOf(folder), "")
        tryVerify(() => dialog.active && dialog.activeFocusItem !== null, 2000, "dialog active")
        typeText(data.name)
        keyClick(Qt.Key_Return)
        looked(dialog)
        verify(dialog.visible, "asked first")
        verify(findChild(dialog.contentItem, "notice").visible)
        compare(dialog.answers, [])
        keyClick(Qt.Key_Return)
        compare(dialog.answers, [String(saveFolderFixture.urlOf(folder + data.file))])
    }

    // Return in the name field saves, even with a new folder's name typed.
    function test_returnActsOnTheFieldWithTheKeys() {
        const dialog = openDialog()
        mouseClick(findChild(dialog.contentItem, "newFolderButton"))
        typeText("Halfway")
        mouseClick(findChild(dialog.contentItem, "nameField"))
        typeText("Show")
        keyClick(Qt.Key_Return)
        tryCompare(dialog, "answers", [emptyFolder() + "/Show.tarvcue"])
        verify(!saveFolderFixture.exists(emptyFolder() + "/Halfway"))
    }
}
