import QtQuick
import QtQuick.Controls
import QtQuick.Window
import com.quillonworks.tarv_ui

// The main window's menus and every key of the window. The menus sit inside
// the window (a desktop without a global menu shows no native one). Each key
// is one Shortcut, registered once and honouring its enabled state; a menu
// entry runs its key's command, so both roads run the same code.
MenuBar {
    id: menuBar

    property bool canDelete: false
    property bool canSave: true
    property bool disabledCuesAreHidden: false
    property bool isPanicMode: false
    property bool disableStopAllAudioShortcut: false
    // Qt holds back a window's shortcuts while one of its menus is open, and
    // a menu closes on Escape only while it has the keyboard itself: a menu
    // left open without it kept Ctrl+S, every other command key and Escape
    // from the window. The keys with Ctrl and Escape are therefore the
    // application's, acting while this window has the keyboard and no other
    // popup of it (the About box, the Open dialog) has: they close any open
    // menu, and the keys with Ctrl then run their command. Space and the
    // arrows still go to an open menu.
    readonly property bool commandKeysActive: Window.window !== null
                                              && Window.window.activeFocusItem !== null
                                              && !keyboardInOtherPopup(Window.window.activeFocusItem)

    // Whether `focusItem` lies in a popup of the window other than these menus.
    function keyboardInOtherPopup(focusItem) {
        for (let item = focusItem; item; item = item.parent) {
            if (item.parent !== Overlay.overlay)
                continue
            for (let i = 0; i < count; ++i) {
                const menu = menuAt(i)
                if (menu && menu.contentItem && menu.contentItem.parent === item)
                    return false
            }
            return true
        }
        return false
    }

    // A deployment value: where the Help menu's support entry leads.
    property url supportUrl: "https://www.quillonworks.com/support"

    signal aboutClicked()
    signal deleteClicked()
    signal goClicked()
    signal hideDisabledClicked()
    signal newClicked()
    signal openClicked()
    signal saveAsClicked()
    signal saveClicked()
    signal oscManagerClicked()
    signal sfxManagerClicked()
    signal stopAudioClicked()
    signal stopAllClicked(bool panicMode)
    signal moveSelectUpClicked()
    signal moveSelectDownClicked()

    // A first Escape stops normally and opens a 250 ms window in which a
    // second one stops in panic mode; a third is a normal stop again. Every
    // press arms a timer of its own, and any expiry closes the window. The
    // timer is destroyed once it has fired.
    function stopAll() {
        const panic = isPanicMode
        stopAllClicked(panic)
        if (panic) {
            isPanicMode = false
            return
        }
        isPanicMode = true
        const timer = Qt.createQmlObject("import QtQuick 2.0; Timer {}", menuBar, "panicTimer")
        timer.interval = 250
        timer.triggered.connect(function () {
            menuBar.isPanicMode = false
            timer.destroy()
        })
        timer.start()
    }

    // Closes every open menu; true when one was open.
    function closeMenus() {
        let closed = false
        for (let i = 0; i < count; ++i) {
            const menu = menuAt(i)
            if (menu && menu.visible) {
                menu.close()
                closed = true
            }
        }
        return closed
    }

    // The bar forgets that a menu is open only when the menu closes away
    // from the pointer, or through the bar. Closed otherwise (by a key, or an
    // entry chosen with Return) while the pointer rests on its title, the
    // bar would take the next click on that title for closing the menu and
    // only highlight it, and open whichever title the pointer crossed. The
    // title's own trigger, as a click on it would, ends that mode; the
    // keyboard stays where it was.
    function leaveOpenMenuMode(title) {
        if (!title.highlighted || !title.hovered || title.pressed || title.menu.visible)
            return
        const focusItem = Window.window ? Window.window.activeFocusItem : null
        title.triggered()
        if (focusItem)
            focusItem.forceActiveFocus()
    }

    readonly property TarvTheme theme: TarvTheme {}

    CommandKey { id: newKey; sequence: "ctrl+n"; onRun: menuBar.newClicked() }
    CommandKey { id: openKey; sequence: "ctrl+o"; onRun: menuBar.openClicked() }
    CommandKey { id: saveKey; sequence: "ctrl+s"; allowed: menuBar.canSave; onRun: menuBar.saveClicked() }
    CommandKey { id: saveAsKey; sequence: "ctrl+shift+a"; allowed: menuBar.canSave; onRun: menuBar.saveAsClicked() }
    // Held down, Backspace must not delete one row after another (there is
    // no undo), nor Space fire one cue after another.
    Shortcut {
        id: deleteKey
        sequence: "Backspace"
        autoRepeat: false
        enabled: menuBar.canDelete
        onActivated: menuBar.deleteClicked()
    }
    Shortcut { id: goKey; sequence: " "; autoRepeat: false; onActivated: menuBar.goClicked() }
    Shortcut { id: stopAudioKey; sequence: "ctrl+esc"; onActivated: menuBar.stopAudioClicked() }
    // Escape closes an open menu, whatever has the keyboard, and only then
    // stops all audio.
    CommandKey {
        id: stopAllKey
        sequence: "esc"
        autoRepeat: false
        allowed: !menuBar.disableStopAllAudioShortcut
        closesOpenMenuOnly: true
        onRun: menuBar.stopAll()
    }
    Shortcut { id: upKey; sequence: "Up"; onActivated: menuBar.moveSelectUpClicked() }
    Shortcut { id: downKey; sequence: "Down"; onActivated: menuBar.moveSelectDownClicked() }
    // Other systems name this key "cmd+h", which Qt does not know here.
    CommandKey { id: hideDisabledKey; sequence: "Ctrl+H"; onRun: menuBar.hideDisabledClicked() }
    CommandKey { id: oscManagerKey; sequence: "Shift+Ctrl+O"; onRun: menuBar.oscManagerClicked() }
    CommandKey { id: sfxManagerKey; sequence: "Shift+Ctrl+s"; onRun: menuBar.sfxManagerClicked() }

    // A key that an open menu does not hold back (see commandKeysActive). Its
    // menu entry runs the command directly.
    component CommandKey: Shortcut {
        property bool allowed: true
        // With a menu open, the key closes it and does nothing else.
        property bool closesOpenMenuOnly: false
        signal run()

        context: Qt.ApplicationShortcut
        enabled: allowed && menuBar.commandKeysActive
        onActivated: {
            if (menuBar.closeMenus() && closesOpenMenuOnly)
                return
            run()
        }
    }

    CommandMenu {
        id: fileMenu
        title: qsTr("&File")
        CommandMenuItem { text: qsTr("New"); shortcut: newKey }
        CommandMenuItem { text: qsTr("Open..."); shortcut: openKey }
        CommandMenuItem { text: qsTr("Save"); shortcut: saveKey }
        CommandMenuItem { text: qsTr("Save As..."); shortcut: saveAsKey }
    }
    CommandMenu {
        title: qsTr("Edit")
        CommandMenuItem { id: deleteItem; text: qsTr("Delete"); shortcut: deleteKey }
    }
    CommandMenu {
        title: qsTr("Cues")
        CommandMenuItem { text: qsTr("Go"); shortcut: goKey }
        TarvCustomMenuSeparator {}
        CommandMenuItem { text: qsTr("Stop Current Audio"); shortcut: stopAudioKey; visible: false }
        CommandMenuItem { text: qsTr("Stop Audio"); shortcut: stopAllKey }
        TarvCustomMenuSeparator {}
        CommandMenuItem { text: qsTr("Move Selection Up"); shortcut: upKey }
        CommandMenuItem { text: qsTr("Move Selection Down"); shortcut: downKey }
        TarvCustomMenuSeparator {}
        CommandMenuItem { id: mnuHideDisabled; text: qsTr("Toggle Disabled Cues"); shortcut: hideDisabledKey }
    }
    CommandMenu {
        title: qsTr("Tools")
        CommandMenuItem { id: oscCommandItem; text: qsTr("OSC Manager"); shortcut: oscManagerKey }
        CommandMenuItem { id: sfxManagerItem; text: qsTr("SFX Manager"); shortcut: sfxManagerKey }
    }
    CommandMenu {
        id: helpMenu
        title: qsTr("Help")
        CommandMenuItem { text: "About TARV|Cue"; onTriggered: menuBar.aboutClicked() }
        CommandMenuItem { text: "TARV Support Center"; onTriggered: Qt.openUrlExternally(menuBar.supportUrl) }
    }

    delegate: MenuBarItem {
        id: barItem

        // Whether the menu closed without a click on this title. Checked once
        // the closing event has been handled: a click that closed the menu
        // (its press still down, or released and the title triggered) is
        // left to the bar.
        property bool menuClosedWithoutClick: false

        function afterMenuClosed() {
            if (menuClosedWithoutClick)
                menuBar.leaveOpenMenuMode(barItem)
            menuClosedWithoutClick = false
        }

        // A click on the title of the open menu has the bar close it once
        // this handler has run: that closing is the click's own.
        property bool closingByClick: false

        onTriggered: {
            menuClosedWithoutClick = false
            closingByClick = menu !== null && menu.visible
        }

        Connections {
            target: barItem.menu
            function onAboutToShow() { barItem.closingByClick = false }
            function onAboutToHide() {
                if (barItem.closingByClick) {
                    barItem.closingByClick = false
                    return
                }
                barItem.menuClosedWithoutClick = true
                Qt.callLater(barItem.afterMenuClosed)
            }
        }

        contentItem: Text {
            text: barItem.text.split("&").join("")
            font: menuBar.theme.default_font
            color: barItem.highlighted ? "white" : menuBar.theme.light_text_color
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            implicitHeight: 28
            color: barItem.highlighted ? menuBar.theme.default_selected_color_intense : "transparent"
        }
    }

    background: Rectangle {
        implicitHeight: 28
        color: menuBar.theme.dark_background_color
    }
}
