import QtQuick
import QtQuick.Layouts
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "CustomSpinBox and RecessedSpinBox"

    TarvTheme { id: theme }

    GalleryRow {
        title: "custom: 0 / 42 / \u221E"
        CustomSpinBox { Layout.preferredWidth: 140; intValue: 0 }
        CustomSpinBox { Layout.preferredWidth: 140; intValue: 42 }
        CustomSpinBox { Layout.preferredWidth: 140; underflowWithInfinite: true; from: 1; intValue: 0 }
    }
    GalleryRow {
        title: "recessed: \u221E / 5 / 99"
        RecessedSpinBox {}
        RecessedSpinBox { defaultValue: 5 }
        RecessedSpinBox { defaultValue: 99; inputWidth: 70 }
    }
}
