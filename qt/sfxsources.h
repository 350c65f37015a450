#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace tarv::sfx {
class SfxManifest;
}

namespace tarv::qt {

// The catalogue's ambient effects and sound effects as (display name, effect
// id) pairs, sorted by display name and then by id, case-sensitively.
// Throws std::bad_optional_access for an id without a display name.
QList<QPair<QString, QString>> SortedSfxSources(const tarv::sfx::SfxManifest& manifest);

// Tells the operator about a sound-effect failure the way the player reports
// its own: through the mediator's soundEffectError, which the main controller
// shows as "SFX Error".
void ReportSfxError(const QString& message, const QString& context = QString());

} // namespace tarv::qt
