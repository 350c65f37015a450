import QtQuick
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "FlatButton and StandardEditButtons"

    TarvTheme { id: theme }

    GalleryRow {
        title: "resting / default"
        FlatButton { text: "Cancel" }
        FlatButton { text: "OK"; isDefault: true }
        FlatButton { text: "GO"; normalColor: "#006635"; activeColor: "#009950"; implicitWidth: 80; implicitHeight: 40 }
    }
    GalleryRow {
        title: "focused / pressed"
        FlatButton { id: focused; text: "Focused"; Component.onCompleted: forceActiveFocus() }
        FlatButton { text: "Pressed"; objectName: "screenshotPress"; focusPolicy: Qt.NoFocus }
    }
    GalleryRow {
        title: "disabled"
        FlatButton { text: "Disabled"; enabled: false }
        FlatButton { text: "Default"; isDefault: true; enabled: false }
    }
    GalleryRow {
        title: "edit buttons"
        StandardEditButtons {}
    }
}
