#pragma once

#include "qt/qmlcontroller.h"

class QQmlEngine;

namespace tarv::qt {

// Shows the acknowledgements window, filled with the text of a file (the
// program's acknowledgements resource). The window shows itself, is made
// transient for the window that holds `parent`, and goes with this controller.
class AcknowledgementsWindowController : public QmlController
{
    Q_OBJECT

public:
    AcknowledgementsWindowController(QObject* parent, QQmlEngine* engine, const QString& path);
};

} // namespace tarv::qt
