import QtQuick
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "BasicBevel, CustomBevel, RecessedBevel and FocusHighlight"

    TarvTheme { id: theme }

    GalleryRow {
        title: "raised / sunken"
        Rectangle { width: 120; height: 40; color: theme.default_bg_color; BasicBevel {} }
        Rectangle { width: 120; height: 40; color: "#2a2a2a"; CustomBevel {} }
        Rectangle { width: 120; height: 40; color: "#282828"; RecessedBevel {} }
        Rectangle { width: 120; height: 40; color: "#505050"; BasicBevel { bevel_width: 3 } }
    }
    GalleryRow {
        title: "focus wash"
        Rectangle {
            width: 120
            height: 40
            color: "#525252"
            Text { anchors.centerIn: parent; text: "Focused"; color: "white" }
            FocusHighlight { anchors.fill: parent }
        }
    }
}
