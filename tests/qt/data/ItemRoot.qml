import QtQuick

Item {
    property string label: "default"
    property string labelAtCompletion: ""
    Component.onCompleted: labelAtCompletion = label
}
