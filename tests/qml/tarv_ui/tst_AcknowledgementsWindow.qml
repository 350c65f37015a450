import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: page
    width: 400
    height: 300

    Component { id: windowComponent; AcknowledgementsWindow {} }

    TarvTestCase {
        name: "AcknowledgementsWindow"

        readonly property string longLine: "Permission is hereby granted, free of charge, to any person. ".repeat(12)

        function openWindow(text) {
            const window = createTemporaryObject(windowComponent, page, { acknowledgementText: text })
            window.requestActivate()
            tryCompare(window, "active", true)
            return { window: window, text: findChild(window.contentItem, "licenceText"),
                     view: findChild(window.contentItem, "licenceFlickable"),
                     scrollBar: findChild(window.contentItem, "licenceScrollBar") }
        }

        function test_shortTextStillShowsTheScrollBar() {
            const shown = openWindow("RapidJSON\n\nShort.")
            compare(shown.text.text, "RapidJSON\n\nShort.")
            verify(shown.scrollBar.visible)
            verify(shown.scrollBar.width > 0)
        }

        function test_longLinesWrapAndRewrap() {
            const shown = openWindow(longLine)
            tryVerify(() => shown.text.lineCount > 1)
            const narrowLines = shown.text.lineCount
            shown.window.width = 1200
            tryVerify(() => shown.text.lineCount < narrowLines)
            verify(shown.text.contentWidth <= shown.text.width)
        }

        function test_textSelectsButDoesNotEdit() {
            const text = Array.from({ length: 80 }, (_, i) => "Line " + i + " of the licence").join("\n")
            const shown = openWindow(text)
            mouseClick(shown.text, 40, 10)
            keyClick(Qt.Key_X)
            keyClick(Qt.Key_Delete)
            keyClick(Qt.Key_Backspace)
            compare(shown.text.text, text)
            // A drag selects instead of moving the view.
            mouseDrag(shown.text, 10, 60, 150, 0)
            verify(shown.text.selectedText.length > 0)
            compare(shown.view.contentY, 0)
            // The wheel scrolls all the same.
            mouseWheel(shown.view, 50, 50, 0, -120)
            tryVerify(() => shown.view.contentY > 0)
        }

        function test_closeHides() {
            const shown = openWindow("Text")
            mouseClick(findChild(shown.window.contentItem, "closeButton"))
            compare(shown.window.visible, false)
        }
    }
}
