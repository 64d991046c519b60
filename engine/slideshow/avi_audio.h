// The sound track of an AVI export: the slides' sounds laid end to end on one timeline of
// 16-bit PCM samples, each starting at its slide's start or right after the sound before.
#pragma once

#include "slide_show.h"
#include "wav_file.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mv {

class AviSoundTrack {
public:
    // Lays out the show's sounds. Shows "WAV files have different sampling rates and
    // cannot be combined in a single AVI file" or "Error reading sound for slide %d: %s"
    // and returns kSlideShowShown on failure.
    int plan(const SlideShow& show);

    bool empty() const { return placed_.empty(); }
    int sample_rate() const { return rate_; }
    int channels() const { return channels_; }
    // The sample after the last sound.
    std::int64_t end() const;

    // Fills `out` with `count` frames of interleaved samples starting at frame `from`
    // (silence between sounds), loading sounds as they are reached. 0 or a code with its
    // message shown (kSlideShowShown).
    int render(std::int64_t from, int count, std::vector<std::int16_t>& out);

private:
    struct Placed {
        int slide = 0;
        std::string path;
        std::int64_t start = 0;
        std::int64_t frames = 0;
    };
    std::vector<Placed> placed_;
    std::map<std::size_t, WavSound> loaded_;
    int rate_ = 0;
    int channels_ = 0;
};

} // namespace mv
