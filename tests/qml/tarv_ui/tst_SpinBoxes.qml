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
            compare([box.intValue, box.value, p.plus.enabled], [99, "99", false])
            box.intValue = -7
            compare([box.intValue, box.value], [0, "0"])
        }

        function test_infinite() {
            const box = createTemporaryObject(customSpin, root, { underflowWithInfinite: true, from: 1 })
            const p = parts(box)
            verify(p.minus.enabled)
            mouseClick(p.minus)
            compare([box.value, box.intValue, p.minus.enabled], ["Infinite", 0, false])
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
            compare([box.value, box.intValue, parts(box).plus.enabled], [data.shown, data.value, data.value < 99])
        }

        // The recessed box starts at infinity and only reports its buttons.
        function test_recessedOnlyReports() {
            compare(createTemporaryObject(recessedSpin, root).value, "\u221E")
            const box = createTemporaryObject(recessedSpin, root, { defaultValue: 5 })
            const up = createTemporaryObject(spyComponent, root, { target: box, signalName: "incrementValue" })
            mouseClick(box.incrementButton)
            mouseDoubleClickSequence(box.incrementButton)
            compare([up.count, box.intValue], [3, 5])
            box.intValue = 99
            verify(!box.incrementButton.enabled)
        }
    }
}
