import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    Component {
        id: waitComponent
        WaitIndicator { width: 16; height: 16 }
    }
    Component {
        id: meterComponent
        VolumeIndicatorSegmented { width: 204; height: 12 }
    }
    Component {
        id: progressComponent
        FlatProgressBar { width: 200 }
    }

    TarvTestCase {
        name: "Indicators"

        function init() {
            failOnWarning(/.*/)
        }

        function test_waitIgnoresEmptyWaits() {
            const pie = createTemporaryObject(waitComponent, root)
            pie.start(0)
            pie.start(-2)
            verify(!pie.visible)
            verify(!pie.timer.running)
        }

        function test_waitRunsAndHidesItself() {
            const pie = createTemporaryObject(waitComponent, root)
            const before = Date.now()
            pie.start(0.4)
            verify(pie.visible && pie.timer.running)
            tryVerify(() => pie.angle > 0 && pie.angle < 360, 300)
            tryVerify(() => !pie.visible, 2000)
            verify(Date.now() - before >= 400)
            compare(pie.progress, 1)
            compare(pie.angle, 360)
            verify(!pie.timer.running)
        }

        function test_waitStops() {
            const pie = createTemporaryObject(waitComponent, root)
            pie.start(10)
            wait(120)
            pie.stop()
            verify(!pie.visible && !pie.timer.running)
            const angle = pie.angle
            verify(angle > 0 && angle < 36)
            wait(120)
            compare(pie.angle, angle)
        }

        function test_meterReadout_data() {
            return [
                { tag: "silence", value: 0, text: "-\u221E dB" },
                { tag: "full scale", value: 1, text: "0 dB" },
                { tag: "half", value: 0.5, text: "-6 dB" },
                { tag: "just under full", value: 0.97, text: "0 dB" },
                { tag: "above full", value: 2, text: "6 dB" },
                { tag: "negative", value: -0.5, text: "NaN dB" },
            ]
        }

        function test_meterReadout(data) {
            const meter = createTemporaryObject(meterComponent, root, { value: data.value })
            compare(findChild(meter, "readout").text, data.text)
        }

        function litWidths(meter) {
            const repeater = findChild(meter, "segmentRepeater")
            const widths = []
            for (let i = 0; i < repeater.count; ++i) {
                const segment = repeater.itemAt(i)
                widths.push({ full: segment.width, lit: findChild(segment, "litPart").width })
            }
            return widths
        }

        function test_meterLitWidths() {
            const meter = createTemporaryObject(meterComponent, root, { value: 0.5 })
            const bar = findChild(meter, "grayBar")
            tryVerify(() => bar.width > 0)
            const widths = litWidths(meter)
            compare(widths.length, 8)
            for (let i = 0; i < 6; ++i)
                compare(widths[i].lit, widths[i].full)
            const fill = Math.exp(20 * Math.log10(0.5) / 25)
            fuzzyCompare(widths[6].lit, (fill - 0.75) * (bar.width - 7 * meter.spacing), 1e-6)
            verify(widths[6].lit > 0 && widths[6].lit < widths[6].full)
            verify(widths[7].lit <= 0)

            meter.value = 0
            for (const w of litWidths(meter))
                verify(w.lit <= 0)
            meter.value = 1
            for (const w of litWidths(meter))
                verify(w.lit >= w.full)
        }

        function test_progressTip() {
            const bar = createTemporaryObject(progressComponent, root, { value: 0.04 })
            const tip = findChild(bar, "fillBarTip")
            compare(tip.width, 0)
            const stamp = bar.lastUpdateTime
            wait(5)
            bar.value = 1
            compare(tip.width, 64)
            verify(bar.lastUpdateTime > stamp)
        }
    }
}
