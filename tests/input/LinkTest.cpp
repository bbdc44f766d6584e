// Where a link goes, and how sounds are asked for.
#include "tests/input/ButtonHost.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

using inputtest::ButtonHost;

namespace {

TEST(Links, OnlyALowerCaseMailtoGoesToTheShellWithTheFormAsOwner) {
    struct Case {
        const wchar_t* url;
        bool shell;
        bool navigated;
    };
    const Case cases[] = {
        {L"mailto:destek@example.test", true, false},
        {L"MAILTO:destek@example.test", false, true},
        {L"Mailto:x", false, true},
        {L"mailto", false, true}, // shorter than the scheme
        {L"http://example.test/", false, true},
        {L"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << inputtest::RecordingSite::Narrow(c.url));
        ButtonHost host;
        host.button.MutableState().URL = c.url;
        host.button.GoToURL();
        ASSERT_EQ(host.site.shellOpens.size(), c.shell ? 1u : 0u);
        ASSERT_EQ(host.site.navigations.size(), c.navigated ? 1u : 0u);
        if (c.shell) {
            EXPECT_EQ(host.site.shellOpens[0].first, host.window.hwnd());
            EXPECT_EQ(host.site.shellOpens[0].second, c.url);
        }
        if (c.navigated) {
            EXPECT_EQ(host.site.navigations[0].target, c.url);
            EXPECT_EQ(host.site.navigations[0].location, L"");
            EXPECT_EQ(host.site.navigations[0].frame, L"");
        }
    }
}

TEST(Sounds, PlayedAsynchronouslyWithoutADefaultAndFailingQuietly) {
    ButtonHost host;
    std::int16_t button = 1, shift = 0;
    float x = 5, y = 5;
    host.site.soundResult = false; // the file could not be played: the click goes on
    host.button.HandleMouseDown(button, shift, x, y);
    host.button.HandleMouseUp(button, shift, x, y);
    ASSERT_EQ(host.site.sounds.size(), 1u);
    EXPECT_EQ(host.site.sounds[0].first, L"click.wav");
    EXPECT_EQ(host.site.sounds[0].second, static_cast<DWORD>(SND_FILENAME | SND_ASYNC | SND_NODEFAULT));
    EXPECT_EQ(host.Count("Click"), 1);

    // An empty name is passed on as it is and plays nothing.
    host.button.MutableState().SoundClick.clear();
    host.button.HandleMouseDown(button, shift, x, y);
    host.button.HandleMouseUp(button, shift, x, y);
    ASSERT_EQ(host.site.sounds.size(), 2u);
    EXPECT_EQ(host.site.sounds[1].first, L"");
    EXPECT_EQ(host.Count("Click"), 2);
}

// The system's player behind the button: a missing or empty file returns at once and fails nothing.
// (Whether it reports success depends on the platform: an asynchronous request may be accepted before
// the file is looked at.)
TEST(Sounds, TheSystemPlayerTakesMissingAndEmptyNamesAtOnce) {
    ButtonHost host;
    host.site.systemPlayer = true;
    std::wstring missing = L".\\resources\\no-such-sound.wav", empty;
    const auto start = std::chrono::steady_clock::now();
    host.button.PlaySoundFile(missing);
    host.button.PlaySoundFile(empty);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

} // namespace
