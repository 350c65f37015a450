#include "qt/acknowledgementswindowcontroller.h"

#include <QFile>
#include <QQuickItem>
#include <QStringConverter>
#include <QTextStream>
#include <QUrl>

namespace tarv::qt {

namespace {

const QUrl kDocumentUrl(
    QStringLiteral("qrc:/qt/qml/com/quillonworks/tarv_ui/qml/AcknowledgementsWindow.qml"));

QString ReadAcknowledgements(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("Error: Unable to Load Acknowledgements.");
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    return stream.readAll();
}

} // namespace

AcknowledgementsWindowController::AcknowledgementsWindowController(QObject* parent,
                                                                   QQmlEngine* engine,
                                                                   const QString& path)
    : QmlController(engine, kDocumentUrl, qobject_cast<QQuickItem*>(parent), true, {})
{
    if (QObject* const window = Window())
        window->setProperty("acknowledgementText", ReadAcknowledgements(path));
}

} // namespace tarv::qt
