import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    TarvTheme { id: theme }

    TarvTestCase {
        name: "TarvTheme"

        function test_colours_data() {
            return [
                { tag: "default_text_color", expected: "#a4a4a4" },
                { tag: "dim_text_color", expected: "#7e7e7e" },
                { tag: "default_text_header_color", expected: "#808080" },
                { tag: "light_text_color", expected: "#e8e8e8" },
                { tag: "tab_selected_text_color", expected: "#ffffff" },
                { tag: "default_bg_color", expected: "#202020" },
                { tag: "default_bg_color_popup", expected: "#262626" },
                { tag: "lighter_bg_color_popup", expected: "#2e2e2e" },
                { tag: "default_bg_unselected_color", expected: "#191919" },
                { tag: "default_bg_hover_color", expected: "#2a2a2a" },
                { tag: "light_background_color", expected: "#1b1b1b" },
                { tag: "dark_background_color", expected: "#1b1b1b" },
                { tag: "light_border_color", expected: "#3c3c3c" },
                { tag: "default_selected_color", expected: "#363636" },
                { tag: "default_selected_color_intense", expected: "#0f4259" },
                { tag: "default_selected_color_intense_opaque", expected: "#26a5de" },
                { tag: "bevel_dark_color", expected: "#191919" },
                { tag: "bevel_light_color", expected: "#3c3c3c" },
                { tag: "checkbox_color", expected: "#1e7c46" },
                { tag: "on_indicator_color", expected: "#7cfc00" },
                { tag: "off_indicator_color", expected: "#696969" },
            ]
        }

        function test_colours(data) {
            compare(String(theme[data.tag]), data.expected)
            compare(theme[data.tag].a, 1, "opaque")
        }

        function test_fontsAndWidth() {
            compare(theme.default_font.pixelSize, 14)
            compare(theme.default_font.bold, false)
            compare(theme.small_font.pixelSize, 11)
            compare(theme.heavy_label.pixelSize, 14)
            compare(theme.heavy_label.bold, true)
            compare(theme.bevel_width, 1)
        }

        function test_readOnly() {
            let refused = false
            try {
                theme.default_bg_color = "red"
            } catch (e) {
                refused = true
            }
            verify(refused)
            compare(String(theme.default_bg_color), "#202020")
        }

        function test_declaresExactlyTheThemeProperties() {
            const plain = Qt.createQmlObject("import QtQuick; Item {}", theme)
            const own = Object.keys(theme).filter(key => !(key in plain) && !key.endsWith("Changed"))
            plain.destroy()
            compare(own.length, 25, own.join(","))
        }
    }
}
