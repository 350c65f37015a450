import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    Component { id: customSpin; CustomSpinBox { width: 150 } }
    Component { id: recessedSpin; RecessedSpinBox {} }
    Component { id: spyComponent; SignalSpy {} }

    TarvTestCase {
        name: "SpinBoxes"

        function parts(box) {
            return { minus: findChild(box, "minus"), plus: findChild(box, "plus"), field: findChild(box, "textInput") }
        }

        function test_buttonsAndClamping() {
            const box = createTemporaryObject(customSpin, root, { intValue: 0 })
            const p = parts(box)
            compare(box.value, "0")
            verify(!p.minus.enabled && p.plus.enabled)
            mouseClick(p.plus)
            compare(box.value, "1")
            verify(p.minus.enabled)
            // A double click is a click and a double-click signal: two steps.
            mouseDoubleClickSequence(p.plus)
            compare(box.value, "3")
            // Values set from outside the range are limited, and the field
            // shows the limited number.
            box.intValue = 250
            compare(box.intValue, 99)
            compare(box.value, "99")
            verify(!p.plus.enabled)
            box.intValue = -7
            compare(box.intValue, 0)
            compare(box.value, "0")
        }

        function test_infinite() {
            const box = createTemporaryObject(customSpin, root, { underflowWithInfinite: true, from: 1 })
            const p = parts(box)
            verify(p.minus.enabled)
            mouseClick(p.minus)
            compare(box.value, "Infinite")
            compare(box.intValue, 0)
            verify(!p.minus.enabled)
            mouseClick(p.plus)
            compare(box.value, "1")
        }

        function test_typedText_data() {
            return [
                { tag: "trailing letters", text: "12abc", infinite: false, shown: "12", value: 12 },
                { tag: "decimal", text: "3.9", infinite: false, shown: "3", value: 3 },
                { tag: "above range", text: "250", infinite: false, shown: "99", value: 99 },
                { tag: "empty restores", text: "", infinite: false, shown: "7", value: 7 },
                { tag: "empty is infinite", text: "", infinite: true, shown: "Infinite", value: -1 },
            ]
        }

        function test_typedText(data) {
            const box = createTemporaryObject(customSpin, root, { intValue: 7, underflowWithInfinite: data.infinite })
            box.value = data.text
            mouseClick(parts(box).field)
            root.forceActiveFocus()
            compare(box.value, data.shown)
            compare(box.intValue, data.value)
            compare(parts(box).plus.enabled, data.value < 99)
        }

        function test_recessedStartsAndOnlyReports() {
            let box = createTemporaryObject(recessedSpin, root)
            compare(box.value, "\u221E")
            compare(box.intValue, 0)
            verify(!box.decrementButton.enabled)

            box = createTemporaryObject(recessedSpin, root, { defaultValue: 5 })
            compare(box.value, "5")
            verify(box.decrementButton.enabled && box.incrementButton.enabled)
            const up = createTemporaryObject(spyComponent, root, { target: box, signalName: "incrementValue" })
            mouseClick(box.incrementButton)
            mouseDoubleClickSequence(box.incrementButton)
            compare(up.count, 3)
            compare(box.intValue, 5)
            box.intValue = 99
            verify(!box.incrementButton.enabled)
        }
    }
}
