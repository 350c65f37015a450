import QtQuick
import com.quillonworks.tarv_ui

// The cue table's column headings, each resizable one followed by its drag
// handle. The rows line their cells up under these labels.
Rectangle {
    id: headerRow

    // The main window: its blank width, column spacing, minimum and default
    // widths.
    required property QtObject table

    // The widths are the handles' own values: a width written from outside
    // (restored settings) is where the handle stands and still moves with it.
    property alias numberWidth: numberHandle.desiredWidth
    property alias actWidth: actHandle.desiredWidth
    property alias sceneWidth: sceneHandle.desiredWidth
    property alias statusWidth: statusHandle.desiredWidth
    property alias cueNameWidth: cueNameHandle.desiredWidth

    property alias numberLabel: numberLabel
    property alias actLabel: actLabel
    property alias sceneLabel: sceneLabel
    property alias statusLabel: statusLabel
    property alias cueNameLabel: cueNameLabel
    property alias cueLineLabel: cueLineLabel

    color: theme.default_bg_color

    TarvTheme { id: theme }

    component HeaderLabel: Text {
        height: parent.height
        color: "white"
        verticalAlignment: Text.AlignVCenter
        // A narrow column shrinks its heading rather than cut it short.
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 9
        elide: Text.ElideRight
    }

    Item { id: blankSpacer; width: headerRow.table.blankWidth; height: parent.height }

    HeaderLabel {
        id: numberLabel
        x: blankSpacer.x + blankSpacer.width
        width: numberHandle.desiredWidth
        text: "#"
        font: theme.heavy_label
    }
    HeaderLabelDrag {
        id: numberHandle
        objectName: "numberHandle"
        controlToLeft: numberLabel
        controlToFarLeft: blankSpacer
        minWidth: headerRow.table.numberWidthMin
        desiredWidth: headerRow.table.numberWidthDefault
        height: statusLabel.height
        colSpacing: headerRow.table.colSpacing
    }
    HeaderLabel {
        id: actLabel
        x: numberHandle.x + numberHandle.width + headerRow.table.colSpacing
        width: actHandle.desiredWidth
        text: "Act"
        horizontalAlignment: Text.AlignHCenter
        font: theme.heavy_label
    }
    HeaderLabelDrag {
        id: actHandle
        objectName: "actHandle"
        controlToLeft: actLabel
        controlToFarLeft: numberHandle
        minWidth: headerRow.table.actWidthMin
        desiredWidth: headerRow.table.actWidthDefault
        height: statusLabel.height
        colSpacing: headerRow.table.colSpacing
    }
    HeaderLabel {
        id: sceneLabel
        x: actHandle.x + actHandle.width + headerRow.table.colSpacing
        width: sceneHandle.desiredWidth
        text: "Sc."
        horizontalAlignment: Text.AlignHCenter
        font: theme.heavy_label
    }
    HeaderLabelDrag {
        id: sceneHandle
        objectName: "sceneHandle"
        controlToLeft: sceneLabel
        controlToFarLeft: actHandle
        minWidth: headerRow.table.sceneWidthMin
        desiredWidth: headerRow.table.sceneWidthDefault
        height: statusLabel.height
        colSpacing: headerRow.table.colSpacing
    }
    HeaderLabel {
        id: statusLabel
        x: sceneHandle.x + sceneHandle.width + headerRow.table.colSpacing
        width: statusHandle.desiredWidth
        text: "Status"
        horizontalAlignment: Text.AlignHCenter
        font: theme.heavy_label
    }
    HeaderLabelDrag {
        id: statusHandle
        objectName: "statusHandle"
        controlToLeft: statusLabel
        controlToFarLeft: sceneHandle
        minWidth: headerRow.table.statusWidthMin
        desiredWidth: headerRow.table.statusWidthDefault
        height: statusLabel.height
        colSpacing: headerRow.table.colSpacing
    }
    HeaderLabel {
        id: cueNameLabel
        x: statusHandle.x + statusHandle.width + headerRow.table.colSpacing
        width: cueNameHandle.desiredWidth
        text: "Cue Name"
        font: theme.heavy_label
    }
    HeaderLabelDrag {
        id: cueNameHandle
        objectName: "cueNameHandle"
        controlToLeft: cueNameLabel
        controlToFarLeft: statusHandle
        minWidth: headerRow.table.cueNameWidthMin
        desiredWidth: headerRow.table.cueNameWidthDefault
        height: statusLabel.height
        colSpacing: headerRow.table.colSpacing
    }
    HeaderLabel {
        id: cueLineLabel
        x: cueNameHandle.x + cueNameHandle.width + headerRow.table.colSpacing
        width: Math.max(0, headerRow.width - x)
        text: "Cue Line"
        font: theme.heavy_label
    }
}

