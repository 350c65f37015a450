import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 400
    height: 300

    ListModel {
        id: sources
        ListElement { displayname: "Bell Chime"; sfxid: "chime.bell" }
        ListElement { displayname: "Short Beep"; sfxid: "beep.short" }
    }
    ListModel { id: noSources }

    Component {
        id: toolComponent
        StandaloneSfxTool {}
    }

    SignalSpy { id: createSpy; signalName: "createRequest" }
    SignalSpy { id: changeSpy; signalName: "changeRequest" }
    SignalSpy { id: closingSpy; signalName: "toolClosing" }

    TarvTestCase {
        name: "StandaloneSfxTool"

        // Opened as the controller opens it: models and values, then visible.
        function openTool(properties) {
            const tool = createTemporaryObject(toolComponent, page,
                                               Object.assign({ effectModel: sources }, properties))
            for (const spy of [createSpy, changeSpy, closingSpy]) {
                spy.target = tool
                spy.clear()
            }
            tool.visible = true
            tool.requestActivate()
            tryCompare(tool, "active", true)
            return tool
        }

        function child(tool, name) {
            const found = findChild(tool.contentItem, name)
            verify(found, name)
            return found
        }

        function okay(tool) {
            child(tool, "buttons").okayClicked()
            compare(createSpy.count + changeSpy.count, 1, "one request")
            return Array.from((createSpy.count ? createSpy : changeSpy).signalArguments[0])
        }

        function typeLevel(tool, text) {
            const slider = child(tool, "volumeSlider")
            mouseClick(slider, slider.width / 2, slider.height / 2, Qt.RightButton)
            const field = findChild(slider, "valueField")
            tryCompare(findChild(slider, "valuePopup"), "opened", true)
            field.text = text
            mouseClick(findChild(slider, "valueOkButton"))
        }

        function test_volumeLaw_data() {
            return [
                { tag: "left end", position: 0.04076220398, gain: 0.0001 },
                { tag: "right end", position: 1.0, gain: 1.0 },
                { tag: "zero mark", position: 0.7866278611, gain: 0.501187 },
                { tag: "typed -12", typed: "-12", gain: 0.251189, level: "-12.000" },
                { tag: "typed +3", typed: "+3", gain: 1.0, level: "0.000" },
                { tag: "typed below the left end", typed: "-95", gain: 0.0001, level: "-80.000" },
                { tag: "typed no number", typed: "loud", gain: 0.501187, level: "-6.000" },
            ]
        }

        function test_volumeLaw(data) {
            const tool = openTool({ volume: 0.7866278611 })
            if (data.typed !== undefined) {
                typeLevel(tool, data.typed)
                const slider = child(tool, "volumeSlider")
                compare(slider.customDisplayFunction(slider.value), data.level)
            } else {
                tool.volume = data.position
            }
            fuzzyCompare(okay(tool)[5], data.gain, 0.000001)
        }

        function test_fades_data() {
            return [
                { tag: "seconds", text: "1.5", ms: 1500 },
                { tag: "truncated below a millisecond", text: "0.0004", ms: 0 },
                { tag: "1.001 falls just below", text: "1.001", ms: 1000 },
                { tag: "blanks and trailing letters", text: "  2s", ms: 2000 },
                { tag: "exponent", text: "1e1", ms: 10000 },
                { tag: "letters only", text: "abc", ms: 0 },
                { tag: "empty", text: "", ms: 0 },
                { tag: "negative", text: "-1", ms: 0 },
                { tag: "above 16 bits", text: "70", ms: 65535 },
                { tag: "beyond double", text: "1e400", ms: 65535 },
                { tag: "Infinity", text: "Infinity", ms: 65535 },
                { tag: "minus Infinity", text: "-Infinity", ms: 0 },
                { tag: "NaN", text: "NaN", ms: 0 },
            ]
        }

        function test_fades(data) {
            const tool = openTool({ fadeIn: data.text, fadeOut: "0.25" })
            const request = okay(tool)
            compare([request[8], request[9]], [data.ms, 250])
        }

        function test_nameFollowsTheSourceUntilTyped() {
            const tool = openTool({})
            compare(tool.name, "Bell Chime")
            // The controller writes the name once; the name must keep following.
            tool.name = tool.effectText
            tool.effectIdIndex = 1
            compare(tool.name, "Short Beep")

            const field = child(tool, "nameField")
            mouseClick(field)
            keyClick(Qt.Key_End)
            keyClick(Qt.Key_X)
            verify(tool.isNameDirty)
            tool.effectIdIndex = 0
            compare(tool.name, "Short Beepx")
            compare(okay(tool).slice(0, 5), ["Short Beepx", "", -1, "chime.bell", 0])
        }

        function test_requestsCarryEveryValue_data() {
            return [
                { tag: "new", isEdit: false, output: "", spy: createSpy },
                { tag: "existing keeps its output", isEdit: true, output: "Stage Left", spy: changeSpy },
            ]
        }

        function test_requestsCarryEveryValue(data) {
            const tool = openTool({ isEdit: data.isEdit, isNameDirty: true, name: "Door",
                                    outputPathId: data.output, effectIdIndex: 1, pan: "25",
                                    reverb: "40.5", loop: true, eventId: "sfx.7" })
            compare(tool.title, (data.isEdit ? "Edit " : "Create ") + "Instance")
            const request = okay(tool)
            compare(data.spy.count, 1)
            compare(request.slice(0, 5), ["Door", data.output, -1, "beep.short", 1])
            compare([request[6], request[7], request[10]], [25, 40, -1])
            compare(tool.visible, false)
            compare(closingSpy.count, 1)
        }

        function test_emptySourceListSendsNoSource() {
            const tool = openTool({ effectModel: noSources, isNameDirty: true, name: "Silence" })
            compare(okay(tool).slice(3, 5), ["", -1])
        }

        // Escape is driven with the real controller.
        function test_titleBarSendsOnlyToolClosing() {
            const tool = openTool({ isEdit: true, isNameDirty: true, name: "Door" })
            tool.close()
            compare([createSpy.count, changeSpy.count, closingSpy.count], [0, 0, 1])
            compare(tool.visible, false)
        }
    }
}
