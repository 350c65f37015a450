import QtQuick
import QtQuick.Layouts
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    title: "File, directory and text molecules"

    TarvTheme { id: theme }

    GalleryRow {
        title: "directory / file"
        DirectoryInputControl { Layout.preferredWidth: 280; text: "Output Folder"; value: "/home/show/Audio Files" }
        FileInputControl { Layout.preferredWidth: 280; spacing: 15; value: "/home/show/Grüße – intro.wav" }
    }
    GalleryRow {
        title: "file list / package"
        FileDisplay {
            Layout.preferredWidth: 280
            Layout.preferredHeight: 110
            text: "Files"
            model: ["intro.wav", "thunder.wav", "rain loop.wav", "door slam.wav", "crowd.wav", "bell.wav"]
        }
        PackageControl { Layout.preferredWidth: 280; toggleText: "Include audio"; toggled: true }
    }
    GalleryRow {
        title: "text input / text area"
        TextInputControl { Layout.preferredWidth: 280; text: "Name"; value: "Thunder" }
        RecessedTextArea {
            Layout.preferredWidth: 280
            Layout.preferredHeight: 70
            textIndent: 5
            text: "Notes for the operator:\nwait for the blackout."
        }
    }
}
