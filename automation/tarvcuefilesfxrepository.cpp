#include "automation/tarvcuefilesfxrepository.h"

#include <QMetaType>
#include <stdexcept>

namespace tarv::automation {

using tarv::audio::sfx::SfxDto;

TarvCueFileSfxRepository::TarvCueFileSfxRepository()
    : TarvCueFileSfxRepository(DefaultAnswerTimeout)
{}

TarvCueFileSfxRepository::TarvCueFileSfxRepository(std::chrono::milliseconds answerTimeout)
    : m_answerTimeout(answerTimeout)
{
    // Queued connections copy the arguments across threads.
    qRegisterMetaType<SfxDto>();
    qRegisterMetaType<std::string>();
    qRegisterMetaType<std::shared_ptr<std::promise<std::vector<SfxDto>>>>();
    qRegisterMetaType<std::shared_ptr<std::promise<std::optional<SfxDto>>>>();
    qRegisterMetaType<std::shared_ptr<std::promise<int>>>();
}

TarvCueFileSfxRepository::~TarvCueFileSfxRepository() = default;

template <typename T>
T TarvCueFileSfxRepository::Await(std::future<T> future) const
{
    // The promise is held only by the signal's queued copies: when nobody
    // receives the signal, or the receiver is destroyed before its slot ran,
    // the promise is destroyed unanswered and the future reports it at once.
    if (future.wait_for(m_answerTimeout) != std::future_status::ready) {
        throw std::runtime_error("The cue file did not answer the sound effect request in time");
    }
    try {
        return future.get();
    } catch (const std::future_error&) {
        throw std::runtime_error("No open cue file answered the sound effect request");
    }
}

void TarvCueFileSfxRepository::Save(SfxDto dto)
{
    dto.setEventId(GenerateEventId());
    emit saveSoundEffect(dto);
}

std::vector<SfxDto> TarvCueFileSfxRepository::Get()
{
    auto promise = std::make_shared<std::promise<std::vector<SfxDto>>>();
    auto future = promise->get_future();
    emit getSoundEffects(std::move(promise));
    return Await(std::move(future));
}

std::optional<SfxDto> TarvCueFileSfxRepository::GetById(std::any id)
{
    const auto eventId = std::any_cast<std::string>(id);
    auto promise = std::make_shared<std::promise<std::optional<SfxDto>>>();
    auto future = promise->get_future();
    emit getSoundEffectById(eventId, std::move(promise));
    return Await(std::move(future));
}

void TarvCueFileSfxRepository::Update(std::any id, SfxDto dto)
{
    emit updateSoundEffect(std::any_cast<std::string>(id), dto);
}

void TarvCueFileSfxRepository::Delete(std::any id)
{
    emit deleteSoundEffect(std::any_cast<std::string>(id));
}

std::string TarvCueFileSfxRepository::GenerateEventId()
{
    auto promise = std::make_shared<std::promise<int>>();
    auto future = promise->get_future();
    emit nextEventId(std::move(promise));
    return "sfx." + std::to_string(Await(std::move(future)));
}

std::string TarvCueFileSfxRepository::PreviewEventId()
{
    auto promise = std::make_shared<std::promise<int>>();
    auto future = promise->get_future();
    emit previewEventId(std::move(promise));
    return "sfx." + std::to_string(Await(std::move(future)));
}

} // namespace tarv::automation
