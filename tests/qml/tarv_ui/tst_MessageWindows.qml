import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

// The control library's message box and message panel.
Item {
    id: page
    width: 800
    height: 600

    Component {
        id: dialogComponent
        FlatDialogWindow {
            property int acceptedCount: 0
            property bool visibleWhenAccepted: true
            title: "Cue File"
            text: "Saved."
            onAccepted: {
                acceptedCount++
                visibleWhenAccepted = visible
            }
        }
    }

    Component {
        id: messageBoxComponent
        MessageBox {}
    }

    TarvTestCase {
        id: testCase
        name: "MessageWindows"

        function showActive(window) {
            window.visible = true
            tryVerify(() => window.active && window.activeFocusItem !== null, 2000, "window active")
        }

        function test_typeWords_data() {
            return [
                { tag: "ERROR", type: "ERROR", icon: "qrc:/images/error_icon.svg", tint: "#ff5757" },
                { tag: "Warning", type: "Warning", icon: "qrc:/images/warning_icon.svg", tint: "#ffc400" },
                { tag: "info", type: "info", icon: "qrc:/images/info_icon.svg", tint: "#00aeef" },
                { tag: "unknown", type: "NOTE", icon: "", tint: "#c0c0c0" }
            ]
        }

        function test_typeWords(data) {
            const dialog = createTemporaryObject(dialogComponent, page, { type: data.type })
            const icon = findChild(dialog.contentItem, "icon")
            compare(String(icon.source), data.icon)
            compare(String(findChild(dialog.contentItem, "iconOverlay").color), data.tint)
        }

        function test_sizeIsFixedAndFollowsTheMessage() {
            const dialog = createTemporaryObject(dialogComponent, page)
            const oneLine = dialog.height
            dialog.text = "one\ntwo\nthree <b>four</b>"
            verify(dialog.height > oneLine + 2 * 14, "taller: " + dialog.height + " than " + oneLine)
            compare(findChild(dialog.contentItem, "messageLabel").lineCount, 3)
            compare(findChild(dialog.contentItem, "messageLabel").textFormat, Text.PlainText)
            compare([dialog.width, dialog.minimumWidth, dialog.maximumWidth], [325, 325, 325])
            compare([dialog.minimumHeight, dialog.maximumHeight], [dialog.height, dialog.height])
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
            const dialog = createTemporaryObject(dialogComponent, page)
            showActive(dialog)
            if (data.key === undefined)
                mouseClick(findChild(dialog.contentItem, "okButton"))
            else
                keyClick(data.key)
            compare(dialog.visible, false)
            compare(dialog.acceptedCount, 1)
            compare(dialog.visibleWhenAccepted, false)
        }

        function test_frameCloseHidesWithoutAnswer() {
            const dialog = createTemporaryObject(dialogComponent, page)
            showActive(dialog)
            dialog.close()
            compare(dialog.visible, false)
            compare(dialog.acceptedCount, 0)
        }

        function test_messageBoxShowsOneLineFromTheTopLeft() {
            const box = createTemporaryObject(messageBoxComponent, page,
                                              { text: "A long line that is wider than the panel itself, <b>as typed</b>, ".repeat(3) })
            const label = findChild(box, "messageLabel")
            compare([box.width, box.height], [500, 500])
            compare(label.lineCount, 1)
            verify(label.width > 500)
            compare(label.mapToItem(box, 0, 0), Qt.point(0, 0))
            compare(label.textFormat, Text.PlainText)
        }
    }
}
