import QtQuick
import QtQuick.Window

// Frameless start-up splash: the logo on the theme background, centred on the
// screen, closing itself after three seconds.
Window {
    id: control

    property int outerMargin: 12

    visible: true
    width: mainLogo.width + 2 * outerMargin
    height: mainLogo.height + 2 * outerMargin
    x: (Screen.width - width) / 2
    y: (Screen.height - height) / 2
    flags: Qt.FramelessWindowHint
    color: theme.default_bg_color

    TarvTheme { id: theme }

    Image {
        id: mainLogo
        objectName: "mainLogo"
        source: "qrc:/images/splash_logo.png"
        width: 250
        fillMode: Image.PreserveAspectFit
        smooth: true
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.leftMargin: 12
        anchors.topMargin: 12
    }

    Timer {
        objectName: "closeTimer"
        interval: 3000
        repeat: false
        running: true
        onTriggered: control.close()
    }
}
