import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import Qt5Compat.GraphicalEffects

// Drop-down list on a dark bevelled face with a drop shadow and keyboard
// handling of its own. Its font and focus frame come from the `theme` of the
// document that places it.
//
// Choices made in the list (mouse, Space, Enter, Return) set currentIndex
// directly and emit no `activated`; holders follow currentIndex.
Item {
    id: baseControl

    property alias currentValue: control.currentValue
    property alias currentIndex: control.currentIndex
    property alias count: control.count
    property alias textRole: control.textRole
    property alias valueRole: control.valueRole
    property alias model: control.model
    property alias displayText: control.displayText
    property alias mainLabel: mainLabel
    property alias delegate: control.delegate
    property alias choices: control.popup
    property alias comboControl: control
    property int outerMargin: 20
    property int offsetSize: 2
    property var font: theme.default_font
    property color default_bg_color: "#1b1b1b"
    property color default_popup_bg_color: Qt.lighter("#1b1b1b", 1.8)

    signal activated(int index)
    signal enterPressed()

    function indexOfValue(value) {
        return control.indexOfValue(value)
    }

    // Takes the list's current row, when it is one, and closes the list.
    function commitListRow() {
        if (list.currentIndex >= 0 && list.currentIndex < control.count
                && list.currentIndex !== control.currentIndex)
            control.currentIndex = list.currentIndex
        control.popup.close()
    }

    // Moves the open list's row, held within the rows; without rows it stays
    // at none.
    function moveListRow(row) {
        if (list.count > 0)
            list.currentIndex = Math.max(0, Math.min(list.count - 1, row))
        control.arrowSelection = true
    }

    function handleKeyPressed(event) {
        switch (event.key) {
        case Qt.Key_Enter:
        case Qt.Key_Return:
            // Not consumed: the keys also reach the items around the box.
            if (control.popup.visible)
                commitListRow()
            else
                baseControl.enterPressed()
            break
        case Qt.Key_Up:
            if (control.popup.visible)
                moveListRow(list.currentIndex - 1)
            event.accepted = true
            break
        case Qt.Key_Down:
            if (control.popup.visible)
                moveListRow(list.currentIndex + 1)
            event.accepted = true
            break
        case Qt.Key_Home:
        case Qt.Key_End:
        case Qt.Key_PageUp:
        case Qt.Key_PageDown: {
            // The list's row stops following the base box once an arrow has
            // moved it, so these move it here too. A closed box with rows
            // leaves them to the base box; one without rows has none to take.
            const page = Math.max(1, Math.floor(list.height / 40))
            const rows = { [Qt.Key_Home]: 0, [Qt.Key_End]: list.count - 1,
                           [Qt.Key_PageUp]: list.currentIndex - page,
                           [Qt.Key_PageDown]: list.currentIndex + page }
            if (control.popup.visible)
                moveListRow(rows[event.key])
            event.accepted = control.popup.visible || control.count === 0
            break
        }
        default:
            break
        }
    }

    implicitWidth: control.implicitWidth
    implicitHeight: control.implicitHeight

    DropShadow {
        anchors.fill: control
        source: control
        z: -1
        horizontalOffset: baseControl.offsetSize / 2
        verticalOffset: baseControl.offsetSize
        radius: 8
        spread: 0.0
        samples: 32
        color: "#66000000"
    }

    ComboBox {
        id: control
        objectName: "comboControl"

        property bool arrowSelection: false

        anchors.fill: parent
        font: baseControl.font
        implicitHeight: 30

        // The base box finds no text role in a list of plain strings and
        // would show nothing; such a list shows its strings, as its rows do.
        displayText: {
            const entries = model
            const entry = Array.isArray(entries) && currentIndex >= 0 ? entries[currentIndex] : undefined
            return typeof entry === "string" ? entry : currentText
        }

        onActivated: index => baseControl.activated(index)

        Keys.onSpacePressed: {
            if (control.popup.visible)
                baseControl.commitListRow()
            else
                control.popup.open()
        }
        // The base box would toggle its list again on the release.
        Keys.onReleased: event => {
            if (event.key === Qt.Key_Space)
                event.accepted = true
        }
        Keys.onPressed: event => baseControl.handleKeyPressed(event)

        Rectangle {
            objectName: "comboFocusFrame"
            anchors.fill: parent
            color: "transparent"
            border.color: theme.default_selected_color_intense
            border.width: 2
            opacity: 0.7
            visible: control.activeFocus
        }

        background: Rectangle {
            objectName: "comboFace"
            implicitWidth: 120
            implicitHeight: 40
            radius: 0
            color: !control.enabled ? Qt.lighter("#525252", 0.5)
                                    : control.pressed ? Qt.lighter(baseControl.default_bg_color, 0.8)
                                    : control.hovered ? Qt.lighter(baseControl.default_bg_color, 1.3)
                                    : baseControl.default_bg_color

            BasicBevel {}
        }

        // The base box sizes its content item to the face inside its padding.
        contentItem: Item {
            Text {
                id: mainLabel
                x: 8
                height: parent.height
                width: parent.width - control.indicator.width - 15
                text: control.displayText
                font: control.font
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
                color: !control.enabled ? "gray" : control.pressed ? "silver" : "white"
            }
        }

        indicator: Canvas {
            x: control.width - width - control.rightPadding
            y: control.topPadding + (control.availableHeight - height) / 2
            width: 12
            height: 8
            contextType: "2d"

            Connections {
                target: control
                function onPressedChanged() { control.indicator.requestPaint() }
            }
            onEnabledChanged: requestPaint()

            onPaint: {
                const ctx = getContext("2d")
                ctx.reset()
                ctx.moveTo(0, 0)
                ctx.lineTo(width, 0)
                ctx.lineTo(width / 2, height)
                ctx.closePath()
                ctx.fillStyle = !control.enabled ? "gray" : control.pressed ? "silver" : "white"
                ctx.fill()
            }
        }

        delegate: ItemDelegate {
            id: row

            function getDisplayText() {
                if (control.textRole) {
                    if (typeof modelData !== "undefined" && modelData !== null)
                        return typeof modelData === "string" ? modelData : modelData[control.textRole]
                    if (typeof model !== "undefined" && model)
                        return model[control.textRole]
                    return qsTr("Undefined")
                }
                return modelData
            }

            width: control.width
            implicitHeight: 40
            highlighted: list.currentIndex === index

            contentItem: Item {}

            background: Rectangle {
                implicitHeight: 40
                color: row.highlighted || (rowMouse.containsMouse && !control.arrowSelection)
                       ? Qt.lighter(baseControl.default_popup_bg_color, 1.3)
                       : baseControl.default_popup_bg_color

                Text {
                    id: rowText
                    x: 5
                    width: parent.width - 10
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.getDisplayText()
                    color: "white"
                    font: control.font
                    elide: Text.ElideRight
                }
            }

            MouseArea {
                id: rowMouse
                anchors.fill: parent
                hoverEnabled: true
                onEntered: control.arrowSelection = false
                onClicked: {
                    control.currentIndex = index
                    control.popup.close()
                }
            }

            ToolTip.visible: rowText.truncated && rowMouse.containsMouse
            ToolTip.text: rowText.text
            ToolTip.delay: 1000
            ToolTip.timeout: 5000
        }

        // An in-window popup, kept inside the window (margins 0) and scrolling
        // when its rows do not fit.
        popup: Popup {
            objectName: "comboPopup"
            y: control.height - 1
            width: control.width
            height: Math.min(list.implicitHeight + topPadding + bottomPadding, Screen.height / 2)
            padding: 1
            margins: 0

            background: Rectangle {
                color: baseControl.default_bg_color
                border.width: 0

                Rectangle {
                    anchors.fill: parent
                    anchors.margins: 1
                    color: baseControl.default_bg_color
                }
                BasicBevel {}
            }

            contentItem: ListView {
                id: list
                objectName: "comboList"
                clip: true
                implicitHeight: contentHeight
                model: control.delegateModel
                currentIndex: control.highlightedIndex

                ScrollBar.vertical: ScrollBar {
                    objectName: "comboListScrollBar"
                    policy: ScrollBar.AlwaysOn
                }
            }
        }
    }
}
