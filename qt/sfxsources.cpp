#include "qt/sfxsources.h"

#include "sfx/sfxmanifest.h"
#include "sfx/sfxplayerconnectionmediator.h"

#include <algorithm>
#include <QtDebug>

namespace tarv::qt {

QList<QPair<QString, QString>> SortedSfxSources(const tarv::sfx::SfxManifest& manifest)
{
    QList<QPair<QString, QString>> sources;
    for (const auto& effects : {manifest.AmbientEffects(), manifest.SoundEffects()}) {
        for (const char* effectId : effects)
            sources.append({QString::fromStdString(manifest.displayName(effectId).value()),
                            QString::fromUtf8(effectId)});
    }
    // QString's operator< compares UTF-16 code units, case-sensitively.
    std::sort(sources.begin(), sources.end());
    return sources;
}

void ReportSfxError(const QString& message, const QString& context)
{
    qWarning().noquote() << "SFX Error:" << message << context;
    emit audio::SfxPlayerConnectionMediator::instance()->soundEffectError(QStringLiteral("ERROR"),
                                                                          message, context);
}

} // namespace tarv::qt
