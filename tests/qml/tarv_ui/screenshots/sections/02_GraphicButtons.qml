import QtQuick
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "GraphicButton and SfxPlayButton"

    TarvTheme { id: theme }

    GalleryRow {
        title: "icons"
        GraphicButton { text: "New Cue"; imageSource: "qrc:/images/addcircle.svg" }
        GraphicButton { text: "Add Wait"; imageSource: "qrc:/images/schedule.svg" }
        GraphicButton { text: "Delete"; imageSource: "qrc:/images/edit_delete.svg" }
        GraphicButton { text: "Edit"; imageSource: "qrc:/images/edit_edit.svg" }
        GraphicButton { text: "Move Up"; imageSource: "qrc:/images/arrow_up.svg" }
        GraphicButton { text: "Move Down"; imageSource: "qrc:/images/arrow_down.svg" }
        GraphicButton { text: "New OSC"; imageSource: "qrc:/images/lan.svg" }
        GraphicButton { text: "New Audio"; imageSource: "qrc:/images/audio.svg" }
    }
    GalleryRow {
        title: "pressed / disabled / focus"
        GraphicButton { text: "Pressed"; imageSource: "qrc:/images/addcircle.svg"; objectName: "screenshotPress" }
        GraphicButton { text: "Disabled"; imageSource: "qrc:/images/edit_delete.svg"; enabled: false }
        GraphicButton {
            id: focusedButton
            text: "Focused"
            imageSource: "qrc:/images/edit_edit.svg"
            Component.onCompleted: children[1].forceActiveFocus()
        }
    }
    GalleryRow {
        title: "caption only"
        GraphicButton { text: "Caption" }
        GraphicButton { text: "Hidden icon"; imageSource: "qrc:/images/lan.svg"; showImage: false }
    }
    GalleryRow {
        title: "play / stop"
        SfxPlayButton { width: 24; height: 24 }
        SfxPlayButton { width: 24; height: 24; playing: true }
    }
}
