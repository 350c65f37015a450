import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 800
    height: 600

    Component {
        id: editorComponent
        // Sized by its content, as the sound editors are.
        EditTool {
            property int contentSize: 100
            property int closingCount: 0
            width: contentSize + 50
            height: contentSize + 60
            onWindowClosing: closingCount++
        }
    }

    TarvTestCase {
        name: "EditTool"

        function test_sizeIsFixedAtCompletion() {
            const editor = createTemporaryObject(editorComponent, page)
            compare([editor.minimumWidth, editor.maximumWidth, editor.minimumHeight, editor.maximumHeight],
                    [150, 150, 160, 160])
            editor.contentSize = 300
            compare([editor.maximumWidth, editor.maximumHeight], [150, 160])
        }

        function test_windowClosingOncePerClose() {
            const editor = createTemporaryObject(editorComponent, page)
            editor.visible = true
            editor.close()
            compare(editor.visible, false)
            compare(editor.closingCount, 1)
            // A close of the hidden window and a hide are no closes.
            editor.close()
            editor.visible = true
            editor.visible = false
            compare(editor.closingCount, 1)
            editor.visible = true
            editor.close()
            compare(editor.closingCount, 2)
        }
    }
}
