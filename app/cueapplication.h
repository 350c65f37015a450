#pragma once

#include <memory>
#include <QGuiApplication>

namespace tarv::qt {
class QmlController;
}

// The program's application object: it owns the main window's controller
// and opens the file that the platform hands over (macOS only) the way the
// command line does.
class CueApplication : public QGuiApplication
{
public:
    CueApplication(int& argc, char** argv);
    ~CueApplication() override;

    CueApplication(const CueApplication&) = delete;
    CueApplication& operator=(const CueApplication&) = delete;

    // Takes the main window's controller over; the one held before goes,
    // and with it its window (deleted later).
    void SetMainView(std::unique_ptr<tarv::qt::QmlController> controller);
    tarv::qt::QmlController* MainView() const;

    bool event(QEvent* e) override;

private:
    void OpenHandedOverFile(const QString& localPath) const;

    std::unique_ptr<tarv::qt::QmlController> m_mainView;
};
