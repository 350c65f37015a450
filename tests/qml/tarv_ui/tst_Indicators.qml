import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    Component { id: waitComponent; WaitIndicator { width: 16; height: 16 } }
    Component { id: meterComponent; VolumeIndicatorSegmented { width: 204; height: 12 } }

    TarvTestCase {
        name: "Indicators"

        function test_waitStartAndStop() {
            const pie = createTemporaryObject(waitComponent, root)
            pie.start(0)
            pie.start(-2)
            verify(!pie.visible && !pie.timer.running)
            pie.start(10)
            verify(pie.visible && pie.timer.running)
            wait(120)
            pie.stop()
            verify(!pie.visible && !pie.timer.running)
            verify(pie.angle > 0 && pie.angle < 36)
            // Started for a time, it hides itself when that time is up.
            const before = Date.now()
            pie.start(0.4)
            tryVerify(() => !pie.visible, 2000)
            verify(Date.now() - before >= 400)
            compare([pie.angle, pie.timer.running], [360, false])
        }

        function test_meterReadout_data() {
            return [
                { tag: "silence", value: 0, text: "-\u221E dB" },
                { tag: "full scale", value: 1, text: "0 dB" },
                { tag: "half", value: 0.5, text: "-6 dB" },
                { tag: "just under full", value: 0.97, text: "0 dB" },
            ]
        }

        function test_meterReadout(data) {
            const meter = createTemporaryObject(meterComponent, root, { value: data.value })
            compare(findChild(meter, "readout").text, data.text)
        }

        function test_meterLitWidths() {
            const meter = createTemporaryObject(meterComponent, root, { value: 0.5 })
            const bar = findChild(meter, "grayBar")
            const segments = findChild(meter, "segmentRepeater")
            const lit = i => findChild(segments.itemAt(i), "litPart").width
            tryVerify(() => bar.width > 0)
            for (let i = 0; i < 6; ++i)
                compare(lit(i), segments.itemAt(i).width)
            // 0.5 shows as e^(-6.02/25) = 0.786: segment 6 is partly lit.
            fuzzyCompare(lit(6), (Math.exp(20 * Math.log10(0.5) / 25) - 0.75) * (bar.width - 7 * meter.spacing), 1e-6)
            verify(lit(6) > 0 && lit(6) < segments.itemAt(6).width)
            verify(lit(7) <= 0)
            meter.value = 0
            verify(lit(0) <= 0)
            meter.value = 1
            verify(lit(7) >= segments.itemAt(7).width)
        }
    }
}
