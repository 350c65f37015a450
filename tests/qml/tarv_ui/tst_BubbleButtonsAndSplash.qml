import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    Component { id: bubble; BubbleButton { imageSource: "qrc:/images/audio.svg" } }
    Component { id: bar; BubbleButtonBar { BubbleButton {} BubbleButton {} } }
    Component { id: emptyBar; BubbleButtonBar { pad: 6 } }
    Component { id: splash; SplashWindow {} }
    Component { id: spyComponent; SignalSpy {} }

    TarvTestCase {
        name: "BubbleButtonsAndSplash"

        function test_bubbleIconTintAndGlow() {
            const button = createTemporaryObject(bubble, root, { toggled: true, colorToggledOn: true })
            const icon = findChild(button, "bubbleIcon")
            compare(icon.source, Qt.url("qrc:/images/audio.svg"))
            button.toggledOnImageSource = "qrc:/images/lan.svg"
            compare(icon.source, Qt.url("qrc:/images/lan.svg"))
            verify(findChild(button, "toggledTint").visible)
            button.radiant = true
            verify(findChild(button, "glow").visible)
            button.enabled = false
            verify(!findChild(button, "toggledTint").visible && !findChild(button, "glow").visible)
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
            compare(findChild(strip, "bubbleStrip").width, strip.width + 2)
            const empty = createTemporaryObject(emptyBar, root)
            compare(empty.width, 6)
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
            wait(2500)
            verify(window.visible)
            tryVerify(() => !window.visible, 2000)
        }
    }
}
