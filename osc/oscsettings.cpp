#include "osc/oscsettings.h"

#include <cmath>
#include <iostream>
#include <limits>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace tarv::osc {

namespace {

const QString kVersion = QStringLiteral("1.0");
const QString kVersionKey = QStringLiteral("version");
const QString kEnabledKey = QStringLiteral("oscEnabled");
const QString kPortKey = QStringLiteral("oscListenPort");

// The settings cross queued signal and slot connections under this name. The
// constructors live in this file, so every user of the type runs this.
[[maybe_unused]] const int kMetaTypeId = qRegisterMetaType<OscSettings>("osc::OscSettings");

int WholeIntOrZero(const QJsonValue& value)
{
    if (!value.isDouble()) {
        return 0;
    }
    const double number = value.toDouble();
    const bool whole = std::trunc(number) == number;
    const bool inRange =
        number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max();
    return whole && inRange ? static_cast<int>(number) : 0;
}

} // namespace

OscSettings::OscSettings()
    : OscSettings(true, 55037)
{}

OscSettings::OscSettings(bool enabled, int listenPort)
    : oscEnabled(enabled)
    , oscListenPort(listenPort)
{}

std::string OscSettingsFilePath()
{
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/tarv_cue/osc_settings.tarv"))
        .toStdString();
}

void LoadOscSettings(OscSettings& settings, const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Failed to open osc settings file.");
        return;
    }
    const QByteArray text = file.readAll();
    file.close();

    const QJsonObject object = QJsonDocument::fromJson(text).object();
    const QJsonValue version = object.value(kVersionKey);
    if (!version.isString() || version.toString() != kVersion) {
        return;
    }
    settings.oscEnabled = object.value(kEnabledKey).toBool(false);
    settings.oscListenPort = WholeIntOrZero(object.value(kPortKey));
}

void SaveOscSettings(const OscSettings& settings, const std::string& path)
{
    const QJsonObject object{
        {kVersionKey, kVersion},
        {kEnabledKey, settings.oscEnabled},
        {kPortKey, settings.oscListenPort},
    };

    const QString filePath = QString::fromStdString(path);
    const QDir folder = QFileInfo(filePath).absoluteDir();
    if (!folder.exists() && !QDir().mkpath(folder.absolutePath())) {
        std::cerr << "Failed to create path for saving osc settings.\n";
    }

    // Written beside the old file and renamed over it only when complete, so a
    // failed save never leaves a truncated settings file behind. The explicit
    // flush matters: Qt 6.4's commit() ignores a short write (a full disk, a
    // size limit) in its own flush and would rename the truncated file.
    const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Indented);
    QSaveFile file(filePath);
    const bool saved = file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
                       file.flush() && file.commit();
    if (!saved) {
        file.cancelWriting();
        std::cerr << "Failed to save osc settings to " << path << ": "
                  << file.errorString().toStdString() << "\n";
    }
}

} // namespace tarv::osc
