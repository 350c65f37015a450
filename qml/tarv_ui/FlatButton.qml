import QtQuick 2.0
import QtQuick.Controls 2.15

// The flat rounded text button of the dialogs and windows.
Button {
    id: control

    property bool isDefault: false
    property color normalColor: isDefault ? "#26a5de" : "#525252"
    property color activeColor: Qt.lighter(normalColor, 0.64)
    property color hoverColor: Qt.lighter(normalColor, 1.25)
    property color backgroundColorToUse: enabled ? normalColor : Qt.lighter("#525252", .8)
    property alias toolTip: toolTip

    implicitHeight: 25
    implicitWidth: contentItem.implicitWidth + 25
    focusPolicy: Qt.StrongFocus
    font: theme.default_font

    TarvTheme { id: theme }

    TarvToolTip {
        id: toolTip
        delay: 500
        text: ""
        visible: control.hovered && text !== ""
    }

    contentItem: Text {
        text: control.text
        font: control.font
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: !control.enabled ? Qt.lighter("silver") : control.down ? "silver" : "white"
        opacity: control.enabled ? 1.0 : 0.3
    }

    // Reads focus, not activeFocus: a button that holds the focus of its
    // scope keeps the hover colour while the mouse is elsewhere.
    background: Rectangle {
        objectName: "flatButtonBackground"
        radius: 3
        color: (control.hovered || control.focus) && control.enabled
               ? (control.pressed ? control.activeColor : control.hoverColor)
               : control.backgroundColorToUse

        FocusHighlight {
            anchors.fill: parent
            visible: control.activeFocus
        }
    }
}
