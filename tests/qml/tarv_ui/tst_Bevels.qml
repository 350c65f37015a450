import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 300
    height: 200

    Component { id: raised; Rectangle { width: 100; height: 30; color: "#202020"; BasicBevel {} } }
    Component { id: custom; Rectangle { width: 100; height: 30; color: "#202020"; CustomBevel {} } }
    Component { id: recessed; Rectangle { width: 100; height: 30; color: "#202020"; RecessedBevel {} } }

    TarvTestCase {
        name: "Bevels"

        function test_raisedFollowsItsParent_data() {
            return [{ tag: "BasicBevel", component: raised }, { tag: "CustomBevel", component: custom }]
        }

        function test_raisedFollowsItsParent(data) {
            const rect = createTemporaryObject(data.component, page)
            const bevel = rect.children[0]
            const colours = () => [String(bevel.bevel_dark_color), String(bevel.bevel_light_color)]
            compare(colours(), ["#1d1d1d", "#2a2a2a"])
            rect.color = "#2a2a2a"
            compare(colours(), ["#262626", "#373737"])
            // Only the bottom line takes the bevel's own width.
            bevel.bevel_width = 3
            compare([findChild(bevel, "bottomLine").height, findChild(bevel, "topLine").height], [3, 1])
        }

        // The recessed bevel's flags keep the order of the raised bevel's lines.
        function test_recessedFlags() {
            const bevel = createTemporaryObject(recessed, page).children[0]
            bevel.hide_left = true
            bevel.hide_top = true
            bevel.hide_bottom = true
            compare(["rightLine", "bottomLine", "topLine", "leftLine"].map(line => findChild(bevel, line).visible),
                    [false, false, false, true])
        }
    }
}
