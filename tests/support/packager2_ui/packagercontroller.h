#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

// Stand-in for the show packager's controller: keeps what the window binds
// to it and counts the packaging requests. Tests announce file lists and
// results by writing `files`, `messageBody` and then `message`, as the real
// controller does.
class PackagerController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QString name MEMBER m_name NOTIFY inputsChanged)
    Q_PROPERTY(QString sourceDirectory MEMBER m_sourceDirectory NOTIFY inputsChanged)
    Q_PROPERTY(QString destinationDirectory MEMBER m_destinationDirectory NOTIFY inputsChanged)
    Q_PROPERTY(QString imageDirectory MEMBER m_imageDirectory NOTIFY inputsChanged)
    Q_PROPERTY(QString soundEffectsDirectory MEMBER m_soundEffectsDirectory NOTIFY inputsChanged)
    Q_PROPERTY(bool advancedFeatures MEMBER m_advancedFeatures NOTIFY inputsChanged)
    Q_PROPERTY(QString sfxSourceDirectory MEMBER m_sfxSourceDirectory NOTIFY inputsChanged)
    Q_PROPERTY(
        QString sfxDestinationDirectory MEMBER m_sfxDestinationDirectory NOTIFY inputsChanged)
    Q_PROPERTY(QStringList files MEMBER m_files NOTIFY filesChanged)
    Q_PROPERTY(bool message MEMBER m_message NOTIFY messageChanged)
    Q_PROPERTY(QString messageBody MEMBER m_messageBody NOTIFY messageBodyChanged)
    Q_PROPERTY(int packageCalls MEMBER m_packageCalls NOTIFY callsChanged)
    Q_PROPERTY(int packageSfxCalls MEMBER m_packageSfxCalls NOTIFY callsChanged)

public:
    explicit PackagerController(QObject* parent = nullptr);

    Q_INVOKABLE QString versionString() const;
    Q_INVOKABLE void package();
    Q_INVOKABLE void packageSfx();

signals:
    void inputsChanged();
    void filesChanged();
    void messageChanged();
    void messageBodyChanged();
    void callsChanged();

private:
    QString m_name;
    QString m_sourceDirectory;
    QString m_destinationDirectory;
    QString m_imageDirectory;
    QString m_soundEffectsDirectory;
    bool m_advancedFeatures = false;
    QString m_sfxSourceDirectory;
    QString m_sfxDestinationDirectory;
    QStringList m_files;
    bool m_message = false;
    QString m_messageBody;
    int m_packageCalls = 0;
    int m_packageSfxCalls = 0;
};
