#pragma once

#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <string>

class QQmlEngine;

namespace tarv::qt {

// Shows one message window (FlatDialogWindow of the automation tool module)
// with a title, a text and a type. The window is created visible and outlives
// the controller; closing it destroys it.
class DialogWindowController : public QObject
{
    Q_OBJECT

public:
    enum DialogType
    {
        Error = 0,
        Warning = 1,
        Info = 2
    };

    DialogWindowController(std::string text, std::string title, DialogType type, QObject* parent,
                           QQmlEngine* engine);
    ~DialogWindowController() override = default;

    DialogWindowController(const DialogWindowController&) = delete;
    DialogWindowController& operator=(const DialogWindowController&) = delete;

private:
    QPointer<QObject> m_window;
};

} // namespace tarv::qt

Q_DECLARE_METATYPE(tarv::qt::DialogWindowController::DialogType)
