import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 400
    height: 300

    Component {
        id: toolComponent
        SfxPropertyTool {}
    }

    SignalSpy { id: updateSpy; signalName: "updateCustomAudioEntry" }
    SignalSpy { id: closingSpy; signalName: "toolClosing" }

    TarvTestCase {
        name: "SfxPropertyTool"

        function openTool(properties) {
            const tool = createTemporaryObject(toolComponent, page, properties)
            updateSpy.target = tool
            closingSpy.target = tool
            updateSpy.clear()
            closingSpy.clear()
            tool.visible = true
            return tool
        }

        function child(tool, name) {
            const found = findChild(tool.contentItem, name)
            verify(found, name)
            return found
        }

        function okay(tool) {
            child(tool, "buttons").okayClicked()
            compare(updateSpy.count, 1)
            compare(closingSpy.count, 1)
            return Array.from(updateSpy.signalArguments[0])
        }

        function test_okSendsTheEnteredValues_data() {
            return [
                { tag: "play", file: "/show/thunder.wav", command: 0, fade: "1.5", ms: 1500, loop: true },
                { tag: "stop", file: "/show/thunder.mp3", command: 1, fade: "0.0004", ms: 0, loop: false },
                { tag: "negative fade", file: "/show/a.wav", command: 0, fade: "-2", ms: 0, loop: false },
                { tag: "long fade", file: "/show/a.wav", command: 0, fade: "3000000", ms: 2147483647, loop: false },
                { tag: "infinite fade", file: "/show/a.wav", command: 0, fade: "Infinity", ms: 2147483647, loop: false },
            ]
        }

        function test_okSendsTheEnteredValues(data) {
            const url = "file://" + data.file
            const tool = openTool({ fileUrl: url, filename: data.file, commandIndex: data.command,
                                    volume: 1.0, pan: "25", fadeIn: data.fade, fadeOut: "2",
                                    loop: data.loop })
            compare(child(tool, "commandCombo").displayText, data.command ? "Stop" : "Play")
            const update = okay(tool)
            compare(update[0].toString(), url)
            compare(update.slice(1), [data.command, 1, 25, data.ms, 2000, data.loop])
            compare(tool.visible, false)
        }

        // The editor is narrow, so its chooser is too: the names take what
        // the window can give, and sizes and dates shrink or go.
        function test_chooserNamesTakeTheWidth() {
            const tool = openTool({ audioFolder: chooserFixture.folderUrl })
            tryVerify(() => tool.active || tool.visible)
            mouseClick(child(tool, "chooseButton"))
            let entry = null
            tryVerify(() => (entry = findChild(tool.contentItem, "chooserEntry1")) !== null,
                      5000, "the chooser lists its folder")
            const name = entry.children[0]
            verify(name.width >= entry.width * 0.55,
                   `the name has ${name.width} of ${entry.width} px`)
            verify(name.width >= name.implicitWidth || name.width >= 180,
                   `"${name.text}" is cut to ${name.width} px`)
        }

        // The title bar is driven with the real controller.
        function test_cancelSendsNothing() {
            const tool = openTool({ filename: "/show/a.wav" })
            child(tool, "buttons").cancelClicked()
            compare([updateSpy.count, closingSpy.count], [0, 1])
        }
    }
}
