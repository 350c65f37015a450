import QtQuick
import QtQuick.Layouts
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "TarvCustomSlider, TarvCustomDial and EventIdLabel"

    TarvTheme { id: theme }

    GalleryRow {
        title: "level (dB) / pan / reverb"
        TarvCustomSlider {
            Layout.preferredWidth: 180
            from: 0.04076220398
            to: 1.0
            zeroMark: 0.7866278611
            value: 0.7866278611
            sliderStep: 0.01
            customDisplayFunction: value => (25 * Math.log(value)).toFixed(3)
            customInvertFunction: text => Math.exp(Number(text) / 25)
        }
        TarvCustomSlider { Layout.preferredWidth: 180; from: 0; to: 100; value: 30; zeroMark: 50 }
        TarvCustomSlider { Layout.preferredWidth: 180; from: 0; to: 100; value: 70; showZeroMark: false }
    }
    GalleryRow {
        title: "focused / entry popup"
        TarvCustomSlider { Layout.preferredWidth: 180; value: 0.25; Component.onCompleted: forceActiveFocus() }
        Item {
            Layout.preferredWidth: 220
            Layout.preferredHeight: 60
            TarvCustomSlider { objectName: "screenshotRightClick"; width: 200; value: 0.75 }
        }
    }
    GalleryRow {
        title: "dial: 0 / 0.6 / ctrl / off"
        Item {
            Layout.preferredWidth: 200
            Layout.preferredHeight: 34
            Row {
                y: 4
                spacing: 20
                TarvCustomDial {}
                TarvCustomDial { value: 0.6 }
                TarvCustomDial { value: -0.4; ctrlPressed: true }
                TarvCustomDial { value: 0.3; enabled: false }
            }
        }
    }
    GalleryRow {
        title: "event id"
        EventIdLabel { value: "sfx.3" }
        EventIdLabel {}
    }
}
