import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: root
    width: 400
    height: 200

    Component { id: bubble; BubbleButton { imageSource: "qrc:/images/audio.svg" } }
    Component { id: splash; SplashWindow {} }
    Component { id: spyComponent; SignalSpy {} }

    TarvTestCase {
        name: "BubbleButtonsAndSplash"

        function test_bubbleStates() {
            const button = createTemporaryObject(bubble, root, { toggled: true, colorToggledOn: true, radiant: true })
            const shown = () => [findChild(button, "toggledTint").visible, findChild(button, "glow").visible]
            button.toggledOnImageSource = "qrc:/images/lan.svg"
            compare(findChild(button, "bubbleIcon").source, Qt.url("qrc:/images/lan.svg"))
            compare(shown(), [true, true])
            button.enabled = false
            compare(shown(), [false, false])
        }

        function test_bubbleReturnClicksWithoutToggling() {
            const button = createTemporaryObject(bubble, root)
            const clicks = createTemporaryObject(spyComponent, root, { target: button, signalName: "clicked" })
            button.forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare([clicks.count, button.toggled], [1, false])
        }

        function test_splashSizeAndClose() {
            const window = createTemporaryObject(splash, root, { outerMargin: 20 })
            const logo = findChild(window.contentItem, "mainLogo")
            verify(logo.height > 0)
            compare([logo.x, window.width, window.height], [12, 290, logo.height + 40])
            wait(2500)
            verify(window.visible)
            tryVerify(() => !window.visible, 2000)
        }
    }
}
