import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    Component { id: sliderComponent; TarvCustomSlider { x: 20; y: 20; width: 200 } }
    // The level profile of the sound-effect editors: dB over a linear gain.
    Component {
        id: levelComponent
        TarvCustomSlider {
            x: 20; y: 20; width: 200
            from: 0.04076220398; to: 1.0; zeroMark: 0.7866278611; sliderStep: 0.01
            customDisplayFunction: value => (25 * Math.log(value)).toFixed(3)
            customInvertFunction: text => Math.exp(Number(text) / 25)
        }
    }
    Component { id: dialComponent; TarvCustomDial { x: 300; y: 50 } }

    TarvTestCase {
        name: "SliderAndDial"

        // Drags the handle pixel by pixel to where it shows position p.
        function dragTo(slider, p) {
            const at = position => Math.round(slider.leftPadding + slider.handle.width / 2
                                              + position * (slider.availableWidth - slider.handle.width))
            let x = at(slider.visualPosition)
            const target = at(p)
            mousePress(slider, x, slider.height / 2)
            while (x !== target) {
                x += x < target ? 1 : -1
                mouseMove(slider, x, slider.height / 2)
            }
            mouseRelease(slider, x, slider.height / 2)
        }

        function test_dragSnapsToZeroMark_data() {
            return [
                { tag: "near the mark", to: 0.52, shown: true, expected: 0.5 },
                { tag: "beyond tolerance", to: 0.54, shown: true, expected: 0.54 },
                { tag: "mark hidden", to: 0.52, shown: false, expected: 0.52 },
            ]
        }

        function test_dragSnapsToZeroMark(data) {
            const slider = createTemporaryObject(sliderComponent, root, { value: 0.2, showZeroMark: data.shown })
            dragTo(slider, data.to)
            fuzzyCompare(slider.value, data.expected, 0.004)
            compare(slider.value === 0.5, data.expected === 0.5)
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

        function test_levelEntry_data() {
            return [
                { tag: "-6 dB lands on the mark", start: 1.0, shown: "0.000", typed: "-6", expected: 0.786628 },
                { tag: "+10 dB clamps to full", start: 0.7866278611, shown: "-6.000", typed: "10", expected: 1.0 },
                { tag: "-100 dB clamps to the floor", start: 1.0, shown: "0.000", typed: "-100", expected: 0.04076220398 },
                { tag: "not a number keeps the value", start: 1.0, shown: "0.000", typed: "loud", expected: 1.0 },
            ]
        }

        function test_levelEntry(data) {
            const slider = createTemporaryObject(levelComponent, root, { value: data.start })
            const field = openEntry(slider)
            compare(field.text, data.shown)
            field.text = data.typed
            keyClick(Qt.Key_Return)
            fuzzyCompare(slider.value, data.expected, 1e-6)
            verify(!findChild(slider, "valuePopup").visible)
        }

        function test_onlyReturnAndOkCommit() {
            const slider = createTemporaryObject(levelComponent, root, { value: 1.0 })
            const popup = findChild(slider, "valuePopup")
            openEntry(slider).text = "-20"
            keyClick(Qt.Key_Escape)
            tryVerify(() => !popup.visible)
            compare(slider.value, 1.0)
            // A press outside takes the focus from the field as well.
            openEntry(slider).text = "-20"
            mouseClick(root, 390, 190)
            tryVerify(() => !popup.visible)
            compare(slider.value, 1.0)
            openEntry(slider).text = "-6"
            mouseClick(findChild(popup.contentItem, "valueOkButton"))
            fuzzyCompare(slider.value, 0.786628, 1e-6)
        }

        // The dial follows horizontal movement at 0.04 per pixel.
        function test_dialSnapping() {
            const dial = createTemporaryObject(dialComponent, root)
            const turn = pixels => {
                mousePress(dial, 12, 12)
                for (let i = 1; i <= pixels; ++i)
                    mouseMove(dial, 12 + i, 12)
                mouseRelease(dial, 12 + pixels, 12)
            }
            turn(2)
            compare(dial.value, 0)
            turn(3)
            fuzzyCompare(dial.value, 0.12, 1e-9)
            dial.value = 0
            dial.showZeroMark = false
            turn(2)
            fuzzyCompare(dial.value, 0.08, 1e-9)
        }
    }
}
