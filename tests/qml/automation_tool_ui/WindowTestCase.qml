import QtQuick
import QtTest

// Base of every test case here: fails a test on binding loops, TypeErrors,
// ReferenceErrors, writes to properties that do not exist and missing images.
TestCase {
    when: windowShown

    function failOnQmlWarnings() {
        failOnWarning(/[Bb]inding loop/)
        failOnWarning(/TypeError/)
        failOnWarning(/ReferenceError/)
        failOnWarning(/non-existent (attached )?property/)
        failOnWarning(/is not a type/)
        failOnWarning(/Unable to assign/)
        failOnWarning(/Cannot open/)
    }

    function init() {
        failOnQmlWarnings()
    }

    // The type words in several letter cases, with the icon and tint each
    // must give.
    function dialogTypeRows() {
        return [
            { tag: "ERROR", type: "ERROR", icon: "qrc:/images/error_icon.svg", tint: "#ff5757" },
            { tag: "error", type: "error", icon: "qrc:/images/error_icon.svg", tint: "#ff5757" },
            { tag: "Warning", type: "Warning", icon: "qrc:/images/warning_icon.svg", tint: "#ffc400" },
            { tag: "info", type: "info", icon: "qrc:/images/info_icon.svg", tint: "#00aeef" },
            { tag: "empty", type: "", icon: "", tint: "#c0c0c0" },
            { tag: "unknown", type: "NOTICE", icon: "", tint: "#c0c0c0" }
        ]
    }

    function checkDialogType(window, data) {
        window.type = data.type
        const icon = findChild(window.contentItem, "icon")
        compare(String(icon.source), data.icon)
        compare(String(findChild(window.contentItem, "iconOverlay").color), data.tint)
        if (data.icon === "")
            compare(icon.height, 0)
        else
            tryCompare(icon, "height", 72)
    }

    // Shows a window and waits until it has the keyboard.
    function showActive(window) {
        window.visible = true
        tryVerify(() => window.active && window.activeFocusItem !== null, 2000, "window active")
    }
}
