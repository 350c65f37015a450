import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    id: section

    title: "CustomTabBar, CustomTabButton, TabButtom and ModeTabButton"

    TarvTheme { id: theme }

    // TabButtom takes these colours by name from the document that holds it.
    property color tab_selected_text_color: theme.tab_selected_text_color
    property color default_text_header_color: theme.default_text_header_color
    property color default_bg_hover_color: theme.default_bg_hover_color
    property color default_bg_color: theme.default_bg_color
    property color default_bg_unselected_color: theme.default_bg_unselected_color
    property color bevel_dark_color: theme.bevel_dark_color
    property color bevel_light_color: theme.bevel_light_color

    GalleryRow {
        title: "second current"
        CustomTabBar {
            Layout.preferredWidth: 520
            currentIndex: 1
            CustomTabButton { text: "Cues"; source: "qrc:/images/schedule.svg" }
            CustomTabButton { text: "Sound Effects"; source: "qrc:/images/audio.svg" }
            CustomTabButton { text: "Network"; enabled: false; source: "qrc:/images/lan.svg" }
        }
    }
    GalleryRow {
        title: "no current tab"
        CustomTabBar {
            Layout.preferredWidth: 520
            CustomTabButton { text: "One" }
            CustomTabButton { text: "Two" }
        }
    }
    GalleryRow {
        title: "TabButtom"
        TabBar {
            spacing: 0
            background: Rectangle { color: theme.default_bg_unselected_color }
            TabButtom { text: "Show"; source: "qrc:/images/schedule.svg" }
            TabButtom { text: "Audio" }
        }
    }
    GalleryRow {
        title: "ModeTabButton"
        TabBar {
            background: Rectangle { color: theme.default_bg_color }
            ModeTabButton { text: "Show"; font: theme.default_font }
            ModeTabButton { text: "SFX"; font: theme.default_font }
            ModeTabButton { text: "Off"; enabled: false }
        }
    }
}
