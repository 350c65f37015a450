import QtQuick
import QtTest

// Base of every test case here: fails a test on binding loops, TypeErrors,
// ReferenceErrors and writes to properties that do not exist.
TestCase {
    when: windowShown

    function failOnQmlWarnings() {
        failOnWarning(/[Bb]inding loop/)
        failOnWarning(/TypeError/)
        failOnWarning(/ReferenceError/)
        failOnWarning(/non-existent (attached )?property/)
        failOnWarning(/is not a type/)
        failOnWarning(/Unable to assign/)
    }

    function init() {
        failOnQmlWarnings()
    }
}
