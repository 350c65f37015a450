import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    Component {
        id: bubble
        BubbleButton { imageSource: "qrc:/images/audio.svg" }
    }
    Component {
        id: bar
        BubbleButtonBar {
            BubbleButton {}
            BubbleButton {}
        }
    }
    Component {
        id: emptyBar
        BubbleButtonBar { pad: 6 }
    }
    Component {
        id: splash
        SplashWindow {}
    }
    Component {
        id: spyComponent
        SignalSpy {}
    }

    TarvTestCase {
        name: "BubbleButtonsAndSplash"

        function init() {
            failOnWarning(/.*/)
        }

        function test_bubbleIconAndTint() {
            const button = createTemporaryObject(bubble, root, { toggled: true })
            const icon = findChild(button, "bubbleIcon")
            const tint = findChild(button, "toggledTint")
            compare(button.width, 52)
            compare(button.height, 52)
            compare(icon.source, Qt.url("qrc:/images/audio.svg"))
            button.toggledOnImageSource = "qrc:/images/lan.svg"
            compare(icon.source, Qt.url("qrc:/images/lan.svg"))
            button.toggled = false
            compare(icon.source, Qt.url("qrc:/images/audio.svg"))

            verify(!tint.visible)
            button.colorToggledOn = true
            button.toggled = true
            verify(tint.visible)
            button.enabled = false
            verify(!tint.visible)
            button.radiant = true
            verify(!findChild(button, "glow").visible)
            button.enabled = true
            verify(findChild(button, "glow").visible)
            verify(!findChild(button, "bubbleCaption").visible)
        }

        function test_bubbleReturnClicks() {
            const button = createTemporaryObject(bubble, root)
            const clicks = createTemporaryObject(spyComponent, root, { target: button, signalName: "clicked" })
            button.forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(clicks.count, 1)
            verify(!button.toggled)
        }

        function test_barSize() {
            const strip = createTemporaryObject(bar, root)
            compare(strip.width, 52 * 2 + 1)
            compare(strip.height, 52)
            const area = findChild(strip, "bubbleStrip")
            compare(area.width, strip.width + 2)
            const empty = createTemporaryObject(emptyBar, root)
            compare(empty.width, 6)
            compare(empty.height, 6)
            compare(findChild(empty, "bubbleStrip").x, 3)
        }

        function test_splashSizeAndClose() {
            const window = createTemporaryObject(splash, root)
            const logo = findChild(window.contentItem, "mainLogo")
            compare(logo.width, 250)
            verify(logo.height > 0)
            compare(window.width, 274)
            compare(window.height, logo.height + 24)
            window.outerMargin = 20
            compare(window.width, 290)
            compare(logo.x, 12)
            verify(window.visible)
            wait(2500)
            verify(window.visible)
            tryVerify(() => !window.visible, 2000)
        }
    }
}
