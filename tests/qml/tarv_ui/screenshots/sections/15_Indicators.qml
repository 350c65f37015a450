import QtQuick
import QtQuick.Layouts
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "WaitIndicator, VolumeIndicatorSegmented, FlatProgressBar and SplashWindow"

    TarvTheme { id: theme }

    GalleryRow {
        title: "wait: 16 px / 32 px"
        WaitIndicator { id: smallWait; Layout.preferredWidth: 16; Layout.preferredHeight: 16 }
        WaitIndicator { id: largeWait }
        Component.onCompleted: {
            smallWait.start(2)
            largeWait.start(3)
        }
    }
    GalleryRow {
        title: "level: 0 / -6 dB / 0 dB"
        VolumeIndicatorSegmented { Layout.preferredWidth: 180; Layout.preferredHeight: 14; value: 0 }
        VolumeIndicatorSegmented { Layout.preferredWidth: 180; Layout.preferredHeight: 14; value: 0.5 }
        VolumeIndicatorSegmented { Layout.preferredWidth: 180; Layout.preferredHeight: 14; value: 1 }
    }
    GalleryRow {
        title: "progress: 3 % / 40 % / full"
        FlatProgressBar { Layout.preferredWidth: 180; value: 0.03 }
        FlatProgressBar { Layout.preferredWidth: 180; value: 0.4 }
        FlatProgressBar { Layout.preferredWidth: 180; value: 1 }
    }
    // The splash is a window of its own; this is what it shows.
    GalleryRow {
        title: "splash content"
        Rectangle {
            Layout.preferredWidth: logo.width + 24
            Layout.preferredHeight: logo.height + 24
            color: theme.default_bg_color
            border.color: theme.light_border_color
            Image { id: logo; x: 12; y: 12; width: 250; fillMode: Image.PreserveAspectFit; source: "qrc:/images/splash_logo.png" }
        }
    }
}
