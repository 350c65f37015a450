#pragma once

#include <QString>

class CueApplication;
class QCommandLineParser;
class QQmlApplicationEngine;

// Makes the program's own QML types known (the main controller in module
// com.quillonworks.automation_tool_ui) and the program's QML modules
// available; call once before the first engine loads a document.
void RegisterQmlTypes();

// Gives the process a console for standard output and error. Only Windows
// needs one; elsewhere both are already visible and nothing happens.
void EnableWindowsConsole();

// The cue file named on the command line (the first positional argument),
// as an absolute local path; empty when none is named.
QString StartupCueFile(const QCommandLineParser& parser);

// Creates the main window on `engine` and hands its controller to `app`. The
// window opens `startupCueFile` once it is complete. A failure is shown in a
// message window and the program runs on.
void OpenMainView(QQmlApplicationEngine* engine, CueApplication& app,
                  const QString& startupCueFile = QString());

// Releases the main window and everything it deleted later, while the engine
// the windows were made with still exists; call before deleting the engine.
void CloseMainView(CueApplication& app);
