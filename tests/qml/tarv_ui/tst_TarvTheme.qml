import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    TarvTheme { id: theme }

    TarvTestCase {
        name: "TarvTheme"

        function test_values() {
            const expected = {
                default_text_color: "#a4a4a4", dim_text_color: "#7e7e7e",
                default_text_header_color: "#808080", light_text_color: "#e8e8e8",
                tab_selected_text_color: "#ffffff", default_bg_color: "#202020",
                default_bg_color_popup: "#262626", lighter_bg_color_popup: "#2e2e2e",
                default_bg_unselected_color: "#191919", default_bg_hover_color: "#2a2a2a",
                light_background_color: "#1b1b1b", dark_background_color: "#1b1b1b",
                light_border_color: "#3c3c3c", default_selected_color: "#363636",
                default_selected_color_intense: "#0f4259",
                default_selected_color_intense_opaque: "#26a5de", bevel_dark_color: "#191919",
                bevel_light_color: "#3c3c3c", checkbox_color: "#1e7c46",
                on_indicator_color: "#7cfc00", off_indicator_color: "#696969", bevel_width: "1"
            }
            for (const name in expected)
                compare(String(theme[name]), expected[name], name)
            compare([theme.default_font.pixelSize, theme.small_font.pixelSize, theme.heavy_label.pixelSize,
                     theme.default_font.bold, theme.heavy_label.bold], [14, 11, 14, false, true])
        }

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
