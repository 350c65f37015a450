import QtQuick
import QtQuick.Window

// Base of the sound editors: an application-modal dialog on the theme
// background whose size is fixed once it is complete, and which tells the
// derived window when the operator closes it. Hiding it is not closing it.
Window {
    id: control

    property bool isEdit: false
    property string eventId: ""
    property alias theme: theme

    signal windowClosing()

    width: 360
    height: 300
    title: qsTr("Edit Tool")
    modality: Qt.ApplicationModal
    flags: Qt.Dialog

    // The size that the derived window's bindings give at completion is the
    // size for good: the operator cannot drag it.
    Component.onCompleted: {
        maximumWidth = width
        maximumHeight = height
        minimumWidth = width
        minimumHeight = height
    }

    // close() on a window that is already hidden still reports closing; only
    // a close of the shown window counts.
    onClosing: {
        if (visible)
            windowClosing()
    }

    TarvTheme { id: theme }

    Rectangle {
        anchors.fill: parent
        color: theme.default_bg_color
    }
}
