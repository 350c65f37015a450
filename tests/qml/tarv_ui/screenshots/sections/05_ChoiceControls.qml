import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "CustomCheckbox, CustomComboBox and CustomScrollBar"
    height: 420

    TarvTheme { id: theme }

    GalleryRow {
        title: "check boxes"
        CustomCheckbox { checkboxTextStr: "Unchecked" }
        CustomCheckbox { checkboxTextStr: "Checked"; checked: true }
        CustomCheckbox { checkboxTextStr: "Focused"; Component.onCompleted: forceActiveFocus() }
        CustomCheckbox { checkboxTextStr: "<i>Rich</i> text"; checkboxTextColor: "orange" }
    }
    GalleryRow {
        title: "combo boxes"
        CustomComboBox { Layout.preferredWidth: 170; model: ["UDP", "TCP"] }
        CustomComboBox { Layout.preferredWidth: 170; model: ["Disabled"]; enabled: false }
        CustomComboBox {
            Layout.preferredWidth: 170
            model: ["This Device", "Lighting desk", "Video server with a long name", "Sound desk"]
            Timer {
                running: true
                interval: 50
                onTriggered: parent.choices.open()
            }
        }
    }
    GalleryRow {
        title: "scroll bar"
        Rectangle {
            implicitWidth: 170
            implicitHeight: 120
            color: theme.light_background_color
            ListView {
                anchors.fill: parent
                clip: true
                model: 20
                delegate: Text { text: "Row " + index; color: theme.default_text_color; height: 24 }
                ScrollBar.vertical: CustomScrollBar {}
            }
        }
    }
}
