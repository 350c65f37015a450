import QtQuick
import QtQuick.Controls
import QtTest
import com.quillonworks.tarv_ui

// This document offers no `theme`: the panel must work without one.
Item {
    id: page
    width: 600
    height: 400

    Component { id: panelComponent; BarAndBeatPanel {} }
    Component {
        id: themedHolder
        Item {
            property alias panel: heldPanel
            TarvTheme { id: theme }
            BarAndBeatPanel { id: heldPanel }
        }
    }
    Label { id: styleLabel }

    TarvTestCase {
        name: "BarAndBeatPanel"

        readonly property var parts: ["inBarLabel", "inBarInput", "outBarLabel", "outBarInput",
                                      "inBeatLabel", "inBeatInput", "outBeatLabel", "outBeatInput",
                                      "inShiftLabel", "inShiftSlider", "outShiftLabel", "outShiftSlider",
                                      "selectAllButton"]

        function bars(count) {
            return Array.from({ length: count }, (_, i) => ({ bar: String(i + 1), beats: i + 1 }))
        }

        function test_visibility_data() {
            const common = ["inBarLabel", "inBarInput", "inBeatLabel", "inBeatInput"]
            const outRows = ["outBarLabel", "outBarInput", "outBeatLabel", "outBeatInput"]
            return [
                { tag: "defaults", flags: {}, shown: common.concat(outRows), first: ["In Bar", "In Beat", "In Shift"] },
                { tag: "position", flags: { hasDuration: false }, shown: common, first: ["Bar", "Beat", "Microshift"] },
                { tag: "position with microshift", flags: { hasDuration: false, hasMicroshift: true },
                  shown: common.concat(["inShiftLabel", "inShiftSlider"]), first: ["Bar", "Beat", "Microshift"] },
                { tag: "range with microshift", flags: { hasMicroshift: true },
                  shown: common.concat(outRows, ["inShiftLabel", "inShiftSlider", "outShiftLabel", "outShiftSlider"]),
                  first: ["In Bar", "In Beat", "In Shift"] },
                { tag: "select all", flags: { showSelectAll: true }, shown: common.concat(outRows, ["selectAllButton"]),
                  first: ["In Bar", "In Beat", "In Shift"] },
            ]
        }

        function test_visibility(data) {
            const panel = createTemporaryObject(panelComponent, page, data.flags)
            const shown = parts.filter(name => findChild(panel, name).visible)
            compare(shown.sort(), data.shown.slice().sort())
            compare(["inBarLabel", "inBeatLabel", "inShiftLabel"].map(name => findChild(panel, name).text), data.first)
        }

        function test_onlyActivationRequestsAnUpdate() {
            const panel = createTemporaryObject(panelComponent, page, { inBarModel: bars(4) })
            const outBar = findChild(panel, "outBarInput")
            outBar.model = bars(4)
            const log = []
            for (const name of ["inBeatInputUpdateRequest", "outBeatInputUpdateRequest"])
                panel[name].connect(index => log.push(name + " " + index))
            for (const name of ["inBarInputChanged", "outBarInputChanged"])
                panel[name].connect(() => log.push(name))

            findChild(panel, "inBarInput").currentIndex = 2
            outBar.currentIndex = 3
            compare(log, ["inBarInputChanged", "outBarInputChanged"])
            compare([panel.inBar, panel.outBar], ["3", "4"])

            log.length = 0
            findChild(panel, "inBarInput").comboControl.activated(1)
            outBar.comboControl.activated(0)
            compare(log, ["inBeatInputUpdateRequest 1", "outBeatInputUpdateRequest 0"])
        }

        function test_selectAll_data() {
            return [
                { tag: "filled", inCount: 3, outCount: 4, indices: [0, 3, 0, 3],
                  order: ["inBar", "outBar", "inBeat", "outBeat"] },
                { tag: "empty Out lists", inCount: 3, outCount: 0, indices: [0, -1, 0, -1], order: ["inBar", "inBeat"] },
            ]
        }

        function test_selectAll(data) {
            const panel = createTemporaryObject(panelComponent, page, { showSelectAll: true })
            const lists = ["inBarInput", "outBarInput", "inBeatInput", "outBeatInput"].map(name => findChild(panel, name))
            lists[0].model = bars(data.inCount)
            lists[1].model = bars(data.outCount)
            lists[2].model = Array.from({ length: data.inCount }, (_, i) => String(i + 1))
            lists[3].model = Array.from({ length: data.outCount }, (_, i) => String(i + 1))
            for (const list of lists)
                list.currentIndex = list.count > 1 ? 1 : -1
            const order = []
            for (const name of ["inBar", "outBar", "inBeat", "outBeat"])
                panel[name + "InputChanged"].connect(() => order.push(name))
            mouseClick(findChild(panel, "selectAllButton"))
            compare(lists.map(list => list.currentIndex), data.indices)
            compare(order, data.order)
        }

        function test_microshiftRanges() {
            const panel = createTemporaryObject(panelComponent, page, { hasMicroshift: true })
            const inSlider = findChild(panel, "inShiftSlider")
            const outSlider = findChild(panel, "outShiftSlider")
            compare([inSlider.from, inSlider.to, outSlider.from, outSlider.to], [0, 1, 0, 1])
            panel.setInMicroshiftMinMax(-5, 5)
            panel.setOutMicroshiftMinMax(-12, 24)
            compare([inSlider.from, inSlider.to, outSlider.from, outSlider.to], [-5, 5, -12, 24])
            panel.inShift = 2.6
            compare(panel.inMicroshiftValue, 2.6)
            compare(findChild(panel, "inShiftToolTip").text, "Value: 3")
            panel.inShiftEnabled = false
            compare([inSlider.enabled, outSlider.enabled], [false, true])
        }

        function test_labelsFollowTheHolder() {
            const alone = createTemporaryObject(panelComponent, null)
            const held = createTemporaryObject(themedHolder, page).panel
            const aloneLabel = findChild(alone, "inBarLabel")
            const heldLabel = findChild(held, "inBarLabel")
            compare([aloneLabel.font.pixelSize, aloneLabel.color], [styleLabel.font.pixelSize, styleLabel.color])
            compare([heldLabel.font.pixelSize, String(heldLabel.color)], [14, "#a4a4a4"])
            verify(alone.width > 0)
            compare(held.width, 0)
        }
    }
}
