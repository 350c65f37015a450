#pragma once

#include "qt/networklistmodel.h"
#include "qt/qmlcontroller.h"

#include <memory>

class QQmlEngine;
class QQuickItem;

namespace tarv::automation {

class Automation;
class EventGroup;
class Osc;

// Runs the OSC event editor for one OSC event of a cue: its destination,
// offered from the document's network destinations, and its command text.
class OscConfigController : public qt::QmlController
{
    Q_OBJECT

public:
    // Without an event, a new one is made and put into the cue at `index`
    // when the editor is accepted.
    OscConfigController(QQmlEngine* engine, Automation* document, EventGroup* group,
                        std::shared_ptr<Osc> event, unsigned int index, bool isEdit,
                        QQuickItem* parent);
    ~OscConfigController() override;

    std::shared_ptr<Osc> Event() const { return m_event; }

private slots:
    void onAccepted_();

private:
    void Accept();

    EventGroup* m_group;
    std::shared_ptr<Osc> m_event;
    bool m_isEdit;
    unsigned int m_index;
    std::unique_ptr<qt::NetworkListModel> m_networkModel;
    Automation* m_document;
    bool m_accepted = false;
};

} // namespace tarv::automation
