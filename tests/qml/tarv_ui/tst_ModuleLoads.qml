import QtQuick
import QtTest
import com.quillonworks.tarv_ui 1.0

// Every document of the module loads and instantiates without any warning.
Item {
    id: page
    width: 800
    height: 600

    // Several controls read the `theme` of the document that places them.
    TarvTheme { id: theme }

    TarvTestCase {
        name: "ModuleLoads"

        function test_everyDocumentLoadsCleanly() {
            verify(tarvUiModuleDocuments.length >= 19, "module documents found")
            failOnWarning(/.?/)
            const broken = []
            for (const url of tarvUiModuleDocuments) {
                const component = Qt.createComponent(url)
                const object = component.status === Component.Ready ? component.createObject(page) : null
                if (object === null) {
                    broken.push(url + " " + component.errorString())
                    continue
                }
                wait(0)
                object.destroy()
            }
            compare(broken, [])
        }
    }
}
