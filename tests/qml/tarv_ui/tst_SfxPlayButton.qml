import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    width: 100
    height: 100

    SfxPlayButton {
        id: button
        width: 24
        height: 24
    }

    TarvTestCase {
        name: "SfxPlayButton"

        function pixelAt(x, y) {
            const image = grabImage(button)
            return image.pixel(x, y)
        }

        function test_symbols() {
            waitForRendering(button)
            verify(Qt.colorEqual(pixelAt(8, 12), "green"), "play triangle")
            const outside = pixelAt(17, 7)
            verify(!Qt.colorEqual(outside, "green"), "outside the triangle")

            button.handleClick(true)
            verify(button.playing)
            tryVerify(() => Qt.colorEqual(pixelAt(17, 7), "red"))
            verify(Qt.colorEqual(pixelAt(6, 6), "red"))
            verify(Qt.colorEqual(pixelAt(19, 19), outside), "outside the square")

            button.handleClick(false)
            verify(!button.playing)
            tryVerify(() => Qt.colorEqual(pixelAt(17, 7), outside), 5000, "the square is cleared")
            verify(Qt.colorEqual(pixelAt(8, 12), "green"))
        }
    }
}
