import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    TarvTheme { id: theme }
    Component { id: labelComponent; EventIdLabel {} }
    // Reads the clipboard back through an ordinary paste.
    TextEdit { id: clipboardReader }

    TarvTestCase {
        name: "EventIdLabel"

        function test_showsAndCopiesTheId_data() {
            return [{ tag: "event id", value: "sfx.3", shown: "sfx.3" }, { tag: "empty", value: "", shown: "(none)" }]
        }

        function test_showsAndCopiesTheId(data) {
            const label = createTemporaryObject(labelComponent, root, { value: data.value, text: "Instance:" })
            const id = findChild(label, "mainLabel")
            compare(id.text, data.shown)
            mouseClick(id)
            clipboardReader.text = ""
            clipboardReader.paste()
            compare(clipboardReader.text, data.shown)
        }

        function test_copiedNoticeTiming() {
            const label = createTemporaryObject(labelComponent, root, { value: "sfx.12" })
            const id = findChild(label, "mainLabel")
            const notice = findChild(label, "copiedNotice")
            verify(!notice.visible)
            mouseClick(id)
            verify(notice.visible)
            wait(600)
            if (!notice.visible)
                skip("the machine was too busy to click again within the notice's second")
            // A second click does not restart the timer: the notice goes
            // before a second from it, however late a busy machine is.
            const second = Date.now()
            mouseClick(id)
            tryVerify(() => !notice.visible, 5000)
            verify(Date.now() - second < 1000)
            const third = Date.now()
            mouseClick(id)
            wait(700)
            verify(notice.visible || Date.now() - third >= 1000)
            tryVerify(() => !notice.visible, 5000)
        }
    }
}
