import QtQuick
import QtTest
import com.quillonworks.automation_tool_ui 1.0

WindowTestCase {
    id: testCase
    name: "FlatInputWindow"

    Component {
        id: promptComponent
        FlatInputWindow {
            property var answers: []
            property bool visibleWhenAnswered: true
            onAccepted: answered("accepted")
            onCancelled: answered("cancelled")
            onDismissed: answered("dismissed")
            function answered(name) {
                answers = answers.concat([name])
                visibleWhenAnswered = visible
            }
        }
    }

    function createPrompt(properties) {
        return createTemporaryObject(promptComponent, testCase,
                                     Object.assign({ title: "Unsaved Changes", text: "Save first?" },
                                                   properties))
    }

    function test_typeWords_data() { return dialogTypeRows() }

    function test_typeWords(data) {
        checkDialogType(createPrompt({}), data)
    }

    function test_sizeIsFixedAndFollowsTheMessage() {
        const prompt = createPrompt({})
        const oneLine = prompt.height
        prompt.text = "A message long enough to wrap over several lines of a window that is "
                + "four hundred and twenty-five pixels wide, with words to spare.\nAnd a line of its own."
        verify(prompt.height > oneLine + 2 * 14, "taller: " + prompt.height + " than " + oneLine)
        for (const size of ["Width", "Height"]) {
            compare(prompt["minimum" + size], prompt[size.toLowerCase()])
            compare(prompt["maximum" + size], prompt[size.toLowerCase()])
        }
        compare(prompt.width, 425)
        const withField = prompt.height
        prompt.showInputField = false
        verify(prompt.height < withField, "follows the field's visibility")
    }

    function test_textIsShownLiterally() {
        const prompt = createPrompt({ text: "<i>cue 3</i>\nnext" })
        const label = findChild(prompt.contentItem, "messageLabel")
        compare(label.textFormat, Text.PlainText)
        compare(label.lineCount, 2)
    }

    function test_okNeedsMoreThanBlanks() {
        const prompt = createPrompt({})
        showActive(prompt)
        const ok = findChild(prompt.contentItem, "okButton")
        compare(ok.enabled, false)
        keyClick(Qt.Key_Space)
        keyClick(Qt.Key_Space)
        compare(prompt.value, "  ")
        compare(ok.enabled, false)
        keyClick(Qt.Key_Return)
        compare(prompt.visible, true)
        compare(prompt.answers, [])
        keyClick(Qt.Key_A)
        keyClick(Qt.Key_Space)
        compare(ok.enabled, true)
        keyClick(Qt.Key_Return)
        compare(prompt.answers, ["accepted"])
        compare(prompt.value, "  a ")
    }

    function test_answers_data() {
        return [
            { tag: "Return", key: Qt.Key_Return, answers: ["accepted"] },
            { tag: "Enter", key: Qt.Key_Enter, answers: ["accepted"] },
            { tag: "Escape", key: Qt.Key_Escape, answers: ["cancelled"] },
            { tag: "Escape dismisses", key: Qt.Key_Escape, escapeDismisses: true, answers: ["dismissed"] },
            { tag: "OK button", button: "okButton", answers: ["accepted"] },
            { tag: "Cancel button", button: "cancelButton", answers: ["cancelled"] },
            { tag: "frame close", close: true, answers: ["dismissed"] }
        ]
    }

    function test_answers(data) {
        const prompt = createPrompt({ showInputField: false, acceptButtonText: "Save And Close",
                                      cancelButtonText: "Close Without Saving",
                                      escapeDismisses: data.escapeDismisses === true })
        showActive(prompt)
        if (data.key !== undefined)
            keyClick(data.key)
        else if (data.button !== undefined)
            mouseClick(findChild(prompt.contentItem, data.button))
        else
            prompt.close()
        compare(prompt.visible, false)
        // A close of the window by the platform reports its hide later.
        tryCompare(prompt, "answers", data.answers)
        compare(prompt.visibleWhenAnswered, false)
        // Nothing answers twice: neither a second key nor a close of the
        // hidden window.
        keyClick(data.key === undefined ? Qt.Key_Return : data.key)
        prompt.close()
        wait(0)
        compare(prompt.answers, data.answers)
    }
}
