import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui 1.0

WindowTestCase {
    id: testCase
    name: "FlatDialogWindow"

    Component {
        id: dialogComponent
        FlatDialogWindow {
            property int acceptedCount: 0
            property bool visibleWhenAccepted: true
            onAccepted: {
                acceptedCount++
                visibleWhenAccepted = visible
            }
        }
    }

    function createDialog() {
        return createTemporaryObject(dialogComponent, testCase,
                                     { title: "Cue File", text: "Saved.", type: "INFO" })
    }

    function test_typeWords_data() { return dialogTypeRows() }

    function test_typeWords(data) {
        checkDialogType(createDialog(), data)
    }

    function test_heightFollowsTheMessage() {
        const dialog = createDialog()
        const oneLine = dialog.height
        dialog.text = "A message long enough to wrap over several lines of a window that is "
                + "only three hundred and twenty-five pixels wide.\nAnd a line of its own."
        verify(dialog.height > oneLine + 2 * 14, "taller: " + dialog.height + " than " + oneLine)
        compare(dialog.width, 325)
    }

    function test_textIsShownLiterally() {
        const dialog = createDialog()
        dialog.text = "<b>bold</b>\nsecond line"
        const label = findChild(dialog.contentItem, "messageLabel")
        compare(label.textFormat, Text.PlainText)
        compare(label.lineCount, 2)
        compare(findChild(dialog.contentItem, "titleLabel").textFormat, Text.PlainText)
    }

    function test_everyAnswerIsOk_data() {
        return [
            { tag: "Return", key: Qt.Key_Return },
            { tag: "Enter", key: Qt.Key_Enter },
            { tag: "Escape", key: Qt.Key_Escape },
            { tag: "OK button" }
        ]
    }

    function test_everyAnswerIsOk(data) {
        const dialog = createDialog()
        showActive(dialog)
        if (data.key === undefined)
            mouseClick(findChild(dialog.contentItem, "okButton"))
        else
            keyClick(data.key)
        compare(dialog.visible, false)
        compare(dialog.acceptedCount, 1)
        compare(dialog.visibleWhenAccepted, false)
        keyClick(Qt.Key_Return)
        compare(dialog.acceptedCount, 1)
    }

    function test_frameCloseHidesWithoutAnswer() {
        const dialog = createDialog()
        showActive(dialog)
        dialog.close()
        compare(dialog.visible, false)
        compare(dialog.acceptedCount, 0)
    }
}
