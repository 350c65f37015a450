import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 600
    height: 300

    // TabButtom reads these by name from the document that declares it.
    TarvTheme { id: theme }
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
        id: fiveTabs
        CustomTabBar {
            width: 500
            Repeater {
                model: 5
                CustomTabButton { text: "Tab " + index }
            }
        }
    }
    Component {
        id: modeTabs
        TabBar {
            ModeTabButton { text: "Show" }
            ModeTabButton { text: "SFX"; enabled: false }
        }
    }
    Component {
        id: looseTabs
        Row {
            TabButtom { text: "Loose" }
            CustomTabButton { text: "Loose" }
            ModeTabButton { text: "Loose" }
        }
    }
    TextMetrics {
        id: regular
        font: theme.default_font
    }

    TarvTestCase {
        name: "Tabs"

        function init() {
            failOnWarning(/.*/)
        }

        function inner(bar) {
            return findChild(bar, "innerTabBar")
        }

        function test_noCurrentTabDrawsOneLine() {
            const bar = createTemporaryObject(threeTabs, root)
            const tabs = inner(bar)
            compare(bar.currentIndex, 4)
            compare(bar.currentTab, null)
            for (let i = 0; i < 3; ++i)
                verify(!tabs.itemAt(i).isSelected)
            compare(findChild(bar, "leftLine").width, tabs.contentWidth + 1)
            verify(!findChild(bar, "rightLine").visible)
        }

        function test_clickSelectsAndOpensTheLine() {
            const bar = createTemporaryObject(threeTabs, root)
            const tabs = inner(bar)
            const second = tabs.itemAt(1)
            const width = second.width
            mouseClick(second)
            compare(bar.currentIndex, 1)
            verify(second.isSelected && !tabs.itemAt(0).isSelected)
            verify(second.font.bold)
            compare(second.width, width)
            compare(findChild(bar, "leftLine").width, second.x)
            const right = findChild(bar, "rightLine")
            verify(right.visible)
            compare(right.x, second.x + second.width)
            compare(right.width, tabs.contentWidth - second.x - second.width + 1)
        }

        function test_widthsFollowTheRegularFont() {
            const bar = createTemporaryObject(threeTabs, root)
            const tabs = inner(bar)
            let x = 0
            for (let i = 0; i < 3; ++i) {
                const tab = tabs.itemAt(i)
                regular.text = tab.text
                compare(tab.width, Math.floor(Math.floor(1.2 * regular.advanceWidth) * 1.3))
                compare(tab.x, x)
                x += tab.width
            }
        }

        function test_fiveTabsStartOnTheFifth() {
            const bar = createTemporaryObject(fiveTabs, root)
            const tabs = inner(bar)
            compare(tabs.count, 5)
            verify(tabs.itemAt(4).isSelected)
            compare(bar.currentTab, tabs.itemAt(4))
        }

        function test_modeTabs() {
            const bar = createTemporaryObject(modeTabs, root)
            const show = bar.itemAt(0)
            const sfx = bar.itemAt(1)
            compare(show.implicitHeight, 35)
            compare(show.width, show.implicitWidth * 1.2)
            verify(findChild(show, "selectionBar").visible)
            verify(!findChild(sfx, "selectionBar").visible)
            compare(sfx.contentItem.color, Qt.color("gray"))
        }

        function test_tabsOutsideABar() {
            const row = createTemporaryObject(looseTabs, root)
            for (let i = 0; i < 3; ++i)
                verify(!row.children[i].isSelected)
            compare(findChild(row.children[0], "tabLabel").color, Qt.color("#7f7f80"))
        }
    }
}
