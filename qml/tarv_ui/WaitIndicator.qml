import QtQuick

// Pie that fills clockwise from twelve o'clock while a timed wait runs and
// hides itself when the time is over.
Rectangle {
    id: control

    property real progress: 0
    property real angle: 0
    property real totalTime: 10.0
    property real startTime: 0
    property alias timer: progressTimer
    property color pieColor: "#219ebc"

    function start(timeInSec) {
        if (!(timeInSec > 0))
            return
        totalTime = timeInSec
        progressTimer.start()
        visible = true
    }

    function stop() {
        progressTimer.stop()
        visible = false
    }

    implicitWidth: 32
    implicitHeight: 32
    color: "transparent"
    visible: false

    Timer {
        id: progressTimer
        interval: 50
        repeat: true
        running: false

        onRunningChanged: {
            if (running)
                control.startTime = Date.now()
        }
        // Measured on the wall clock, so late ticks do not slow the pie.
        onTriggered: {
            let share = (Date.now() - control.startTime) / 1000 / control.totalTime
            if (share >= 1) {
                share = 1
                control.stop()
            }
            control.progress = share
            control.angle = share * 360
            pieCanvas.requestPaint()
        }
    }

    Canvas {
        id: pieCanvas
        anchors.fill: parent

        onPaint: {
            const ctx = getContext("2d")
            ctx.reset()
            const cx = width / 2
            const cy = height / 2
            const start = -Math.PI / 2
            ctx.beginPath()
            ctx.moveTo(cx, cy)
            ctx.arc(cx, cy, width / 2, start, start + control.angle * Math.PI / 180, false)
            ctx.lineTo(cx, cy)
            ctx.fillStyle = control.pieColor
            ctx.fill()
        }
    }
}
