#include "app/waitconfigcontroller.h"

#include "app/typednumber.h"
#include "automation/automation.h"
#include "automation/eventtypes.h"
#include "automation/waitevent.h"

#include <exception>
#include <iostream>
#include <optional>
#include <QQuickItem>
#include <QUrl>

namespace tarv::automation {

namespace {

const QUrl kDocument(
    QStringLiteral("qrc:/qt/qml/com/quillonworks/automation_tool_ui/qml/WaitConfigWindow.qml"));

} // namespace

WaitConfigController::WaitConfigController(QQmlEngine* engine, Automation* automation,
                                           std::shared_ptr<Wait> event, int index, bool edit,
                                           QObject* parent)
    : QmlController(engine, kDocument, qobject_cast<QQuickItem*>(parent), true, {})
    , m_document(automation)
    , m_event(std::move(event))
    , m_edit(edit)
    , m_index(index)
{
    QObject* window = Window();
    if (!window) {
        return;
    }
    if (m_edit && m_event) {
        window->setProperty("waitTime", QString::number(m_event->WaitTime() / 1000.0, 'g', 6));
        window->setProperty("disableEvent", m_event->Status() == kDisabledStatus);
        window->setProperty("disableDelete", m_event->DisableDelete());
    } else {
        window->setProperty("waitTime", QStringLiteral("1.0"));
    }
    window->setProperty("visible", true);
    connect(window, SIGNAL(accepted()), this, SLOT(onAccepted_()));
}

WaitConfigController::~WaitConfigController() = default;

unsigned WaitConfigController::WaitTimeMs(const QString& secondsText)
{
    const std::optional<double> seconds = TypedNumber(secondsText);
    if (!seconds) {
        return 0;
    }
    const double ms = *seconds * 1000.0;
    if (ms <= 0.0) {
        return 0;
    }
    if (ms >= static_cast<double>(MaxWaitTimeMs)) {
        return MaxWaitTimeMs;
    }
    return static_cast<unsigned>(ms);
}

void WaitConfigController::onAccepted_()
{
    try {
        Accept();
    } catch (const std::exception& e) {
        std::cerr << "Unable to store the wait: " << e.what() << "\n";
    }
}

void WaitConfigController::Accept()
{
    // A window accepted twice must not put a second wait into the list.
    QObject* window = Window();
    if (m_accepted || !window || !m_document) {
        return;
    }
    m_accepted = true;

    const unsigned ms = WaitTimeMs(window->property("waitTime").toString());
    const QString status = window->property("disableEvent").toBool() ? QString(kDisabledStatus)
                                                                     : QString(kContinueStatus);
    const bool locked = window->property("disableDelete").toBool();

    if (m_edit) {
        if (m_event) {
            m_event->WaitTime(ms);
            m_event->UpdateName();
            m_event->Status(status);
            m_event->DisableDelete(locked);
            emit m_document->eventsUpdated(m_document);
        }
    } else {
        auto wait = std::make_shared<Wait>(ms);
        wait->Status(status);
        wait->DisableDelete(locked);
        // The list puts an entry asked for past its end at the top; the new
        // wait becomes current wherever it went.
        const auto count = m_document->Events().size();
        const std::size_t at =
            m_index < 0 || static_cast<std::size_t>(m_index) > count ? 0 : m_index;
        m_document->InsertEvent(wait, at);
        m_document->CurrentEventIndex(at);
    }
    window->setProperty("visible", false);
}

} // namespace tarv::automation
