#include "customaudioparameters.h"
#include "sfxdto.h"
#include "sfxdtobuilder.h"

#include <cmath>
#include <compare>
#include <gtest/gtest.h>

using tarv::audio::CustomAudioCommand;
using tarv::audio::CustomAudioParameters;
using tarv::audio::SfxType;
using tarv::audio::sfx::SfxDto;

// Every field gets a value of its own, so a field stored in its neighbour's
// place shows up.
TEST(SfxRecords, BuildersKeepEveryField)
{
    const SfxDto dto = SfxDto::builder()
                           .name("Door")
                           .eventId("sfx.3")
                           .effectId("door.slam")
                           .effectPath("/fx/door.wav")
                           .outputPath("Main")
                           .volume(0.25F)
                           .pan(0.75F)
                           .reverb(0.125F)
                           .fadeIn(100)
                           .fadeOut(200)
                           .repeats(-1)
                           .type(SfxType::Ambient)
                           .build();
    EXPECT_EQ(dto.name(), "Door");
    EXPECT_EQ(dto.eventId(), "sfx.3");
    EXPECT_EQ(dto.effectId(), "door.slam");
    EXPECT_EQ(dto.effectPath(), "/fx/door.wav");
    EXPECT_EQ(dto.outputPath(), "Main");
    EXPECT_EQ(dto.volume(), 0.25F);
    EXPECT_EQ(dto.pan(), 0.75F);
    EXPECT_EQ(dto.reverb(), 0.125F);
    EXPECT_EQ(dto.fadeIn(), 100);
    EXPECT_EQ(dto.fadeOut(), 200);
    EXPECT_EQ(dto.repeats(), -1);
    EXPECT_EQ(dto.type(), SfxType::Ambient);

    const CustomAudioParameters parameters = CustomAudioParameters::builder()
                                                 .name("Hit")
                                                 .file("/audio/hit.wav")
                                                 .outputPath("Main")
                                                 .networkPatch("Patch")
                                                 .volume(0.5)
                                                 .pan(0.25)
                                                 .reverb(0.125)
                                                 .fadeIn(10)
                                                 .fadeOut(20)
                                                 .repeats(3)
                                                 .command(CustomAudioCommand::Stop)
                                                 .build();
    EXPECT_EQ(parameters.name(), "Hit");
    EXPECT_EQ(parameters.file(), "/audio/hit.wav");
    EXPECT_EQ(parameters.outputPath(), "Main");
    EXPECT_EQ(parameters.networkPatch(), "Patch");
    EXPECT_EQ(parameters.volume(), 0.5);
    EXPECT_EQ(parameters.pan(), 0.25);
    EXPECT_EQ(parameters.reverb(), 0.125);
    EXPECT_EQ(parameters.fadeIn(), 10U);
    EXPECT_EQ(parameters.fadeOut(), 20U);
    EXPECT_EQ(parameters.repeats(), 3);
    EXPECT_EQ(parameters.command(), CustomAudioCommand::Stop);
}

// The empty builder's record stands for "no instance being edited".
TEST(SfxRecords, EmptyRecordAndOrdering)
{
    SfxDto edited = SfxDto::builder().build();
    EXPECT_EQ(edited, SfxDto{});
    edited.setEventId("sfx.1");
    EXPECT_NE(edited, SfxDto::builder().build());
    EXPECT_EQ(edited <=> SfxDto{}, std::partial_ordering::greater);

    SfxDto silent;
    silent.setVolume(std::nanf(""));
    EXPECT_EQ(silent <=> SfxDto{}, std::partial_ordering::unordered);

    // A command number read from a file that is neither play nor stop.
    const auto odd =
        CustomAudioParameters::builder().command(static_cast<CustomAudioCommand>(7)).build();
    EXPECT_EQ(static_cast<int>(odd.command()), 7);
    EXPECT_EQ(CustomAudioParameters{}.command(), CustomAudioCommand::Play);
}
