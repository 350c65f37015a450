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

        function openWindow(text) {
            const window = createTemporaryObject(windowComponent, page, { acknowledgementText: text })
            window.requestActivate()
            tryCompare(window, "active", true)
            return { window: window, text: findChild(window.contentItem, "licenceText"),
                     view: findChild(window.contentItem, "licenceFlickable") }
        }

        function test_longLinesWrapAndRewrap() {
            const shown = openWindow("Permission is hereby granted, free of charge, to any person. ".repeat(12))
            verify(findChild(shown.window.contentItem, "licenceScrollBar").visible)
            tryVerify(() => shown.text.lineCount > 1)
            const narrowLines = shown.text.lineCount
            shown.window.width = 1200
            tryVerify(() => shown.text.lineCount < narrowLines)
        }

        function test_textSelectsButDoesNotEdit() {
            const text = Array.from({ length: 80 }, (_, i) => "Line " + i + " of the licence").join("\n")
            const shown = openWindow(text)
            mouseClick(shown.text, 40, 10)
            for (const key of [Qt.Key_X, Qt.Key_Delete, Qt.Key_Backspace])
                keyClick(key)
            compare(shown.text.text, text)
            // A drag selects instead of moving the view; the wheel scrolls.
            mouseDrag(shown.text, 10, 60, 150, 0)
            verify(shown.text.selectedText.length > 0)
            compare(shown.view.contentY, 0)
            mouseWheel(shown.view, 50, 50, 0, -120)
            tryVerify(() => shown.view.contentY > 0)
            mouseClick(findChild(shown.window.contentItem, "closeButton"))
            compare(shown.window.visible, false)
        }
    }
}
