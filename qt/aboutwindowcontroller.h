#pragma once

#include "qt/acknowledgementswindowcontroller.h"
#include "qt/qmlcontroller.h"

#include <memory>
#include <QString>

class QQmlEngine;
class QQuickItem;

namespace tarv::qt {

// Places the About box (an item holding a modal popup) into the main
// window's scene and opens the acknowledgements window when asked. The
// constructor throws std::runtime_error when the box cannot be built, so the
// caller reports it instead of showing nothing.
class AboutWindowController : public QmlController
{
    Q_OBJECT

public:
    AboutWindowController(QQmlEngine* engine, QQuickItem* parentItem, QString version,
                          QString logoSource, QString acknowledgementsPath);
    ~AboutWindowController() override;

protected slots:
    void AcknowledgementsClicked();

private:
    std::unique_ptr<AcknowledgementsWindowController> m_acknowledgements;
    QString m_acknowledgementsPath;
};

} // namespace tarv::qt
