import QtQuick

// Selects in `list` the first entry whose name starts with the letters typed
// in quick succession, regardless of letter case, as Qt's own lists do; the
// same letter typed again goes on to the next name that starts with it.
QtObject {
    id: control

    property ListView list
    property string typed: ""

    readonly property Timer pause: Timer {
        interval: 1000
        onTriggered: control.typed = ""
    }

    // Whether `text`, from one key, was taken as a letter of a name.
    function take(text) {
        if (list === null || !/^[^\x00-\x1f\x7f]$/.test(text) || (typed === "" && text === " "))
            return false
        typed += text.toLowerCase()
        pause.restart()
        const repeated = typed.split("").every(letter => letter === typed[0])
        const found = find(typed, typed.length === 1 ? 1 : 0)
        if (found >= 0)
            list.currentIndex = found
        else if (repeated)
            list.currentIndex = Math.max(find(typed[0], 1), list.currentIndex)
        return true
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
