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
    // TabButtom reads these colours by bare name from the same place.
    property color tab_selected_text_color: theme.tab_selected_text_color
    property color default_text_header_color: theme.default_text_header_color
    property color default_bg_hover_color: theme.default_bg_hover_color
    property color default_bg_color: theme.default_bg_color
    property color default_bg_unselected_color: theme.default_bg_unselected_color
    property color bevel_dark_color: theme.bevel_dark_color
    property color bevel_light_color: theme.bevel_light_color

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
