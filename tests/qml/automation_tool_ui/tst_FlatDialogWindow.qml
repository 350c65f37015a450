import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui 1.0
import com.quillonworks.tarv_ui 1.0 as Library

// The automation tool's message box and the control library's copy, which
// differs only in keeping a fixed size.
WindowTestCase {
    id: testCase
    name: "FlatDialogWindow"

    Component {
        id: toolDialog
        FlatDialogWindow { title: "Cue File"; text: "Saved." }
    }

    Component {
        id: libraryDialog
        Library.FlatDialogWindow { title: "Cue File"; text: "Saved." }
    }

    // Every row once for each of the two windows.
    function forBothWindows(rows) {
        const result = []
        for (const row of rows) {
            result.push(Object.assign({}, row, { tag: "tool " + row.tag, component: toolDialog }))
            result.push(Object.assign({}, row, { tag: "library " + row.tag, component: libraryDialog,
                                                 fixedSize: true }))
        }
        return result
    }

    // Records each accepted() and whether the window was still shown then.
    function createDialog(component) {
        const dialog = createTemporaryObject(component, testCase)
        const log = { accepted: 0, visibleWhenAccepted: false }
        dialog.accepted.connect(() => {
            log.accepted++
            log.visibleWhenAccepted = dialog.visible
        })
        return { dialog: dialog, log: log }
    }

    function test_typeWords_data() { return forBothWindows(dialogTypeRows()) }

    function test_typeWords(data) {
        checkDialogType(createDialog(data.component).dialog, data)
    }

    function test_heightFollowsTheMessage_data() { return forBothWindows([{ tag: "" }]) }

    function test_heightFollowsTheMessage(data) {
        const dialog = createDialog(data.component).dialog
        const oneLine = dialog.height
        dialog.text = "<b>one</b>\ntwo\nthree"
        verify(dialog.height > oneLine + 2 * 14, "taller: " + dialog.height + " than " + oneLine)
        const label = findChild(dialog.contentItem, "messageLabel")
        compare(label.lineCount, 3)
        compare(label.textFormat, Text.PlainText)
        compare(dialog.width, 325)
        if (data.fixedSize) {
            compare([dialog.minimumWidth, dialog.maximumWidth], [325, 325])
            compare([dialog.minimumHeight, dialog.maximumHeight], [dialog.height, dialog.height])
        }
    }

    function test_everyAnswerIsOk_data() {
        return forBothWindows([
            { tag: "Return", key: Qt.Key_Return },
            { tag: "Enter", key: Qt.Key_Enter },
            { tag: "Escape", key: Qt.Key_Escape },
            { tag: "OK button" },
            { tag: "frame close", close: true }
        ])
    }

    function test_everyAnswerIsOk(data) {
        const created = createDialog(data.component)
        showActive(created.dialog)
        if (data.close)
            created.dialog.close()
        else if (data.key === undefined)
            mouseClick(findChild(created.dialog.contentItem, "okButton"))
        else
            keyClick(data.key)
        compare(created.dialog.visible, false)
        compare(created.log.accepted, data.close ? 0 : 1)
        compare(created.log.visibleWhenAccepted, false)
        keyClick(Qt.Key_Return)
        compare(created.log.accepted, data.close ? 0 : 1)
    }
}
