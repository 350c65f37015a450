#include "qt/aboutwindowcontroller.h"

#include <exception>
#include <iostream>
#include <QQmlEngine>
#include <QQuickItem>
#include <QtQml/qqml.h>
#include <QUrl>
#include <stdexcept>

namespace tarv::qt {

namespace {

const QUrl kDocumentUrl(QStringLiteral("qrc:/qt/qml/com/quillonworks/tarv_ui/qml/AboutWindow.qml"));

} // namespace

AboutWindowController::AboutWindowController(QQmlEngine* engine, QQuickItem* parentItem,
                                             QString version, QString logoSource,
                                             QString acknowledgementsPath)
    : QmlController(engine, kDocumentUrl, parentItem, true, {})
    , m_acknowledgementsPath(std::move(acknowledgementsPath))
{
    QObject* const item = Window();
    if (!item)
        throw std::runtime_error("The About box could not be created.");
    if (auto* const quickItem = qobject_cast<QQuickItem*>(item); quickItem && parentItem)
        quickItem->setParentItem(parentItem);
    item->setProperty("version", version);
    item->setProperty("logoSource", logoSource);
    // The item's signal is declared in QML, so only its signature names it.
    if (!connect(item, SIGNAL(acknowledgementsClicked()), this, SLOT(AcknowledgementsClicked())))
        throw std::runtime_error("Connection to Acknowledgements failed.");
}

AboutWindowController::~AboutWindowController()
{
    m_acknowledgements.reset();
}

void AboutWindowController::AcknowledgementsClicked()
{
    try {
        // The new window exists before the old one goes.
        m_acknowledgements = std::make_unique<AcknowledgementsWindowController>(
            Window(), qmlEngine(Window()), m_acknowledgementsPath);
    } catch (const std::exception& e) {
        std::cerr << "Unable to show the acknowledgements: " << e.what() << "\n";
    }
}

} // namespace tarv::qt
