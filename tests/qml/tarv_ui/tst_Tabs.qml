import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 600
    height: 300

    TarvTheme { id: theme }
    // TabButtom reads its colours by name from the document that declares it.
    property color tab_selected_text_color: theme.tab_selected_text_color
    property color default_text_header_color: "#7f7f80"
    property color default_bg_hover_color: theme.default_bg_hover_color
    property color default_bg_color: theme.default_bg_color
    property color default_bg_unselected_color: theme.default_bg_unselected_color
    property color bevel_dark_color: theme.bevel_dark_color
    property color bevel_light_color: theme.bevel_light_color

    Component {
        id: threeTabs
        CustomTabBar {
            width: 500
            CustomTabButton { text: "Cues" }
            CustomTabButton { text: "Sound Effects" }
            CustomTabButton { text: "Network" }
        }
    }
    Component {
        id: looseTabs
        Row {
            TabButtom {}
            CustomTabButton {}
            ModeTabButton {}
        }
    }
    TextMetrics { id: regular; font: theme.default_font }

    TarvTestCase {
        name: "Tabs"

        function test_noCurrentTabDrawsOneLine() {
            const bar = createTemporaryObject(threeTabs, root)
            const tabs = findChild(bar, "innerTabBar")
            compare([bar.currentIndex, bar.currentTab], [4, null])
            verify(!tabs.itemAt(0).isSelected && !tabs.itemAt(2).isSelected)
            compare(findChild(bar, "leftLine").width, tabs.contentWidth + 1)
            verify(!findChild(bar, "rightLine").visible)
        }

        function test_widthsAndSelection() {
            const bar = createTemporaryObject(threeTabs, root)
            const tabs = findChild(bar, "innerTabBar")
            let x = 0
            for (let i = 0; i < 3; ++i) {
                const tab = tabs.itemAt(i)
                regular.text = tab.text
                compare([tab.x, tab.width], [x, Math.floor(Math.floor(1.2 * regular.advanceWidth) * 1.3)])
                x += tab.width
            }
            const second = tabs.itemAt(1)
            const width = second.width
            mouseClick(second)
            compare(bar.currentIndex, 1)
            verify(second.isSelected && second.font.bold && !tabs.itemAt(0).isSelected)
            compare(second.width, width, "the bold caption keeps the regular width")
            compare(findChild(bar, "leftLine").width, second.x)
            const right = findChild(bar, "rightLine")
            compare(right.x, second.x + second.width)
            compare(right.width, tabs.contentWidth - second.x - second.width + 1)
        }

        function test_tabsOutsideABar() {
            const row = createTemporaryObject(looseTabs, root)
            compare([0, 1, 2].map(i => row.children[i].isSelected), [false, false, false])
            compare(findChild(row.children[0], "tabLabel").color, Qt.color("#7f7f80"))
        }
    }
}
