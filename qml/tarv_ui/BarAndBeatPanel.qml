import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.quillonworks.tarv_ui

// Four drop-down lists for a musical position or range (In Bar, In Beat, Out
// Bar, Out Beat) and, on request, two microshift sliders. The holder fills
// the lists and answers the signals; the panel keeps no data of its own.
//
// The labels take their font and colour from the holder's `theme` when it
// offers one and keep the style's otherwise; the lists carry a theme of
// their own, so the panel works in any holder, or in none.
Item {
    id: root

    property int panelWidth: parent ? parent.width : content.implicitWidth
    property int panelHeight: content.implicitHeight
    property int leftMargin: anchors.leftMargin
    property int topMargin: anchors.topMargin
    property int rightMargin: anchors.rightMargin
    property int bottomMargin: anchors.bottomMargin
    property bool hasDuration: true
    property bool hasMicroshift: false
    property bool showSelectAll: false
    property int inMinMicroshift: 0
    property int inMaxMicroshift: 1
    property int outMinMicroshift: 0
    property int outMaxMicroshift: 1
    property alias comboBoxWidth: inBarInput.width
    property alias inBar: inBarInput.displayText
    property alias outBar: outBarInput.displayText
    property alias inBeat: inBeatInput.displayText
    property alias outBeat: outBeatInput.displayText
    property alias inShift: inShiftSlider.value
    property alias inMicroshiftValue: inShiftSlider.value
    property alias outShift: outShiftSlider.value
    property alias outMicroshiftValue: outShiftSlider.value
    property alias inShiftEnabled: inShiftSlider.enabled
    property alias inBarModel: inBarInput.model

    readonly property var holderTheme: typeof theme !== "undefined" && theme && theme.default_font !== undefined
                                       ? theme : null
    readonly property font labelFont: holderTheme ? holderTheme.default_font : styleLabel.font
    readonly property color labelColor: holderTheme ? holderTheme.default_text_color : styleLabel.color

    signal inBeatInputUpdateRequest(var index)
    signal outBeatInputUpdateRequest(var index)
    signal inBarInputChanged()
    signal inBeatInputChanged()
    signal outBarInputChanged()
    signal outBeatInputChanged()
    signal pressEnter()

    function setInMicroshiftMinMax(minValue: int, maxValue: int) {
        inMinMicroshift = minValue
        inMaxMicroshift = maxValue
    }

    function setOutMicroshiftMinMax(minValue: int, maxValue: int) {
        outMinMicroshift = minValue
        outMaxMicroshift = maxValue
    }

    // The whole range: first In entries, last Out entries. An empty list
    // gets -1, nothing selected.
    function selectAll() {
        inBarInput.currentIndex = Math.min(0, inBarInput.count - 1)
        outBarInput.currentIndex = outBarInput.count - 1
        inBeatInput.currentIndex = Math.min(0, inBeatInput.count - 1)
        outBeatInput.currentIndex = outBeatInput.count - 1
    }

    width: panelWidth
    height: panelHeight
    anchors.topMargin: topMargin
    anchors.bottomMargin: topMargin
    anchors.leftMargin: leftMargin
    anchors.rightMargin: leftMargin

    // The drop-down list reads `theme` by name from the document that places
    // it; this one places it with a theme of its own.
    component ThemedComboBox: CustomComboBox {
        TarvTheme { id: theme }
    }

    component PanelLabel: Label {
        font: root.labelFont
        color: root.labelColor
    }

    // Stands for the style's own label look when the holder has no theme.
    Label {
        id: styleLabel
        visible: false
    }

    ColumnLayout {
        id: content
        anchors.fill: parent
        spacing: 15

        RowLayout {
            ColumnLayout {
                objectName: "barColumn"
                Layout.preferredWidth: 100
                Layout.alignment: Qt.AlignTop

                PanelLabel {
                    objectName: "inBarLabel"
                    text: root.hasDuration ? qsTr("In Bar") : qsTr("Bar")
                }
                ThemedComboBox {
                    id: inBarInput
                    objectName: "inBarInput"
                    Layout.fillWidth: true
                    textRole: "bar"
                    onActivated: index => root.inBeatInputUpdateRequest(index)
                    onCurrentIndexChanged: root.inBarInputChanged()
                    onEnterPressed: root.pressEnter()
                }
                PanelLabel {
                    objectName: "outBarLabel"
                    Layout.topMargin: 10
                    text: qsTr("Out Bar")
                    visible: root.hasDuration
                }
                ThemedComboBox {
                    id: outBarInput
                    objectName: "outBarInput"
                    Layout.fillWidth: true
                    textRole: "bar"
                    visible: root.hasDuration
                    onActivated: index => root.outBeatInputUpdateRequest(index)
                    onCurrentIndexChanged: root.outBarInputChanged()
                    onEnterPressed: root.pressEnter()
                }
            }

            ColumnLayout {
                objectName: "beatColumn"
                Layout.preferredWidth: 100
                Layout.alignment: Qt.AlignTop

                PanelLabel {
                    objectName: "inBeatLabel"
                    text: root.hasDuration ? qsTr("In Beat") : qsTr("Beat")
                }
                ThemedComboBox {
                    id: inBeatInput
                    objectName: "inBeatInput"
                    Layout.fillWidth: true
                    onCurrentIndexChanged: root.inBeatInputChanged()
                    onEnterPressed: root.pressEnter()
                }
                PanelLabel {
                    objectName: "outBeatLabel"
                    Layout.topMargin: 10
                    text: qsTr("Out Beat")
                    visible: root.hasDuration
                }
                ThemedComboBox {
                    id: outBeatInput
                    objectName: "outBeatInput"
                    Layout.fillWidth: true
                    valueRole: "beats"
                    visible: root.hasDuration
                    onCurrentIndexChanged: root.outBeatInputChanged()
                    onEnterPressed: root.pressEnter()
                }
            }

            ColumnLayout {
                objectName: "microshiftColumn"
                Layout.preferredWidth: 100
                Layout.alignment: Qt.AlignTop

                PanelLabel {
                    objectName: "inShiftLabel"
                    text: root.hasDuration ? qsTr("In Shift") : qsTr("Microshift")
                    visible: root.hasMicroshift
                }
                TarvCustomSlider {
                    id: inShiftSlider
                    objectName: "inShiftSlider"
                    Layout.preferredWidth: 150
                    from: root.inMinMicroshift
                    to: root.inMaxMicroshift
                    value: 0
                    showZeroMark: false
                    visible: root.hasMicroshift

                    TarvToolTip {
                        objectName: "inShiftToolTip"
                        delay: 500
                        text: qsTr("Value: %1").arg(inShiftSlider.value.toFixed(0))
                        visible: inShiftSlider.hovered || inShiftSlider.activeFocus
                    }
                }
                PanelLabel {
                    objectName: "outShiftLabel"
                    Layout.topMargin: 10
                    text: qsTr("Out Microshift")
                    visible: root.hasDuration && root.hasMicroshift
                }
                TarvCustomSlider {
                    id: outShiftSlider
                    objectName: "outShiftSlider"
                    Layout.preferredWidth: 150
                    from: root.outMinMicroshift
                    to: root.outMaxMicroshift
                    value: 0
                    showZeroMark: false
                    visible: root.hasDuration && root.hasMicroshift
                }
            }
        }

        FlatButton {
            objectName: "selectAllButton"
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 130
            Layout.preferredHeight: 30
            text: qsTr("Select All")
            visible: root.showSelectAll
            onClicked: root.selectAll()
        }
    }
}
