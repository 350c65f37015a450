import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 300
    height: 200

    Component {
        id: raised
        Rectangle { width: 100; height: 30; color: "#202020"; BasicBevel {} }
    }
    Component {
        id: custom
        Rectangle { width: 100; height: 30; color: "#202020"; CustomBevel {} }
    }
    Component {
        id: recessed
        Rectangle { width: 100; height: 30; color: "#202020"; RecessedBevel {} }
    }

    TarvTestCase {
        name: "Bevels"

        function test_raisedEdges_data() {
            return [{ tag: "BasicBevel", component: raised }, { tag: "CustomBevel", component: custom }]
        }

        function test_raisedEdges(data) {
            const rect = createTemporaryObject(data.component, page)
            const bevel = rect.children[0]
            compare([String(bevel.bevel_dark_color), String(bevel.bevel_light_color)], ["#1d1d1d", "#2a2a2a"])
            compare(findChild(bevel, "rightLine").x, 99)
            compare(findChild(bevel, "bottomLine").y, 30, "the bottom line hangs below the rectangle")
            // Only the bottom line takes the bevel's own width.
            bevel.bevel_width = 3
            compare(findChild(bevel, "bottomLine").height, 3)
            compare(findChild(bevel, "topLine").height, 1)
            // The colours follow the parent live.
            rect.color = "#2a2a2a"
            compare([String(bevel.bevel_dark_color), String(bevel.bevel_light_color)], ["#262626", "#373737"])
        }

        function test_recessedEdges() {
            const bevel = createTemporaryObject(recessed, page).children[0]
            compare(findChild(bevel, "leftLine").x, -1)
            compare(findChild(bevel, "rightLine").x, 100)
            compare(findChild(bevel, "topLine").y, 0)
            compare(findChild(bevel, "leftLine").color, bevel.bevel_dark_color)
            // The flags keep the order of the raised bevel's lines.
            bevel.hide_left = true
            bevel.hide_top = true
            bevel.hide_bottom = true
            compare([findChild(bevel, "rightLine").visible, findChild(bevel, "bottomLine").visible,
                     findChild(bevel, "topLine").visible, findChild(bevel, "leftLine").visible],
                    [false, false, false, true])
        }
    }
}
