import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 400
    height: 300

    TarvTheme { id: theme }

    Component {
        id: flatComponent
        FlatButton { x: 100; y: 100; text: "OK" }
    }
    Component {
        id: graphicComponent
        GraphicButton { x: 100; y: 100; text: "New Cue" }
    }
    Component {
        id: pairComponent
        StandardEditButtons { x: 10; y: 10; width: 300 }
    }

    SignalSpy { id: clickSpy; signalName: "clicked" }
    SignalSpy { id: okSpy; signalName: "okayClicked" }
    SignalSpy { id: cancelSpy; signalName: "cancelClicked" }

    TarvTestCase {
        name: "Buttons"

        function backgroundOf(button) {
            return button.background.color
        }

        // Qt 6.4 truncates where later versions round when it lightens or
        // darkens a colour, so a derived colour may be one step off.
        function compareColour(actual, expected) {
            const want = Qt.color(expected)
            for (const channel of ["r", "g", "b"]) {
                verify(Math.abs(actual[channel] - want[channel]) * 255 <= 1.01,
                       actual + " is not " + expected)
            }
        }

        function test_flatButtonColours_data() {
            return [
                { tag: "plain", isDefault: false, rest: "#525252", hover: "#676767", pressed: "#353535" },
                { tag: "default", isDefault: true, rest: "#26a5de", hover: "#42c4ff", pressed: "#186a8e" },
            ]
        }

        function test_flatButtonColours(data) {
            const button = createTemporaryObject(flatComponent, page, { isDefault: data.isDefault })
            compareColour(backgroundOf(button), data.rest)
            mouseMove(button)
            tryCompare(button, "hovered", true)
            compareColour(backgroundOf(button), data.hover)
            mouseMove(page, 5, 5)
            tryCompare(button, "hovered", false)
            compareColour(backgroundOf(button), data.rest)

            // The focus keeps the hover colour with the mouse elsewhere;
            // Space shows the pressed colour.
            button.forceActiveFocus()
            compareColour(backgroundOf(button), data.hover)
            keyPress(Qt.Key_Space)
            compareColour(backgroundOf(button), data.pressed)
            keyRelease(Qt.Key_Space)
            compareColour(backgroundOf(button), data.hover)

            button.enabled = false
            compareColour(backgroundOf(button), "#424242")
        }

        function test_flatButtonOverriddenColourAndSize() {
            const button = createTemporaryObject(flatComponent, page,
                                                 { text: "GO", normalColor: "#006635", activeColor: "#009950" })
            compareColour(button.hoverColor, "#008042")
            button.text = "OK"
            compare(button.height, 25)
            compare(button.width, button.contentItem.implicitWidth + 25)
            compare(button.font.pixelSize, 14)
        }

        function test_graphicButtonSizes_data() {
            return [
                { tag: "caption only", properties: {}, height: 18 },
                { tag: "icon", properties: { imageSource: "qrc:/images/addcircle.svg" }, height: 42 },
                { tag: "icon hidden", properties: { imageSource: "qrc:/images/addcircle.svg", showImage: false }, height: 18 },
            ]
        }

        function test_graphicButtonSizes(data) {
            const button = createTemporaryObject(graphicComponent, page, data.properties)
            compare(button.width, 64)
            compare(button.height, data.height)
        }

        function test_graphicButtonClicksAndPressOffset() {
            const button = createTemporaryObject(graphicComponent, page,
                                                 { imageSource: "qrc:/images/addcircle.svg" })
            const inner = findChild(button, "graphicButtonControl")
            clickSpy.target = button
            clickSpy.clear()

            mousePress(button, 10, 10)
            compare(inner.x, 2)
            compare(inner.y, 2)
            mouseRelease(button, 10, 10)
            compare(inner.x, 0)
            compare(clickSpy.count, 1)

            // Return clicks once; the keypad's Enter does nothing.
            inner.forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(clickSpy.count, 2)
            keyClick(Qt.Key_Enter)
            compare(clickSpy.count, 2)
        }

        function test_graphicButtonDisabled() {
            const button = createTemporaryObject(graphicComponent, page, { enabled: false })
            const inner = findChild(button, "graphicButtonControl")
            clickSpy.target = button
            clickSpy.clear()
            compare(String(inner.background.color), "#2b2b2b")
            compare(String(findChild(button, "graphicButtonLabel").color), "#666666")
            mouseClick(button)
            compare(clickSpy.count, 0)
            button.enabled = true
            compare(String(inner.background.color), "#202020")
        }

        function makePair() {
            const pair = createTemporaryObject(pairComponent, page)
            okSpy.target = pair
            cancelSpy.target = pair
            okSpy.clear()
            cancelSpy.clear()
            return pair
        }

        function test_editButtonsLayout() {
            const pair = makePair()
            tryCompare(pair, "implicitWidth", 200)
            compare(pair.implicitHeight, 25)
            compare(pair.cancelButton.width, 80)
            compare(pair.okButton.width, 80)
            verify(pair.okButton.isDefault)
            // The row stays in the left 200 pixels of a wider pair.
            const right = pair.okButton.mapToItem(pair, pair.okButton.width, 0)
            compare(right.x, 200)
        }

        function test_editButtonsClicks() {
            const pair = makePair()
            mouseClick(pair.okButton)
            compare(okSpy.count, 1)
            compare(cancelSpy.count, 0)
            mouseClick(pair.cancelButton)
            compare(cancelSpy.count, 1)
            compare(okSpy.count, 1)
            verify(pair.visible)
        }

        function test_editButtonsKeys() {
            const pair = makePair()
            pair.okButton.forceActiveFocus()
            keyClick(Qt.Key_Escape)
            compare(cancelSpy.count, 1)
            pair.cancelButton.forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(okSpy.count, 1)
            compare(cancelSpy.count, 1)
            keyClick(Qt.Key_Enter)
            compare(okSpy.count, 1, "the keypad's Enter is not handled")

            // Return does not look at the OK button.
            pair.okButton.enabled = false
            mouseClick(pair.okButton)
            compare(okSpy.count, 1)
            keyClick(Qt.Key_Return)
            compare(okSpy.count, 2)
        }
    }
}
