import QtQuick
import QtQuick.Layouts
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "CustomTwoColumnListView and HeaderLabelDrag"

    TarvTheme { id: theme }

    GalleryRow {
        title: "focused / unfocused"
        CustomTwoColumnListView {
            Layout.preferredWidth: 260
            Layout.preferredHeight: 120
            currentIndex: 1
            model: destinations
            Component.onCompleted: forceActiveFocus()
        }
        CustomTwoColumnListView {
            Layout.preferredWidth: 260
            Layout.preferredHeight: 120
            model: destinations
        }
    }
    GalleryRow {
        title: "column grips"
        Rectangle {
            Layout.preferredWidth: 400
            Layout.preferredHeight: 24
            color: theme.default_bg_color

            Item { id: spacer; width: 10; height: 24 }
            Text {
                id: statusLabel
                x: spacer.width + 3
                width: grip.desiredWidth
                height: 24
                text: "Status"
                verticalAlignment: Text.AlignVCenter
                font: theme.heavy_label
                color: theme.default_text_color
            }
            HeaderLabelDrag { id: grip; controlToLeft: statusLabel; controlToFarLeft: spacer; desiredWidth: 80; height: 24 }
            Text {
                id: nameLabel
                x: grip.x + grip.width + 3
                width: nameGrip.desiredWidth
                height: 24
                text: "Cue Name"
                verticalAlignment: Text.AlignVCenter
                font: theme.heavy_label
                color: theme.default_text_color
            }
            HeaderLabelDrag { id: nameGrip; controlToLeft: nameLabel; controlToFarLeft: grip; desiredWidth: 160; height: 24 }
        }
    }

    ListModel {
        id: destinations
        ListElement { first: "This Device"; second: "127.0.0.1:8000" }
        ListElement { first: "Lighting Desk"; second: "10.0.0.20:8000" }
        ListElement { first: "A destination with a very long name"; second: "10.0.0.30:9000" }
    }
}
