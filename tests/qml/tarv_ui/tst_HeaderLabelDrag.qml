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
                // The main window binds each heading's width to its grip.
                { tag: "bound heading", x: 100, during: 78, released: 78, bound: true },
                { tag: "bound heading, far left", x: 30, during: 50, released: 50, bound: true },
            ]
        }

        // Presses the grip and moves the pointer one pixel at a time towards
        // the side of x until done() holds; returns where the pointer is.
        function drag(header, x, done) {
            const step = Math.sign(x - header.grip.x)
            let pointer = header.grip.x + 4
            mousePress(header, pointer, 15)
            for (let i = 0; i < 2000 && !done(pointer); ++i) {
                pointer += step
                mouseMove(header, pointer, 15, -1, Qt.LeftButton)
            }
            return pointer
        }

        // The pointer position that puts a fixed-width heading's grip at x; a
        // bound heading's grip moves once its heading takes the new width,
        // so its drag stops at the same pointer position instead.
        function pointerPuttingGripAt(x) {
            const header = createTemporaryObject(headerComponent, root)
            const pointer = drag(header, x, () => header.grip.x === x)
            mouseRelease(header, pointer, 15)
            header.destroy()
            return pointer
        }

        function test_dragValues(data) {
            const end = pointerPuttingGripAt(data.x)
            const header = createTemporaryObject(headerComponent, root, { bound: !!data.bound })
            drag(header, data.x, pointer => pointer === end)
            compare(header.grip.desiredWidth, data.during)
            mouseRelease(header, end, 15)
            compare(header.grip.desiredWidth, data.released)
        }
    }
}
