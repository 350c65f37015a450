import QtQuick
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "RecessedTextInput's context menu"
    height: 220

    TarvTheme { id: theme }

    GalleryRow {
        title: "right-clicked"
        RecessedTextInput {
            objectName: "screenshotRightClick"
            implicitWidth: 180
            text: "Nothing selected"
        }
    }
}
