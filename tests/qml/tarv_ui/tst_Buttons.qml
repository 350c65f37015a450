import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 400
    height: 300

    TarvTheme { id: theme }

    Component { id: flat; FlatButton { x: 100; y: 100; text: "OK" } }
    Component { id: graphic; GraphicButton { x: 100; y: 100; text: "New Cue" } }
    Component { id: bubble; BubbleButton { imageSource: "qrc:/images/audio.svg" } }
    Component { id: pairComponent; StandardEditButtons { x: 10; y: 10; width: 300 } }
    Component { id: spyComponent; SignalSpy {} }
    Component { id: playButton; SfxPlayButton { width: 40; height: 40 } }

    TarvTestCase {
        name: "Buttons"

        function spy(target, signalName) {
            return createTemporaryObject(spyComponent, page, { target: target, signalName: signalName })
        }

        // Qt 6.4 truncates where later versions round when it lightens or
        // darkens a colour, so a derived colour may be one step off.
        function compareColour(actual, expected) {
            const want = Qt.color(expected)
            for (const channel of ["r", "g", "b"])
                verify(Math.abs(actual[channel] - want[channel]) * 255 <= 1.01, actual + " is not " + expected)
        }

        function test_flatButtonColours_data() {
            return [
                { tag: "plain", properties: {}, rest: "#525252", hover: "#676767", pressed: "#353535" },
                { tag: "default", properties: { isDefault: true }, rest: "#26a5de", hover: "#42c4ff", pressed: "#186a8e" },
                { tag: "own colour", properties: { normalColor: "#006635" }, rest: "#006635", hover: "#008042", pressed: "#004122" },
            ]
        }

        function test_flatButtonColours(data) {
            const button = createTemporaryObject(flat, page, data.properties)
            compareColour(button.background.color, data.rest)
            mouseMove(button)
            tryCompare(button, "hovered", true)
            compareColour(button.background.color, data.hover)
            mouseMove(page, 5, 5)
            tryCompare(button, "hovered", false)
            compareColour(button.background.color, data.rest)
            // The focus keeps the hover colour with the mouse elsewhere.
            button.forceActiveFocus()
            compareColour(button.background.color, data.hover)
            keyPress(Qt.Key_Space)
            compareColour(button.background.color, data.pressed)
            keyRelease(Qt.Key_Space)
            button.enabled = false
            compareColour(button.background.color, "#424242")
        }

        function test_graphicButtonSizes_data() {
            return [
                { tag: "caption only", properties: {}, height: 18 },
                { tag: "icon", properties: { imageSource: "qrc:/images/addcircle.svg" }, height: 42 },
                { tag: "icon hidden", properties: { imageSource: "qrc:/images/addcircle.svg", showImage: false }, height: 18 },
            ]
        }

        // The icon shows exactly when the button is tall.
        function test_graphicButtonSizes(data) {
            const button = createTemporaryObject(graphic, page, data.properties)
            const icon = findChild(button, "graphicButtonIcon")
            compare([button.width, button.height, icon.visible], [64, data.height, data.height === 42])
            button.showImage = !button.showImage
            button.imageSource = "qrc:/images/addcircle.svg"
            const height = button.showImage ? 42 : 18
            compare([button.height, icon.visible], [height, height === 42])
        }

        function test_graphicButtonClicks() {
            const button = createTemporaryObject(graphic, page)
            const inner = findChild(button, "graphicButtonControl")
            const clicks = spy(button, "clicked")
            mousePress(button, 10, 10)
            compare([inner.x, inner.y], [2, 2], "sinks while pressed")
            mouseRelease(button, 10, 10)
            compare([inner.x, clicks.count], [0, 1])
            inner.forceActiveFocus()
            keyClick(Qt.Key_Return)
            keyClick(Qt.Key_Enter) // the keypad's Enter is not handled
            compare(clicks.count, 2)
            button.enabled = false
            mouseClick(button)
            compare(clicks.count, 2)
        }

        function test_bubbleReturnClicksWithoutToggling() {
            const button = createTemporaryObject(bubble, page)
            const clicks = spy(button, "clicked")
            button.forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare([clicks.count, button.toggled], [1, false])
        }

        function test_editButtons() {
            const pair = createTemporaryObject(pairComponent, page)
            const ok = spy(pair, "okayClicked")
            const cancel = spy(pair, "cancelClicked")
            tryCompare(pair, "implicitWidth", 200)
            compare(pair.okButton.mapToItem(pair, pair.okButton.width, 0).x, 200, "packed at the left")
            mouseClick(pair.okButton)
            mouseClick(pair.cancelButton)
            compare([ok.count, cancel.count], [1, 1])
            pair.okButton.forceActiveFocus()
            keyClick(Qt.Key_Escape)
            pair.cancelButton.forceActiveFocus()
            keyClick(Qt.Key_Return)
            keyClick(Qt.Key_Enter)
            compare([ok.count, cancel.count], [2, 2])
            // Return does not look at the OK button.
            pair.okButton.enabled = false
            mouseClick(pair.okButton)
            keyClick(Qt.Key_Return)
            compare([ok.count, cancel.count], [3, 2])
        }

        // A manager may mark a preview as playing before the button has
        // drawn once, or while its row is hidden; its canvas has no context
        // yet then, and saying so on every click would flood the log.
        function test_playButtonToldToPlayBeforeItsFirstFrame() {
            failOnWarning(/getContext/)
            const hidden = createTemporaryObject(playButton, page, { visible: false })
            hidden.handleClick(true)
            hidden.handleClick(false)
            verify(!hidden.playing)
            const button = createTemporaryObject(playButton, page)
            button.handleClick(false)
            button.handleClick(true)
            verify(button.playing)
            tryVerify(() => {
                const centre = grabImage(button).pixel(20, 20)
                return centre.r > 0.4 && centre.g < 0.2
            }, 2000, "the stop symbol is drawn")
            button.handleClick(false)
            tryVerify(() => grabImage(button).pixel(20, 20).g > 0.4, 10000, "the play symbol is drawn")
        }
    }
}
