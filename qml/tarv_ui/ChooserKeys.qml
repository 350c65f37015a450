import QtQuick

// The keys of a chooser's list: the arrows, Home, End, PageUp and PageDown
// move; Return and Enter ask to open the entry (`chosen`), Backspace to go up
// (`upPressed`); and the first letters of a name typed in quick succession
// select it, regardless of letter case, as in Qt's own lists (the same
// letter again goes on to the next name that starts with it). Keys that
// arrive while the folder is still `loading` wait for its entries and act on
// them in order, as if the operator had waited; Backspace leaves the folder
// at once, and the keys that waited for it with it. Without
// `choosesEntries`, Return, Enter and Backspace are left to the list's owner.
QtObject {
    id: control

    property ListView list
    property bool choosesEntries: true
    property bool loading: true
    property string typed: ""
    property var waiting: []

    signal chosen(int index)
    signal upPressed()

    readonly property Timer pause: Timer {
        interval: 1000
        onTriggered: control.typed = ""
    }

    // Whether the key was taken.
    function take(event) {
        if (!handles(event))
            return false
        if (event.key === Qt.Key_Backspace) {
            forget()
            upPressed()
        } else if (loading || waiting.length > 0)
            waiting.push({ key: event.key, text: event.text })
        else
            act(event.key, event.text)
        return true
    }

    // Acts on the keys that waited, while the entries are there: a key that
    // opens another folder leaves the rest for that folder's entries.
    function replay() {
        while (!loading && waiting.length > 0) {
            const next = waiting.shift()
            act(next.key, next.text)
        }
    }

    function forget() {
        waiting = []
        typed = ""
    }

    function handles(event) {
        if (list === null || (event.modifiers & ~(Qt.ShiftModifier | Qt.KeypadModifier)))
            return false
        const choosing = [Qt.Key_Return, Qt.Key_Enter, Qt.Key_Backspace].includes(event.key)
        if (choosing)
            return choosesEntries
        return [Qt.Key_Up, Qt.Key_Down, Qt.Key_Home, Qt.Key_End, Qt.Key_PageUp, Qt.Key_PageDown]
                   .includes(event.key) || isLetter(event.text)
    }

    function isLetter(text) {
        return /^[^\x00-\x1f\x7f]$/.test(text) && !(typed === "" && text === " ")
    }

    function act(key, text) {
        // The list moves its selection with a change of the folder only
        // when it is next drawn: a key pressed before then acts on it now.
        list.forceLayout()
        const last = list.count - 1
        const page = Math.max(1, Math.floor(list.height / 24) - 1)
        const moveTo = row => list.currentIndex = Math.min(Math.max(row, 0), last)
        switch (key) {
        case Qt.Key_Up: moveTo(list.currentIndex - 1); break
        case Qt.Key_Down: moveTo(list.currentIndex + 1); break
        case Qt.Key_Home: moveTo(0); break
        case Qt.Key_End: moveTo(last); break
        case Qt.Key_PageUp: moveTo(list.currentIndex - page); break
        case Qt.Key_PageDown: moveTo(list.currentIndex + page); break
        case Qt.Key_Return:
        case Qt.Key_Enter: chosen(list.currentIndex); break
        default: select(text)
        }
    }

    function select(text) {
        typed += text.toLowerCase()
        pause.restart()
        const found = find(typed, typed.length === 1 ? 1 : 0)
        if (found >= 0)
            list.currentIndex = found
        else if (typed.split("").every(letter => letter === typed[0]))
            list.currentIndex = Math.max(find(typed[0], 1), list.currentIndex)
    }

    // The first entry from the current one on (or past it) that starts with
    // `prefix`, going round; -1 without one.
    function find(prefix, offset) {
        const count = list.count
        const start = list.currentIndex < 0 ? 0 : list.currentIndex + offset
        for (let step = 0; step < count; ++step) {
            const row = (start + step) % count
            if (list.model.fileName(row).toLowerCase().startsWith(prefix))
                return row
        }
        return -1
    }
}
