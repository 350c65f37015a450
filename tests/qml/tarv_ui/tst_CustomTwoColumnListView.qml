import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 300

    TarvTheme { id: theme }

    Component {
        id: listComponent
        CustomTwoColumnListView {
            width: 200
            height: 200
            model: ListModel {
                ListElement { first: "This Device"; second: "127.0.0.1:8000 (udp)" }
                ListElement { first: "Lighting Desk"; second: "10.0.0.20:8000 (udp)" }
                ListElement { first: "A destination whose name is far too long for its column"; second: "10.0.0.30:9000" }
            }
        }
    }

    TarvTestCase {
        name: "CustomTwoColumnListView"

        function test_keysFromNoCurrentRow() {
            const list = createTemporaryObject(listComponent, root, { currentIndex: -1 })
            list.forceActiveFocus()
            keyClick(Qt.Key_Up)
            compare(list.currentIndex, -1)
            keyClick(Qt.Key_Down)
            compare(list.currentIndex, 0)
            keyClick(Qt.Key_Up)
            compare(list.currentIndex, 0)
            for (let i = 0; i < 3; ++i)
                keyClick(Qt.Key_Down)
            compare(list.currentIndex, 2)
            // The highlight stays in place when the current row goes away.
            list.currentIndex = -1
            wait(300)
        }

        function test_clickSelectsAndFocuses() {
            const list = createTemporaryObject(listComponent, root, { currentIndex: -1 })
            mouseClick(list, 100, 45)
            compare(list.currentIndex, 1)
            verify(list.activeFocus && findChild(list, "focusFrame").visible)
            compare(findChild(list.currentItem, "txtPathName").color, Qt.color("white"))
            compare(findChild(list.itemAtIndex(0), "txtPathName").color, theme.default_text_color)
            mouseClick(list, 100, 15, Qt.RightButton)
            compare(list.currentIndex, 1)
        }

        function test_columnsAndBackground() {
            const list = createTemporaryObject(listComponent, root)
            const name = findChild(list.itemAtIndex(2), "txtPathName")
            compare(name.width, 100)
            verify(name.truncated)
            list.width = 300
            compare(name.width, 150)
            compare(findChild(list, "listBackground").height, 90)
            list.model.clear()
            tryCompare(findChild(list, "listBackground"), "height", 0)
        }
    }
}
