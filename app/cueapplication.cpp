#include "app/cueapplication.h"

#include "app/automationcontroller.h"
#include "qt/qmlcontroller.h"

#include <exception>
#include <iostream>
#include <QFileOpenEvent>
#include <QUrl>
#include <QVariant>

CueApplication::CueApplication(int& argc, char** argv)
    : QGuiApplication(argc, argv)
{}

CueApplication::~CueApplication()
{
    m_mainView.reset();
}

void CueApplication::SetMainView(std::unique_ptr<tarv::qt::QmlController> controller)
{
    m_mainView = std::move(controller);
}

tarv::qt::QmlController* CueApplication::MainView() const
{
    return m_mainView.get();
}

bool CueApplication::event(QEvent* e)
{
    if (e->type() == QEvent::FileOpen) {
        const QUrl url = static_cast<QFileOpenEvent*>(e)->url();
        if (url.isLocalFile()) {
            OpenHandedOverFile(url.toLocalFile());
        }
    }
    return QGuiApplication::event(e);
}

void CueApplication::OpenHandedOverFile(const QString& localPath) const
{
    // Without a main window there is nobody to open the file for.
    QObject* window = m_mainView ? m_mainView->Window() : nullptr;
    if (!window) {
        return;
    }
    auto* controller = qobject_cast<tarv::automation::AutomationController*>(
        window->property("mainController").value<QObject*>());
    if (!controller) {
        return;
    }
    try {
        controller->Load(localPath, true);
    } catch (const std::exception& e) {
        std::cerr << "Unable to open " << localPath.toStdString() << ": " << e.what() << "\n";
    }
}
