// Sounds decoded ahead of time are found by the path of their file, however it is spelled.
#include <gtest/gtest.h>

#include "platform/decoded_sound.h"
#include "tests/support/temp_dir.h"

using namespace platform;

TEST(DecodedSounds, AreFoundByTheirFilesPathHoweverSpelled) {
    testing_support::TempWorkingDir dir;
    forgetDecodedSounds();
    provideDecodedSound("data/music.wma", DecodedSound{{1, -1, 2, -2}, 2, 22050});
    for (const std::string& spelling :
         {std::string("data/music.wma"), std::string("./data/music.wma"), std::string("data//x/../music.wma"),
          (dir.path() / "data" / "music.wma").string()}) {
        const DecodedSound* sound = findDecodedSound(spelling);
        ASSERT_NE(sound, nullptr) << spelling;
        EXPECT_EQ(sound->rate, 22050);
        EXPECT_EQ(sound->channels, 2);
        EXPECT_EQ(sound->pcm.size(), 4u);
    }
    EXPECT_EQ(findDecodedSound("data/music.opus"), nullptr);
    EXPECT_EQ(findDecodedSound("music.wma"), nullptr);
    EXPECT_EQ(findDecodedSound(""), nullptr);
}

TEST(DecodedSounds, ALaterDecodingReplacesTheFirstAndAllCanBeForgotten) {
    forgetDecodedSounds();
    provideDecodedSound("/a.opus", DecodedSound{{1}, 1, 8000});
    provideDecodedSound("/a.opus", DecodedSound{{1, 2, 3}, 1, 48000});
    ASSERT_NE(findDecodedSound("/a.opus"), nullptr);
    EXPECT_EQ(findDecodedSound("/a.opus")->rate, 48000);
    EXPECT_EQ(findDecodedSound("/a.opus")->pcm.size(), 3u);
    forgetDecodedSounds();
    EXPECT_EQ(findDecodedSound("/a.opus"), nullptr);
}
