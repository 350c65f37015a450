import QtQuick
import QtQuick.Layouts
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "RecessedTextInput and CustomTextInput"

    TarvTheme { id: theme }

    GalleryRow {
        title: "resting / focused"
        RecessedTextInput { implicitWidth: 180; text: "Cue 12" }
        RecessedTextInput { implicitWidth: 180; text: "Selected on focus"; Component.onCompleted: forceActiveFocus() }
    }
    GalleryRow {
        title: "not editable"
        RecessedTextInput { implicitWidth: 180; text: "Read only"; editable: false }
        RecessedTextInput { implicitWidth: 180; text: "Own background"; backgroundColor: "#303040" }
    }
    GalleryRow {
        title: "plain"
        CustomTextInput { Layout.preferredWidth: 180; text: "Spin box editor" }
    }
}
