import QtQuick

Item {
    width: "wide"
}
