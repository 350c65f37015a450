import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    TarvTheme { id: theme }

    TarvTestCase {
        name: "TarvTheme"

        function test_exactlyTwentyFiveReadOnlyProperties() {
            const plain = Qt.createQmlObject("import QtQuick; Item {}", theme)
            const own = Object.keys(theme).filter(key => !(key in plain) && !key.endsWith("Changed"))
            plain.destroy()
            compare(own.length, 25, own.join(","))
            let refused = false
            try {
                theme.default_bg_color = "red"
            } catch (e) {
                refused = true
            }
            verify(refused)
        }
    }
}
