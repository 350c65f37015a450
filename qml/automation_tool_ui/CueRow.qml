import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects
import com.quillonworks.tarv_ui

// One row of the cue table. It follows its event's signals: the pie runs
// through the event's delay, the stop icon shows from firing to completion.
// Cells line up under the header labels (headings) handed in by the table.
Rectangle {
    id: listItem

    required property int index
    required property string number
    required property string act
    required property string scene
    required property string name
    required property string cueline
    required property string status
    required property bool disableDelete
    required property QtObject cueObject
    readonly property QtObject cue: cueObject

    property bool isCurrent: false
    property bool disabledHidden: false
    property int blankWidth: 20
    property Item numberHeading: null
    property Item actHeading: null
    property Item sceneHeading: null
    property Item statusHeading: null
    property Item cueNameHeading: null
    property Item cueLineHeading: null
    property real scrollBarWidth: 20

    signal selectRequested(int index)
    signal editRequested()

    // The row just left flashes in the selection colour and fades to nothing.
    function fadeOut() {
        fadeAnimation.restart()
    }

    TarvTheme { id: theme }

    height: disabledHidden && status === "x" ? 0 : 40
    visible: height > 0
    clip: true
    color: isCurrent ? "transparent" : (index % 2 === 0 ? theme.default_bg_color : theme.light_background_color)

    Behavior on height { NumberAnimation { duration: 250 } }

    Connections {
        target: listItem.cue
        ignoreUnknownSignals: true
        function onWaiting(waitTimeSec) { waitIndicator.start(waitTimeSec) }
        function onFiring() {
            stopIcon.source = "images/stop2.svg"
            stopIcon.visible = true
        }
        function onComplete(event, cancelled) {
            stopIcon.visible = false
            waitIndicator.stop()
        }
    }

    Rectangle {
        id: fadeHighlight
        objectName: "fadeHighlight"
        anchors.fill: parent
        color: theme.default_selected_color_intense
        opacity: 0.0

        NumberAnimation {
            id: fadeAnimation
            target: fadeHighlight
            property: "opacity"
            from: 1.0
            to: 0.0
            duration: 250
        }
    }

    MouseArea {
        anchors.fill: parent
        onClicked: listItem.selectRequested(listItem.index)
        onDoubleClicked: listItem.editRequested()
    }

    component Cell: Text {
        anchors.verticalCenter: parent.verticalCenter
        elide: Text.ElideRight
        color: "white"
    }

    Cell {
        objectName: "numberCell"
        x: listItem.blankWidth
        width: listItem.numberHeading ? listItem.numberHeading.width : 0
        text: listItem.number
        font: theme.default_font
    }
    Cell {
        x: listItem.actHeading ? listItem.actHeading.x : 0
        width: listItem.actHeading ? listItem.actHeading.width : 0
        horizontalAlignment: Text.AlignHCenter
        text: listItem.act
        font: theme.default_font
    }
    Cell {
        x: listItem.sceneHeading ? listItem.sceneHeading.x : 0
        width: listItem.sceneHeading ? listItem.sceneHeading.width : 0
        horizontalAlignment: Text.AlignHCenter
        text: listItem.scene
        font: theme.default_font
    }

    RowLayout {
        x: listItem.statusHeading ? listItem.statusHeading.x : 0
        width: listItem.statusHeading ? listItem.statusHeading.width : 0
        height: listItem.height
        spacing: 0

        Item { Layout.fillWidth: true }
        WaitIndicator {
            id: waitIndicator
            objectName: "waitIndicator"
            Layout.preferredWidth: 16
            Layout.preferredHeight: 16
            Layout.alignment: Qt.AlignVCenter
        }
        Image {
            objectName: "statusIcon"
            Layout.preferredWidth: 25
            Layout.alignment: Qt.AlignVCenter
            source: listItem.status === "x" ? "qrc:/images/close_thick.svg"
                  : listItem.status === "continue" ? "qrc:/images/south_thick.svg"
                  : "qrc:/images/check_thick.svg"
            sourceSize: Qt.size(20, 20)
            fillMode: Image.PreserveAspectFit
            visible: !waitIndicator.visible
        }
        Image {
            objectName: "lockIcon"
            Layout.preferredWidth: listItem.disableDelete ? 25 : 0
            Layout.alignment: Qt.AlignVCenter
            source: "qrc:/images/lock.svg"
            sourceSize: Qt.size(20, 20)
            fillMode: Image.PreserveAspectFit
            visible: listItem.disableDelete
        }
        Item { Layout.fillWidth: true }
    }

    Cell {
        x: listItem.cueNameHeading ? listItem.cueNameHeading.x : 0
        width: listItem.cueNameHeading ? listItem.cueNameHeading.width : 0
        text: listItem.name
        font: theme.default_font
    }
    Cell {
        x: listItem.cueLineHeading ? listItem.cueLineHeading.x : 0
        width: Math.max(0, listItem.width - listItem.scrollBarWidth - x)
        text: listItem.cueline
        font: theme.default_font
    }

    // Hidden until the row's event fires; a click cancels that event alone.
    Item {
        id: stopIcon
        objectName: "stopIcon"

        property alias source: stopImage.source

        x: listItem.cueLineHeading ? listItem.cueLineHeading.x + listItem.cueLineHeading.width - 3 * 32 - listItem.scrollBarWidth : 0
        anchors.verticalCenter: parent.verticalCenter
        width: 32
        height: 32
        visible: false

        Image {
            id: stopImage
            anchors.fill: parent
            sourceSize: Qt.size(64, 64)
            fillMode: Image.PreserveAspectFit
            source: "images/play.svg"
        }
        ColorOverlay {
            anchors.fill: stopImage
            source: stopImage
            color: "#404040"
            visible: stopIcon.visible
        }
        ColorOverlay {
            anchors.fill: stopImage
            source: stopImage
            color: "#C61D20"
            visible: stopArea.containsMouse
        }
        TarvToolTip {
            text: "Stop Cue"
            delay: 500
            visible: stopArea.containsMouse
        }
        MouseArea {
            id: stopArea
            objectName: "stopArea"
            anchors.fill: parent
            hoverEnabled: true
            onClicked: {
                if (listItem.cue)
                    listItem.cue.Cancel()
            }
        }
    }
}
