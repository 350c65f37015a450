#include "sfx/sfxdto.h"
#include "sfx/sfxdtobuilder.h"

#include <gtest/gtest.h>

using tarv::audio::sfx::SfxDto;

// The empty builder's record stands for "no instance being edited"; a builder
// that stores a field in its neighbour's place differs from the setters.
TEST(SfxRecords, BuilderMatchesSettersAndTheEmptyRecord)
{
    EXPECT_EQ(SfxDto::builder().build(), SfxDto{});
    SfxDto set;
    set.setName("Door");
    set.setEventId("sfx.3");
    set.setEffectId("door.slam");
    set.setOutputPath("Main");
    set.setVolume(0.25F);
    set.setPan(0.75F);
    set.setReverb(0.125F);
    set.setFadeIn(100);
    set.setFadeOut(200);
    set.setRepeats(-1);
    const SfxDto built = SfxDto::builder()
                             .name("Door")
                             .eventId("sfx.3")
                             .effectId("door.slam")
                             .outputPath("Main")
                             .volume(0.25F)
                             .pan(0.75F)
                             .reverb(0.125F)
                             .fadeIn(100)
                             .fadeOut(200)
                             .repeats(-1)
                             .build();
    EXPECT_EQ(built, set);
    EXPECT_NE(built, SfxDto{});
}
