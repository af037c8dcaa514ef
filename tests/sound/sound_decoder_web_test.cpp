// The browser's sound loading: what the page decoded is what a load gives, found by the file's
// path; anything it did not decode, or cannot be played, is refused with a reason.
#include <gtest/gtest.h>

#include "platform/decoded_sound.h"
#include "sound/audio_decoder.h"

using namespace sound;

TEST(PageDecodedSound, ALoadGivesWhatThePageDecoded) {
    platform::forgetDecodedSounds();
    platform::provideDecodedSound("/data/music.wma", platform::DecodedSound{{1, 2, 3, 4, 5, 6}, 2, 22050});
    Sample sample;
    std::string error;
    ASSERT_TRUE(decodeAudioFileStreamed("/data/music.wma", sample, error)) << error;
    EXPECT_EQ(sample.rate, 22050);
    EXPECT_EQ(sample.channels, 2);
    EXPECT_EQ(sample.frames(), 3);
    EXPECT_EQ(sample.pcm, (std::vector<std::int16_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(sample.stream) << "nothing is left to decode";
    // A second load (the show set up again) gets the same.
    Sample again;
    ASSERT_TRUE(decodeAudioFile("/data/music.wma", again, error)) << error;
    EXPECT_EQ(again.pcm, sample.pcm);
}

TEST(PageDecodedSound, WhatThePageDidNotDecodeOrCannotPlayIsRefused) {
    platform::forgetDecodedSounds();
    Sample sample;
    std::string error;
    EXPECT_FALSE(decodeAudioFile("/data/missing.wma", sample, error));
    EXPECT_EQ(error, "the page has not decoded it");
    EXPECT_FALSE(decodeAudioFile("", sample, error));
    EXPECT_EQ(error, "no file name");
    platform::provideDecodedSound("/six.wav", platform::DecodedSound{std::vector<std::int16_t>(60, 0), 6, 8000});
    EXPECT_FALSE(decodeAudioFile("/six.wav", sample, error));
    EXPECT_EQ(error, "the file holds no audio");
    platform::provideDecodedSound("/long.wav", platform::DecodedSound{std::vector<std::int16_t>(8001, 0), 1, 8000});
    EXPECT_FALSE(decodeAudioFileStreamed("/long.wav", sample, error, 1.0, 1));
    EXPECT_EQ(error, "it is longer than 1 s");
    EXPECT_TRUE(sample.pcm.empty());
}
