#pragma once

#include "qt/qmlcontroller.h"

#include <memory>
#include <QString>

class QObject;
class QQmlEngine;

namespace tarv::automation {

class Automation;
class Wait;

// Runs the wait editor for one wait of the cue list, an existing one or a new
// one that joins the list only when the editor is accepted.
class WaitConfigController : public qt::QmlController
{
    Q_OBJECT

public:
    static constexpr unsigned MaxWaitTimeMs = 4294967295u;

    WaitConfigController(QQmlEngine* engine, Automation* automation, std::shared_ptr<Wait> event,
                         int index, bool edit, QObject* parent);
    ~WaitConfigController() override;

    // Seconds as the operator typed them, in whole milliseconds: cut toward
    // zero, held within 0..MaxWaitTimeMs ("Infinity" too); text that is no
    // number gives 0.
    static unsigned WaitTimeMs(const QString& secondsText);

private slots:
    void onAccepted_();

private:
    void Accept();

    Automation* m_document;
    std::shared_ptr<Wait> m_event;
    bool m_edit;
    int m_index;
    bool m_accepted = false;
};

} // namespace tarv::automation
