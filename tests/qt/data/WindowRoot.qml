import QtQuick
import QtQuick.Window

Window {
    property string label: "default"
    property string labelAtCompletion: ""
    Component.onCompleted: labelAtCompletion = label
}
