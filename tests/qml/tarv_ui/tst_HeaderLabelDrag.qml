import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 1400
    height: 200

    // Like the cue table's header: a spacer, then a heading bound to its grip,
    // or of fixed width so that the grip stands where the drag puts it.
    Component {
        id: headerComponent
        Item {
            property bool bound: false
            property alias grip: grip
            Item { id: spacer; width: 20; height: 30 }
            Item { id: heading; x: 23; width: bound ? grip.desiredWidth : 100; height: 30 }
            HeaderLabelDrag { id: grip; controlToLeft: heading; controlToFarLeft: spacer; minWidth: 50; desiredWidth: 100; height: 30 }
        }
    }

    TarvTestCase {
        name: "HeaderLabelDrag"

        function test_clickDoesNotWiden() {
            const header = createTemporaryObject(headerComponent, root, { bound: true })
            compare(header.grip.x, 126)
            for (let i = 0; i < 3; ++i)
                mouseClick(header.grip, 4, 15)
            compare(header.grip.desiredWidth, 100)
            compare(header.grip.x, 126)
        }

        function test_dragValues_data() {
            return [
                { tag: "inside the limits", x: 100, during: 78, released: 78 },
                { tag: "far left", x: 30, during: 50, released: 50 },
                { tag: "far right: no upper limit on release", x: 1122, during: 1024, released: 1100 },
            ]
        }

        function test_dragValues(data) {
            const header = createTemporaryObject(headerComponent, root)
            const grip = header.grip
            const step = data.x > grip.x ? 1 : -1
            let pointer = grip.x + 4
            mousePress(header, pointer, 15)
            for (let i = 0; i < 2000 && grip.x !== data.x; ++i) {
                pointer += step
                mouseMove(header, pointer, 15, -1, Qt.LeftButton)
            }
            compare(grip.x, data.x)
            compare(grip.desiredWidth, data.during)
            mouseRelease(header, pointer, 15)
            compare(grip.desiredWidth, data.released)
        }
    }
}
