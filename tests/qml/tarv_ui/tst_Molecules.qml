import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 500
    height: 400

    Component { id: fileInput; FileInputControl { width: 400 } }
    Component { id: directoryInput; DirectoryInputControl { width: 400 } }
    Component { id: textInput; TextInputControl { width: 300 } }
    Component { id: textArea; RecessedTextArea { width: 300; height: 100 } }
    Component { id: spyComponent; SignalSpy {} }
    Component { id: fileDisplay; FileDisplay { width: 300; height: 150 } }
    Component { id: scrollingList; ListView { width: 100; height: 100; model: 2; delegate: Item { height: 20 }
            ScrollBar.vertical: CustomScrollBar {} } }
    FlatButton { id: elsewhere; x: 450; y: 350 }

    TarvTestCase {
        name: "Molecules"

        function spy(target, signalName) {
            return createTemporaryObject(spyComponent, root, { target: target, signalName: signalName })
        }

        function test_urlToPath_data() {
            return [
                { tag: "spaces", url: "file:///tmp/My Show/Cue 1.wav", path: "/tmp/My Show/Cue 1.wav" },
                { tag: "escaped spaces", url: "file:///tmp/My%20Show/Cue%201.wav", path: "/tmp/My Show/Cue 1.wav" },
                { tag: "non-ASCII", url: "file:///tmp/Grüße/Ça va – 音.wav", path: "/tmp/Grüße/Ça va – 音.wav" },
                { tag: "percent and hash", url: "file:///tmp/100%25 mix %231.wav", path: "/tmp/100% mix #1.wav" },
                { tag: "drive letter", url: "file:///C:/Show/Audio", path: "/C:/Show/Audio" },
            ]
        }

        // The dialogs hand over a url, whose text keeps some escapes.
        function test_urlToPath(data) {
            compare(LocalPaths.pathOf(Qt.url(data.url)), data.path)
        }

        // Tests never show a dialog: they report an acceptance of an
        // existing file themselves.
        function test_fileDialogAcceptance() {
            const file = createTemporaryObject(fileInput, root)
            const edits = spy(file, "textChanged")
            file.value = "/tmp/set by the window.wav"
            compare(edits.count, 0)
            const dialog = findChild(file, "fileDialog")
            dialog.selectedFile = Qt.url("file:///etc/passwd")
            dialog.accepted()
            compare([file.fileUrl, file.value, edits.count], [Qt.url("file:///etc/passwd"), "/etc/passwd", 1])
        }

        function test_editsAreReportedAssignmentsAreNot() {
            for (const component of [directoryInput, textInput]) {
                const control = createTemporaryObject(component, root)
                const edits = spy(control, "textChanged")
                control.value = "/from/the/window"
                compare(edits.count, 0)
                control.field.forceActiveFocus()
                keyClick(Qt.Key_A)
                keyClick(Qt.Key_B)
                compare(control.value, "ab")
                compare(edits.count, 2)
            }
        }

        function test_textAreaReportsTypingOnly() {
            const area = createTemporaryObject(textArea, root)
            const edits = spy(area, "textEdited")
            area.text = "line one"
            elsewhere.forceActiveFocus()
            const finished = spy(area, "editingFinished")
            area.forceActiveFocus()
            keyClick(Qt.Key_X)
            compare(area.text, "x")
            compare(edits.count, 1)
            area.text = "set again"
            compare(edits.count, 1)
            keyClick(Qt.Key_Y)
            compare(edits.count, 2)
            elsewhere.forceActiveFocus()
            compare(finished.count, 1)
            area.editable = false
            area.forceActiveFocus()
            verify(!findChild(area, "textArea").activeFocus)
        }

        // The file list shows its bar only while it has more to show; the
        // windows' own lists keep theirs at all times.
        function test_scrollBarVisibility() {
            const display = createTemporaryObject(fileDisplay, root, { model: ["a.wav", "b.wav"] })
            const bar = findChild(display, "fileScrollBar")
            waitForRendering(display)
            verify(!bar.visible, "a two-row list shows no scroll bar")
            display.model = Array.from({ length: 30 }, (_, i) => "cue " + i + ".wav")
            tryVerify(() => bar.visible, 1000, "a long list shows its scroll bar")
            display.model = ["a.wav"]
            tryVerify(() => !bar.visible, 1000, "the bar goes when the list fits again")
            const list = createTemporaryObject(scrollingList, root)
            waitForRendering(list)
            verify(list.ScrollBar.vertical.visible, "an always-on bar stays when its content fits")
        }
    }
}
