import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    Component {
        id: sliderComponent
        TarvCustomSlider { x: 20; y: 20; width: 200 }
    }
    // The level profile of the sound-effect editors: a dB scale over a
    // linear gain.
    Component {
        id: levelComponent
        TarvCustomSlider {
            x: 20; y: 20; width: 200
            from: 0.04076220398
            to: 1.0
            zeroMark: 0.7866278611
            sliderStep: 0.01
            customDisplayFunction: value => (25 * Math.log(value)).toFixed(3)
            customInvertFunction: text => Math.exp(Number(text) / 25)
        }
    }
    Component {
        id: dialComponent
        TarvCustomDial { x: 300; y: 50 }
    }

    TarvTestCase {
        name: "SliderAndDial"

        function init() {
            failOnWarning(/.*/)
        }

        // Where the pointer must be for the handle's centre to show position p.
        function xAt(slider, p) {
            const hw = slider.handle.width
            return slider.leftPadding + hw / 2 + p * (slider.availableWidth - hw)
        }

        function dragTo(slider, p) {
            const y = slider.height / 2
            let x = Math.round(xAt(slider, slider.visualPosition))
            const target = Math.round(xAt(slider, p))
            mousePress(slider, x, y)
            while (x !== target) {
                x += x < target ? 1 : -1
                mouseMove(slider, x, y)
            }
            mouseRelease(slider, x, y)
        }

        function test_dragSnapsToZeroMark_data() {
            return [
                { tag: "near the mark", to: 0.52, shown: true, expected: 0.5 },
                { tag: "beyond tolerance", to: 0.54, shown: true, expected: 0.54 },
                { tag: "mark hidden", to: 0.52, shown: false, expected: 0.52 },
            ]
        }

        function test_dragSnapsToZeroMark(data) {
            const slider = createTemporaryObject(sliderComponent, root,
                                                 { value: 0.2, showZeroMark: data.shown })
            dragTo(slider, data.to)
            fuzzyCompare(slider.value, data.expected, 0.004)
            if (data.expected !== 0.5)
                verify(slider.value !== 0.5)
        }

        function test_keysStepWithoutSnapping() {
            const slider = createTemporaryObject(sliderComponent, root, { value: 0.2 })
            slider.forceActiveFocus()
            verify(slider.isFocused)
            keyClick(Qt.Key_Right)
            compare(slider.value, 1)
            keyClick(Qt.Key_Left)
            compare(slider.value, 0)
            slider.sliderStep = 0.51
            keyClick(Qt.Key_Right)
            compare(slider.value, 0.51)
        }

        function openEntry(slider) {
            mouseClick(slider, slider.width / 2, slider.height / 2, Qt.RightButton)
            const popup = findChild(slider, "valuePopup")
            tryVerify(() => popup.opened)
            const field = findChild(popup.contentItem, "valueField")
            verify(field.field.activeFocus)
            return field
        }

        function test_levelProfileEntry_data() {
            return [
                { tag: "-6 dB lands on the mark", typed: "-6", expected: 0.786628 },
                { tag: "+10 dB clamps to full", typed: "10", expected: 1.0 },
                { tag: "-100 dB clamps to the floor", typed: "-100", expected: 0.04076220398 },
                { tag: "not a number keeps the value", typed: "loud", expected: 1.0 },
            ]
        }

        function test_levelProfileEntry(data) {
            const slider = createTemporaryObject(levelComponent, root, { value: 1.0 })
            const field = openEntry(slider)
            compare(field.text, "0.000")
            field.text = data.typed
            keyClick(Qt.Key_Return)
            fuzzyCompare(slider.value, data.expected, 1e-6)
            verify(!findChild(slider, "valuePopup").visible)
        }

        function test_levelProfileDisplay() {
            const slider = createTemporaryObject(levelComponent, root, { value: 0.7866278611 })
            compare(openEntry(slider).text, "-6.000")
        }

        function test_onlyReturnAndOkCommit() {
            const slider = createTemporaryObject(levelComponent, root, { value: 1.0 })
            const popup = findChild(slider, "valuePopup")
            let field = openEntry(slider)
            field.text = "-20"
            keyClick(Qt.Key_Escape)
            tryVerify(() => !popup.visible)
            compare(slider.value, 1.0)

            field = openEntry(slider)
            field.text = "-20"
            mouseClick(root, 390, 190)
            tryVerify(() => !popup.visible)
            compare(slider.value, 1.0)

            field = openEntry(slider)
            field.text = "-6"
            mouseClick(findChild(popup.contentItem, "valueOkButton"))
            fuzzyCompare(slider.value, 0.786628, 1e-6)
            tryVerify(() => !popup.visible)
        }

        function turnDial(dial, pixels) {
            mousePress(dial, 12, 12)
            for (let i = 1; i <= pixels; ++i)
                mouseMove(dial, 12 + i, 12)
            mouseRelease(dial, 12 + pixels, 12)
        }

        function test_dialSnapping() {
            const dial = createTemporaryObject(dialComponent, root)
            turnDial(dial, 2)
            compare(dial.value, 0)
            turnDial(dial, 3)
            fuzzyCompare(dial.value, 0.12, 1e-9)
            dial.value = 0
            dial.showZeroMark = false
            turnDial(dial, 2)
            fuzzyCompare(dial.value, 0.08, 1e-9)
            dial.enabled = false
            compare(findChild(dial, "dialFace").opacity, 0.3)
        }
    }
}
