import QtQuick
import QtTest
import com.quillonworks.tarv_ui

Item {
    id: page
    width: 900
    height: 700

    // Stands for the main window's Escape "Stop Audio" key.
    property int escapeStops: 0
    Shortcut {
        sequence: "Esc"
        onActivated: page.escapeStops++
    }

    Component { id: holderComponent; Item {} }
    Component { id: aboutComponent; AboutWindow {} }
    Component { id: spyComponent; SignalSpy {} }

    TarvTestCase {
        name: "AboutWindow"

        // An About item in a holder of the given size, shown as the main
        // controller shows it.
        function openAbout(properties, holderWidth, holderHeight) {
            const holder = createTemporaryObject(holderComponent, page,
                                                 { width: holderWidth || page.width, height: holderHeight || page.height })
            const about = createTemporaryObject(aboutComponent, holder, properties || {})
            about.visible = true
            about.open()
            const popup = findChild(about, "aboutPopup")
            tryCompare(popup, "opened", true)
            return { holder: holder, about: about, popup: popup }
        }

        function init() {
            failOnQmlWarnings()
            page.escapeStops = 0
        }

        // Nothing given: the default text, and the empty logo band keeps
        // its height.
        function test_defaults() {
            const box = openAbout()
            const versionText = findChild(box.about, "versionText")
            compare(versionText.text, "Version See Installation File for Version Info")
            compare(versionText.mapToItem(box.popup.contentItem, 0, 0).y, 125 + 15)
        }

        function test_boxIsCentredOverItsHolder_data() {
            return [
                { tag: "wide", width: 900, height: 700 },
                { tag: "small", width: 600, height: 560 },
            ]
        }

        function test_boxIsCentredOverItsHolder(data) {
            const box = openAbout({ copyRight: "A long notice. ".repeat(40) }, data.width, data.height)
            // A long notice wraps and makes the box taller, not wider.
            tryVerify(() => box.popup.height > 125 + 200)
            compare(box.popup.width, 525)
            const corner = box.popup.background.mapToItem(box.holder, 0, 0)
            fuzzyCompare(corner.x, (data.width - 525) / 2, 1)
            fuzzyCompare(corner.y, (data.height - box.popup.height) / 2, 1)
        }

        // Escape is driven in the real main window.
        function test_closing_data() {
            return [
                { tag: "press outside", closes: true, act: () => mouseClick(page, 5, 5) },
                { tag: "press inside", closes: false, act: box => mouseClick(box.popup.background, 20, 20) },
            ]
        }

        function test_closing(data) {
            const box = openAbout({ version: "1.6.0" })
            data.act(box)
            tryCompare(box.popup, "opened", !data.closes)
            compare(page.escapeStops, 0)
            // The main window's key is back once the box is gone.
            if (data.closes) {
                keyClick(Qt.Key_Escape)
                compare(page.escapeStops, 1)
            }
        }

        function test_buttons() {
            const box = openAbout({ linkUrl: "tarvtest://licence/agreement" })
            const acknowledgements = createTemporaryObject(spyComponent, page,
                                                           { target: box.about, signalName: "acknowledgementsClicked" })
            const before = urlRecorder.urls.length
            mouseClick(findChild(box.about, "acknowledgementsButton"))
            compare(acknowledgements.count, 1)
            compare(urlRecorder.urls.length, before)
            mouseClick(findChild(box.about, "licenseButton"))
            compare(urlRecorder.urls.length, before + 1)
            compare(String(urlRecorder.urls[before]), "tarvtest://licence/agreement")
            compare(acknowledgements.count, 1)
        }
    }
}
