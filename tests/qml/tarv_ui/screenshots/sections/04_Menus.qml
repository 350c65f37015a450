import QtQuick
import QtQuick.Controls
import com.quillonworks.tarv_ui 1.0
import ".."

GallerySection {
    id: section
    title: "TarvCustomMenu, TarvMenuItem, separator, CustomContextMenu and TarvToolTip"

    TarvTheme { id: theme }

    GalleryRow {
        title: "menus (open)"
        Item {
            implicitWidth: 260
            implicitHeight: 250
            TarvCustomMenu {
                id: menu
                platform: "windows"
                Action { text: "Save"; shortcut: "Ctrl+S" }
                Action { text: "Delete word"; shortcut: "Ctrl+Backspace" }
                Action { text: "Disabled"; enabled: false }
                TarvCustomMenuSeparator {}
                TarvMenuItem { menuText: "Menu item" }
                Menu { title: "Submenu"; Action { text: "Inner" } }
            }
        }
        Item {
            implicitWidth: 200
            implicitHeight: 250
            CustomContextMenu {
                id: context
                Action { text: "Copy" }
                Action { text: "Disabled entry"; enabled: false }
                Action { text: "Checkable"; checkable: true; checked: true }
            }
        }
    }
    GalleryRow {
        title: "tooltip"
        Item {
            implicitWidth: 120
            implicitHeight: 30
        }
        FlatButton {
            text: "Hover target"
            TarvToolTip { text: "A tooltip"; visible: true; delay: 500 }
        }
    }

    // Popups open once the window exists.
    Timer {
        running: true
        interval: 50
        onTriggered: {
            menu.open()
            context.open()
        }
    }
}
