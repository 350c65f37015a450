import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 300
    height: 200

    Component {
        id: raisedComponent
        Rectangle {
            property alias bevel: bevel
            width: 100; height: 30; color: "#202020"
            BasicBevel { id: bevel }
        }
    }
    Component {
        id: recessedComponent
        Rectangle {
            property alias bevel: bevel
            width: 100; height: 30; color: "#202020"
            RecessedBevel { id: bevel }
        }
    }
    Component {
        id: customComponent
        Rectangle {
            property alias bevel: bevel
            width: 100; height: 30; color: "#202020"
            CustomBevel { id: bevel }
        }
    }

    TarvTestCase {
        name: "Bevels"

        function line(bevel, name) {
            return findChild(bevel, name)
        }

        function test_raisedEdges_data() {
            return [{ tag: "BasicBevel", component: raisedComponent },
                    { tag: "CustomBevel", component: customComponent }]
        }

        function test_raisedEdges(data) {
            const rect = createTemporaryObject(data.component, page)
            const bevel = rect.bevel
            compare(String(bevel.bevel_dark_color), "#1d1d1d")
            compare(String(bevel.bevel_light_color), "#2a2a2a")
            compare(line(bevel, "rightLine").x, 99)
            compare(line(bevel, "leftLine").x, 0)
            compare(line(bevel, "topLine").y, 0)
            compare(line(bevel, "bottomLine").y, 30, "the bottom line hangs below the rectangle")

            // Only the bottom line takes the bevel's own width.
            bevel.bevel_width = 3
            compare(line(bevel, "bottomLine").height, 3)
            compare(line(bevel, "topLine").height, 1)
            compare(line(bevel, "leftLine").width, 1)

            // The colours follow the parent live.
            rect.color = "#2a2a2a"
            compare(String(bevel.bevel_dark_color), "#262626")
            compare(String(bevel.bevel_light_color), "#373737")

            bevel.hide_left = true
            bevel.hide_top = true
            bevel.hide_bottom = true
            verify(!line(bevel, "leftLine").visible)
            verify(!line(bevel, "topLine").visible)
            verify(!line(bevel, "bottomLine").visible)
            verify(line(bevel, "rightLine").visible)
        }

        function test_recessedEdges() {
            const rect = createTemporaryObject(recessedComponent, page)
            const bevel = rect.bevel
            compare(line(bevel, "leftLine").x, -1)
            compare(line(bevel, "rightLine").x, 100)
            compare(line(bevel, "bottomLine").y, 30)
            compare(line(bevel, "topLine").y, 0)
            compare(line(bevel, "leftLine").color, bevel.bevel_dark_color)
            compare(line(bevel, "rightLine").color, bevel.bevel_light_color)
            // The flags keep the order of the raised bevel's lines.
            bevel.hide_left = true
            verify(!line(bevel, "rightLine").visible)
            bevel.hide_top = true
            verify(!line(bevel, "bottomLine").visible)
            bevel.hide_bottom = true
            verify(!line(bevel, "topLine").visible)
        }

        function test_background() {
            const rect = createTemporaryObject(raisedComponent, page)
            rect.bevel.bgvisible = true
            compare(String(rect.bevel.bgcolor), "#ffffff")
        }

        function test_parentWithoutColour() {
            const bevel = createTemporaryObject(Qt.createComponent("qrc:/qt/qml/com/quillonworks/tarv_ui/qml/BasicBevel.qml"), page)
            verify(bevel !== null)
            compare(bevel.width, page.width)
        }
    }
}
