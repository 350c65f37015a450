import QtQuick 2.15
import QtQuick.Controls 2.15

// Grip right of a column heading: dragging it sideways offers the heading's
// new width as desiredWidth; the table binds the width to it.
Item {
    id: mainControl

    property var controlToLeft: null
    property var controlToFarLeft: null
    property int colSpacing: 3
    property int minWidth: 40
    property int desiredWidth: 40

    width: 8
    y: 0
    x: controlToLeft ? controlToLeft.x + controlToLeft.width + colSpacing : 0

    function widthAtGrip() {
        if (!controlToFarLeft)
            return desiredWidth
        return x - controlToFarLeft.x - controlToFarLeft.width - colSpacing + 1
    }

    TarvTheme { id: theme }

    // As high as the table's Status heading; a holder without one gets a
    // line as high as the grip.
    Rectangle {
        objectName: "gripLine"
        x: 0
        y: 2
        width: 2
        height: (typeof statusLabel !== "undefined" && statusLabel ? statusLabel.height : mainControl.height) - 4
        color: theme.bevel_light_color
    }

    MouseArea {
        id: dragArea
        objectName: "dragArea"
        anchors.fill: parent
        cursorShape: Qt.SizeHorCursor
        drag.target: mainControl
        drag.axis: Drag.XAxis

        // The width where the pointer put the grip. Once the heading takes
        // the new width, the grip's x binding moves it colSpacing + 1 to
        // the right, so the release must not measure from there again.
        property int draggedWidth: 0

        onPositionChanged: {
            if (!drag.active)
                return
            draggedWidth = mainControl.widthAtGrip()
            mainControl.desiredWidth = Math.min(Math.max(draggedWidth, mainControl.minWidth), 1024)
        }
        // A click without a drag leaves the width alone: recomputing from the
        // resting grip would widen the column by colSpacing + 1 every time.
        onReleased: {
            if (drag.active)
                mainControl.desiredWidth = Math.max(draggedWidth, mainControl.minWidth)
        }
    }
}
