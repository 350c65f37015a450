#pragma once

#include "sfx/sfxdto.h"

#include <memory>
#include <QAbstractListModel>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarv::audio {

// The cue file's sound-effect instances for the manager's instance list. The
// rows refer weakly to records that the manager owns; readiness is kept per
// effect file, so every instance of one file becomes ready together and a
// rebuilt list remembers what the player has already loaded.
class SfxInstanceListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        SummaryRole = Qt::DisplayRole,
        NameRole = Qt::UserRole + 1,
        OutputPathRole,
        EffectIdRole,
        EffectPathRole,
        ActiveIntervalsRole,
        TypeRole,
        EffectIdIndexRole,
        RepeatsRole,
        FadeInRole,
        FadeOutRole,
        VolumeRole,
        ReverbRole,
        PanRole,
        EventIdRole,
        IsReadyRole,
    };

    explicit SfxInstanceListModel(QObject* parent = nullptr);

    void Add(const std::shared_ptr<sfx::SfxDto>& instance, const std::string& displayName);
    // Drops the rows; what is known about display names and readiness stays.
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QHash<int, QByteArray> roleNames() const override;

private:
    std::shared_ptr<sfx::SfxDto> Instance(const QModelIndex& index) const;
    QVariant Summary(const sfx::SfxDto& instance) const;
    QVariant IsReady(const sfx::SfxDto& instance) const;

    std::unordered_map<std::string, std::string> m_displayNames; // by effect id
    std::vector<std::weak_ptr<sfx::SfxDto>> m_rows;
    std::unordered_map<std::string, bool> m_ready; // by effect path
};

} // namespace tarv::audio
