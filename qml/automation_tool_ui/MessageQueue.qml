import QtQuick

// Shows messages one at a time in `dialog`. A message that comes while
// another is up waits its turn, oldest first, so that none is replaced before
// the operator has seen it. A repeat of one that is up or waiting adds
// nothing. The dialog's owner calls showNext() once the dialog has gone.
QtObject {
    required property FlatDialogWindow dialog
    property var waiting: []

    function same(a, b) {
        return a.title === b.title && a.text === b.text && a.type === b.type
    }

    function post(title, text, type) {
        const message = { title: title, text: text, type: type }
        if (!dialog.visible && waiting.length === 0) {
            show(message)
            return
        }
        const shown = { title: dialog.title, text: dialog.text, type: dialog.type }
        if ((dialog.visible && same(shown, message)) || waiting.some(m => same(m, message)))
            return
        waiting = waiting.concat([message])
    }

    function showNext() {
        if (dialog.visible || waiting.length === 0)
            return
        const next = waiting[0]
        waiting = waiting.slice(1)
        show(next)
    }

    function show(message) {
        dialog.title = message.title
        dialog.text = message.text
        dialog.type = message.type
        dialog.visible = true
    }
}
