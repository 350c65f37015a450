#include <gtest/gtest.h>
#include <kit/cout_buffer.h>
#include <kit/errors.h>
#include <kit/format.h>
#include <kit/path.h>
#include <optional>

TEST(KitTest, FormatFillsConversionsOfAnyLength)
{
    EXPECT_EQ(kit::format("initVector size %d is wrong.", 15), "initVector size 15 is wrong.");
    const std::string longText(5000, 'x');
    EXPECT_EQ(kit::format("<%s|%u>", longText.c_str(), 7u), "<" + longText + "|7>");
}

TEST(KitTest, JoinPutsExactlyOneSeparatorBetweenParts)
{
    EXPECT_EQ(kit::path::Join({"keys", "a-private.key"}), "keys/a-private.key");
    EXPECT_EQ(kit::path::Join({"keys/", "a-private.key"}), "keys/a-private.key");
    EXPECT_EQ(kit::path::Join({"/", "file"}), "/file");
    EXPECT_EQ(kit::path::Join({"", "file"}), "file");
}

TEST(KitTest, IoErrorIsARuntimeErrorWhoseCopiesKeepTheMessage)
{
    std::optional<kit::IoError> source{std::in_place, "Unable to write to x"};
    try {
        throw kit::IoError(*source);
    } catch (const kit::RuntimeError& error) {
        source.reset();
        const std::runtime_error& copy = kit::RuntimeError(error);
        EXPECT_STREQ(copy.what(), "Unable to write to x");
    }
}

TEST(KitTest, CoutBufferWritesEachLineWhole)
{
    testing::internal::CaptureStdout();
    {
        kit::CoutBuffer console;
        console << "Authentication failed.";
        console << kit::endl;
        console << "value " << 42 << kit::endl;
        console << "left without an end";
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Authentication failed.\nvalue 42\nleft without an end\n");
}
