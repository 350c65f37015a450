import QtQuick
import QtQuick.Layouts
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "BubbleButton and BubbleButtonBar"

    TarvTheme { id: theme }

    GalleryRow {
        title: "bar: rest / toggled / radiant"
        BubbleButtonBar {
            BubbleButton { imageSource: "qrc:/images/audio.svg" }
            BubbleButton { imageSource: "qrc:/images/lan.svg"; toggled: true; colorToggledOn: true }
            BubbleButton { imageSource: "qrc:/images/schedule.svg"; radiant: true }
            BubbleButton { imageSource: "qrc:/images/addcircle.svg"; showDownChevron: true }
        }
    }
    GalleryRow {
        title: "caption / pressed / disabled"
        BubbleButtonBar {
            pad: 4
            BubbleButton { imageSource: "qrc:/images/edit_edit.svg"; text: "Edit"; showText: true }
            BubbleButton { objectName: "screenshotPress"; imageSource: "qrc:/images/arrow_up.svg"; showDownChevron: true }
            BubbleButton { imageSource: "qrc:/images/edit_delete.svg"; enabled: false; radiant: true }
            BubbleButton { imageSource: "qrc:/images/audio.svg"; Component.onCompleted: forceActiveFocus() }
        }
    }
}
