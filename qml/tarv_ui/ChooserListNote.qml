import QtQuick
import com.quillonworks.tarv_ui

// What stands in a chooser's list while it has no entries to show: that the
// folder is being read, that it does not answer (a network share whose
// server has gone, say), or that it does not exist.
Item {
    id: control

    property LocalFolderModel model

    readonly property string path: model ? LocalPaths.pathOf(model.folder) : ""
    readonly property string note: !model ? ""
        : model.notAnswering ? qsTr("The folder \"%1\" does not answer. It may be a network "
                                    + "folder whose server has gone; Up, the path and Cancel "
                                    + "still work.").arg(path)
        : model.loading ? qsTr("Reading the folder…")
        : model.missing ? qsTr("The folder \"%1\" does not exist.").arg(path)
        : ""

    visible: note !== ""

    TarvTheme { id: theme }

    Text {
        objectName: "chooserListNote"
        anchors.centerIn: parent
        width: Math.min(implicitWidth, parent.width - 24)
        text: control.note
        font: theme.default_font
        color: theme.dim_text_color
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        textFormat: Text.PlainText
    }
}
