import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

// The module's FlatDialogWindow is tested beside the automation tool's.
Item {
    id: page
    width: 800
    height: 600

    Component {
        id: messageBoxComponent
        MessageBox {}
    }

    TarvTestCase {
        name: "MessageBox"

        function test_showsOneLineFromTheTopLeft() {
            const box = createTemporaryObject(messageBoxComponent, page,
                                              { text: "A line wider than the panel, <b>as typed</b>, ".repeat(4) })
            const label = findChild(box, "messageLabel")
            compare([box.width, box.height], [500, 500])
            compare(label.lineCount, 1)
            verify(label.width > 500)
            compare(label.mapToItem(box, 0, 0), Qt.point(0, 0))
            compare(label.textFormat, Text.PlainText)
        }
    }
}
