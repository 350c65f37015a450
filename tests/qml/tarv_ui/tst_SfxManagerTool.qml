import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

Item {
    id: page
    width: 400
    height: 300

    ListModel {
        id: sources
        ListElement { displayname: "View All Instances"; sfxid: "" }
        ListElement { displayname: "Bell Chime"; sfxid: "chime.bell" }
        ListElement { displayname: "Short Beep"; sfxid: "beep.short" }
    }

    ListModel {
        id: instances
        ListElement { eventId: "sfx.1"; summary: "Door Bell"; isReady: true }
        ListElement { eventId: "sfx.2"; summary: "Short Beep"; isReady: true }
        ListElement { eventId: "sfx.3"; summary: "Not Loaded"; isReady: false }
    }

    Component {
        id: managerComponent
        SfxManagerTool { visible: false }
    }

    SignalSpy { id: playSpy; signalName: "playSfx" }
    SignalSpy { id: selectSpy; signalName: "soundEffectSelected" }
    SignalSpy { id: addSpy; signalName: "addSoundEffectInstanceClicked" }
    SignalSpy { id: editSpy; signalName: "editSoundEffectInstanceClicked" }
    SignalSpy { id: closeSpy; signalName: "requestClose" }

    TarvTestCase {
        name: "SfxManagerTool"

        property var manager: null

        function init() {
            failOnQmlWarnings()
            failOnWarning(/intervals/)
            manager = createTemporaryObject(managerComponent, page)
            for (const spy of [playSpy, selectSpy, addSpy, editSpy, closeSpy]) {
                spy.target = manager
                spy.clear()
            }
            // As the controller shows it.
            manager.availableSoundEffectsModel = sources
            manager.soundEffectInstancesModel = instances
            manager.selectedSfxEffectId = ""
            manager.visible = true
            manager.requestActivate()
            tryCompare(manager, "active", true)
            waitForRendering(manager.contentItem)
        }

        function child(name) {
            const found = findChild(manager.contentItem, name)
            verify(found, name)
            return found
        }

        function row(index) {
            const list = child("instanceList")
            tryVerify(() => list.itemAtIndex(index) !== null)
            return list.itemAtIndex(index)
        }

        function playButton(index) {
            return findChild(row(index), "playButton")
        }

        function buttonsEnabled() {
            return ["createButton", "editButton", "deleteButton"].map(name => child(name).enabled)
        }

        function test_opensOnAllInstancesWithNothingSelected() {
            compare(child("sourceList").currentIndex, 0)
            compare(selectSpy.signalArguments[0][0], 0)
            verify(child("sourceList").activeFocus)
            compare(manager.selectedSfxInstanceEventId, "")
            compare(buttonsEnabled(), [true, false, false])
            child("createButton").clicked()
            compare(addSpy.signalArguments[0][0], "")
        }

        function test_choosingASourceClearsTheInstanceSelection() {
            mouseClick(row(1), 20, 20)
            compare(manager.selectedSfxInstanceEventId, "sfx.2")
            compare(buttonsEnabled(), [true, true, true])
            keyClick(Qt.Key_Tab, Qt.ShiftModifier)
            child("sourceList").forceActiveFocus()
            keyClick(Qt.Key_Down)
            compare(manager.selectedSfxEffectId, "chime.bell")
            compare(selectSpy.signalArguments[selectSpy.count - 1][0], 1)
            compare(manager.selectedSfxInstanceEventId, "")
            compare(buttonsEnabled(), [true, false, false])
            keyClick(Qt.Key_Space)
            compare(addSpy.signalArguments[0][0], "chime.bell")
        }

        function test_rowsNotReadyTakeNoClicks() {
            mouseClick(row(2), 20, 20)
            mouseClick(playButton(2))
            mouseDoubleClickSequence(row(2), 20, 20)
            compare([manager.selectedSfxInstanceEventId, playSpy.count, editSpy.count], ["", 0, 0])
        }

        function test_doubleClickEditsAReadyRow() {
            mouseDoubleClickSequence(row(0), 20, 20)
            compare(editSpy.signalArguments[0][0], "sfx.1")
        }

        function test_everyWayOfClosingRequestsCloseOnce_data() {
            return [ { tag: "escape", key: Qt.Key_Escape }, { tag: "return", key: Qt.Key_Return },
                     { tag: "close button" }, { tag: "title bar" } ]
        }

        function test_everyWayOfClosingRequestsCloseOnce(data) {
            if (data.key !== undefined)
                keyClick(data.key)
            else if (data.tag === "close button")
                mouseClick(child("closeButton"))
            else
                manager.close()
            compare(closeSpy.count, 1)
            compare(manager.visible, false)
        }
    }
}
