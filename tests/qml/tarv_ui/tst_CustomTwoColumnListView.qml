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
                ListElement { first: "Projector"; second: "10.0.0.30:9000" }
            }
        }
    }

    TarvTestCase {
        name: "CustomTwoColumnListView"

        function test_keysFromNoCurrentRow() {
            const list = createTemporaryObject(listComponent, root, { currentIndex: -1 })
            list.forceActiveFocus()
            const steps = [[Qt.Key_Up, -1], [Qt.Key_Down, 0], [Qt.Key_Up, 0], [Qt.Key_Down, 1], [Qt.Key_Down, 2], [Qt.Key_Down, 2]]
            for (const [key, expected] of steps) {
                keyClick(key)
                compare(list.currentIndex, expected)
            }
            // The highlight stays in place when the current row goes away.
            list.currentIndex = -1
            wait(300)
        }

        function test_clickSelectsAndFocuses() {
            const list = createTemporaryObject(listComponent, root, { currentIndex: -1 })
            mouseClick(list, 100, 45)
            compare(list.currentIndex, 1)
            verify(list.activeFocus && findChild(list, "focusFrame").visible)
            mouseClick(list, 100, 15, Qt.RightButton)
            compare(list.currentIndex, 1)
        }
    }
}
