import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// Dark menu with 40-pixel rows, a submenu arrow and a column that shows each
// entry's shortcut in the notation of `platform`.
Menu {
    id: menu

    property string platform: "unknown"
    property string backgroundColor: theme.lighter_bg_color_popup

    // Held in a property rather than as a child: an item child of a Menu
    // would become one of its entries.
    readonly property TarvTheme theme: TarvTheme {}

    // Replaces every occurrence of each [from, to] pair, in order.
    function replaceEach(text, pairs) {
        let result = text
        for (const pair of pairs)
            result = result.split(pair[0]).join(pair[1])
        return result
    }

    function formatShortCutAsNativeString(shortcut) {
        const text = shortcut === undefined || shortcut === null ? "" : String(shortcut)
        if (text === "")
            return ""
        const target = platform.toLowerCase()
        if (target === "apple") {
            return replaceEach(text.toUpperCase(), [["CMD", "\u2318"], ["CTRL", "^"],
                                                    ["SHIFT", "\u21E7"], ["BACKSPACE", "\u232B"],
                                                    ["ALT", "\u2325"], ["+", ""], [" ", "Space"],
                                                    ["RIGHT", "\u25B6"]])
        }
        if (target === "windows") {
            return replaceEach(text.toUpperCase(), [["CMD", "INVALID"], ["CTRL", "Ctrl"],
                                                    ["SHIFT", "Shift"], ["ALT", "Alt"],
                                                    ["BACKSPACE", "Backspace"], [" ", "Space"],
                                                    ["RIGHT", "Right Arrow"]])
        }
        console.log("Unknown Platform for Shortcut Translation", text)
        return text
    }

    // Inside the rows `menu` would name the row's own property (the menu that
    // holds it, null until the row is added), so they reach this menu as
    // menuItem.menu.
    delegate: MenuItem {
        id: menuItem

        implicitHeight: 40

        arrow: Canvas {
            x: parent.width - width
            implicitWidth: 40
            implicitHeight: 40
            visible: menuItem.subMenu !== null
            onPaint: {
                const ctx = getContext("2d")
                ctx.clearRect(0, 0, width, height)
                ctx.fillStyle = lit ? "#ffffff" : "#AAAAAA"
                ctx.beginPath()
                ctx.moveTo(15, 15)
                ctx.lineTo(width - 15, height / 2)
                ctx.lineTo(15, height - 15)
                ctx.closePath()
                ctx.fill()
            }
            readonly property bool lit: menuItem.highlighted
            onLitChanged: requestPaint()
        }

        contentItem: RowLayout {
            Text {
                objectName: "menuEntryText"
                Layout.fillWidth: true
                text: menuItem.text
                font.pixelSize: theme.default_font.pixelSize
                color: menuItem.enabled ? theme.light_text_color : Qt.darker(theme.light_text_color, 2.5)
                horizontalAlignment: Text.AlignLeft
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
            }
            Text {
                objectName: "menuShortcutText"
                text: menuItem.menu && menuItem.action && menuItem.action.shortcut
                      ? menuItem.menu.formatShortCutAsNativeString(menuItem.action.shortcut) : ""
                font.pixelSize: theme.default_font.pixelSize
                color: Qt.darker(theme.light_text_color, 2.5)
                visible: menuItem.subMenu === null
            }
            Item {}
        }

        background: Rectangle {
            implicitHeight: 40
            color: menuItem.highlighted ? theme.default_selected_color
                                        : menuItem.menu ? menuItem.menu.backgroundColor : "transparent"
        }
    }
}
