import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    Component {
        id: customSpin
        CustomSpinBox { width: 150 }
    }
    Component {
        id: recessedSpin
        RecessedSpinBox {}
    }

    TarvTestCase {
        name: "SpinBoxes"

        function init() {
            failOnWarning(/.*/)
        }

        function parts(box) {
            return { minus: findChild(box, "minus"), plus: findChild(box, "plus"),
                     field: findChild(box, "textInput") }
        }

        // Types into the plain field and leaves it, as an operator would.
        function typeAndLeave(box, text) {
            const field = parts(box).field
            box.value = text
            mouseClick(field)
            verify(field.children[0].activeFocus)
            root.forceActiveFocus()
        }

        function test_rangeAndButtons() {
            const box = createTemporaryObject(customSpin, root, { intValue: 0 })
            const p = parts(box)
            compare(box.value, "0")
            verify(!p.minus.enabled)
            verify(p.plus.enabled)
            mouseClick(p.plus)
            compare(box.intValue, 1)
            compare(box.value, "1")
            verify(p.minus.enabled)
            box.intValue = 99
            verify(!p.plus.enabled)
            compare(box.value, "99")
        }

        function test_outsideValuesAreClampedAndShown() {
            const box = createTemporaryObject(customSpin, root, { from: 5, to: 20 })
            compare(box.intValue, 5)
            compare(box.value, "5")
            box.intValue = 250
            compare(box.intValue, 20)
            compare(box.value, "20")
            verify(!parts(box).plus.enabled)
            box.intValue = -7
            compare(box.intValue, 5)
            compare(box.value, "5")
            verify(!parts(box).minus.enabled)
        }

        function test_infinite() {
            const box = createTemporaryObject(customSpin, root, { underflowWithInfinite: true, from: 1, intValue: 1 })
            const p = parts(box)
            verify(p.minus.enabled)
            mouseClick(p.minus)
            compare(box.value, "Infinite")
            compare(box.intValue, 0)
            verify(!p.minus.enabled)
            mouseClick(p.plus)
            compare(box.value, "1")
            box.intValue = -40
            compare(box.intValue, 1)
            compare(box.value, "1")
        }

        function test_typedText_data() {
            return [
                { tag: "trailing letters", text: "12abc", infinite: false, shown: "12", value: 12 },
                { tag: "decimal", text: "3.9", infinite: false, shown: "3", value: 3 },
                { tag: "above range", text: "250", infinite: false, shown: "99", value: 99 },
                { tag: "below range", text: "-5", infinite: false, shown: "0", value: 0 },
                { tag: "empty restores", text: "", infinite: false, shown: "7", value: 7 },
                { tag: "letters restore", text: "abc", infinite: false, shown: "7", value: 7 },
                { tag: "empty is infinite", text: "", infinite: true, shown: "Infinite", value: -1 },
            ]
        }

        function test_typedText(data) {
            const box = createTemporaryObject(customSpin, root,
                                              { intValue: 7, underflowWithInfinite: data.infinite })
            typeAndLeave(box, data.text)
            compare(box.value, data.shown)
            compare(box.intValue, data.value)
            compare(parts(box).plus.enabled, data.value < 99)
        }

        function test_recessedStartsAndReports() {
            let box = createTemporaryObject(recessedSpin, root)
            compare(box.value, "\u221E")
            compare(box.intValue, 0)
            verify(!box.decrementButton.enabled)

            box = createTemporaryObject(recessedSpin, root, { defaultValue: 5 })
            compare(box.value, "5")
            compare(box.intValue, 5)
            verify(box.decrementButton.enabled && box.incrementButton.enabled)

            const up = signalSpy.createObject(box, { target: box, signalName: "incrementValue" })
            mouseClick(box.incrementButton)
            compare(up.count, 1)
            compare(box.intValue, 5)
            compare(box.value, "5")
            box.intValue = 99
            verify(!box.incrementButton.enabled)
        }
    }

    Component {
        id: signalSpy
        SignalSpy {}
    }
}
