import QtQuick 2.15
import QtQuick.Controls 2.15

// A context menu as wide as its widest entry that dims disabled entries. Its
// colours come from the `theme` of the document that places it.
Menu {
    id: contextMenu

    width: {
        let widest = 0
        let padding = 0
        for (let i = 0; i < count; ++i) {
            const entry = itemAt(i)
            if (!entry)
                continue
            if (entry.contentItem)
                widest = Math.max(widest, entry.contentItem.implicitWidth)
            padding = Math.max(padding, entry.padding)
        }
        return widest + 2 * padding + 20
    }

    background: Rectangle {
        color: theme.lighter_bg_color_popup
    }

    delegate: MenuItem {
        id: menuItem

        implicitWidth: contextMenu.contentItem ? contextMenu.contentItem.width : 0
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

        contentItem: Text {
            leftPadding: menuItem.checkable && menuItem.indicator ? menuItem.indicator.width : 0
            rightPadding: menuItem.subMenu !== null ? menuItem.arrow.width : 0
            text: menuItem.text
            font: menuItem.font
            color: theme.default_text_color
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }

        background: Rectangle {
            color: menuItem.highlighted ? Qt.lighter(theme.lighter_bg_color_popup, 1.25) : "transparent"
            opacity: menuItem.enabled ? 1 : 0.3
        }
    }
}
