import QtQuick
import QtTest

// The dialog icons and the long logo are compiled in and readable: a missing
// SVG image plugin or resource entry would leave the message windows blank.
Item {
    id: page

    Component {
        id: imageComponent
        Image {}
    }

    TarvTestCase {
        name: "DialogImages"

        function test_imagesLoad_data() {
            return [
                { tag: "error", source: "qrc:/images/error_icon.svg", width: 48, height: 48 },
                { tag: "warning", source: "qrc:/images/warning_icon.svg", width: 48, height: 48 },
                { tag: "info", source: "qrc:/images/info_icon.svg", width: 48, height: 48 },
                // Named without its extension, as the About box names it.
                { tag: "long logo", source: "qrc:/images/cue_logo_long", width: 930, height: 250 }
            ]
        }

        function test_imagesLoad(data) {
            const image = createTemporaryObject(imageComponent, page, { source: data.source })
            tryCompare(image, "status", Image.Ready)
            compare([image.implicitWidth, image.implicitHeight], [data.width, data.height])
        }
    }
}
