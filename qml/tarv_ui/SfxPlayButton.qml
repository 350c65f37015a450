import QtQuick 2.0

// Drawn play (green triangle) or stop (red square) symbol. It takes no input
// itself: its user places a MouseArea in it and calls handleClick().
Item {
    id: root

    property bool playing: false

    visible: true

    // A window may set the state before the canvas has a context to draw
    // with; the state is kept and drawn once the canvas becomes available.
    function handleClick(isPlaying) {
        clearCanvas(canvas)
        playing = isPlaying
        canvas.requestPaint()
    }

    function clearCanvas(canvas) {
        // Before its first frame (or while hidden) a canvas has nothing to
        // clear, and asking it for a context would only log a complaint.
        if (!canvas.available)
            return
        const ctx = canvas.getContext("2d")
        if (!ctx)
            return
        ctx.clearRect(0, 0, canvas.width, canvas.height)
        ctx.fillStyle = "transparent"
        ctx.fill()
        canvas.requestPaint()
    }

    function drawPlayButton(canvas) {
        const ctx = canvas.getContext("2d")
        const w = canvas.width
        const h = canvas.height
        ctx.beginPath()
        ctx.moveTo(w / 4, h / 4)
        ctx.lineTo(w / 4, 3 * h / 4)
        ctx.lineTo(3 * w / 4, h / 2)
        ctx.closePath()
        ctx.fillStyle = "green"
        ctx.fill()
    }

    function drawStopButton(canvas) {
        const ctx = canvas.getContext("2d")
        const w = canvas.width
        const h = canvas.height
        ctx.beginPath()
        ctx.rect(w / 4, h / 4, w / 2, h / 2)
        ctx.closePath()
        ctx.fillStyle = "red"
        ctx.fill()
    }

    Canvas {
        id: canvas
        anchors.fill: parent
        onAvailableChanged: if (available) requestPaint()
        onPaint: root.playing ? root.drawStopButton(canvas) : root.drawPlayButton(canvas)
    }
}
