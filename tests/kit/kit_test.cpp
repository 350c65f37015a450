#include <gtest/gtest.h>
#include <iostream>
#include <kit/cout_buffer.h>
#include <kit/errors.h>
#include <kit/format.h>
#include <kit/path.h>
#include <optional>
#include <sstream>

namespace {

// Redirects std::cout into a string for the lifetime of the object.
class CapturedCout
{
public:
    CapturedCout()
        : m_previous(std::cout.rdbuf(m_text.rdbuf()))
    {}
    CapturedCout(const CapturedCout&) = delete;
    CapturedCout& operator=(const CapturedCout&) = delete;
    ~CapturedCout() { std::cout.rdbuf(m_previous); }

    std::string Text() const { return m_text.str(); }

private:
    std::ostringstream m_text;
    std::streambuf* m_previous;
};

} // namespace

TEST(KitFormat, FillsConversionsAndGrowsPastAnyInitialBuffer)
{
    EXPECT_EQ(kit::format("initVector size %d is wrong.", 15), "initVector size 15 is wrong.");
    EXPECT_EQ(kit::format("no conversions"), "no conversions");
    const std::string longText(5000, 'x');
    EXPECT_EQ(kit::format("<%s|%s>", longText.c_str(), "end"), "<" + longText + "|end>");
}

TEST(KitPath, JoinsWithExactlyOneSeparator)
{
    EXPECT_EQ(kit::path::Join({"keys", "alice-private.key"}), "keys/alice-private.key");
    EXPECT_EQ(kit::path::Join({"keys/", "alice-private.key"}), "keys/alice-private.key");
    EXPECT_EQ(kit::path::Join({"/", "file"}), "/file");
    EXPECT_EQ(kit::path::Join({"", "file"}), "file");
    EXPECT_EQ(kit::path::Join({"dir", ""}), "dir");
}

TEST(KitErrors, IoErrorIsCaughtAsEachBaseAndCopiesOwnTheirMessage)
{
    try {
        throw kit::IoError("Unable to write to x");
    } catch (const kit::RuntimeError& error) {
        EXPECT_STREQ(error.what(), "Unable to write to x");
    }
    try {
        throw kit::IoError("unreadable");
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "unreadable");
    }

    std::optional<kit::IoError> source{std::in_place, "kept"};
    const kit::RuntimeError copy = *source;
    source.reset();
    EXPECT_STREQ(copy.what(), "kept");
}

TEST(KitCoutBuffer, EachLineReachesStandardOutputWhole)
{
    CapturedCout captured;
    {
        kit::CoutBuffer console;
        console << "Authentication failed.";
        console << kit::endl;
        console << "left without an end";
    }
    EXPECT_EQ(captured.Text(), "Authentication failed.\nleft without an end\n");
}
