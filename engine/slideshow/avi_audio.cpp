#include "avi_audio.h"

#include "core/error.h"

#include <algorithm>

namespace mv {
namespace {

int sound_failure(int slide, const std::string& problem)
{
    error_message("Error reading sound for slide %d: %s", slide + 1, problem);
    return kSlideShowShown;
}

} // namespace

int AviSoundTrack::plan(const SlideShow& show)
{
    placed_.clear();
    loaded_.clear();
    std::int64_t seconds = 0;
    std::int64_t next_free = 0;
    for (int i = 0; i < int(show.slides.size()); ++i) {
        const Slide& slide = show.slides[i];
        const std::int64_t slide_start = seconds;
        seconds += slide_seconds(show, slide);
        if (!slide_has_sound(slide))
            continue;
        WavFormat format;
        std::string problem;
        if (wav_read_format(slide.sound_file, format, problem) != kOk)
            return sound_failure(i, problem);
        if (placed_.empty()) {
            rate_ = format.sample_rate;
            channels_ = format.channels;
        } else if (format.sample_rate != rate_) {
            error_message("WAV files have different sampling rates and cannot be combined in a "
                          "single AVI file");
            return kSlideShowShown;
        }
        const std::int64_t start = std::max(slide_start * rate_, next_free);
        placed_.push_back({i, slide.sound_file, start, format.frames});
        next_free = start + format.frames;
    }
    return kOk;
}

std::int64_t AviSoundTrack::end() const
{
    return placed_.empty() ? 0 : placed_.back().start + placed_.back().frames;
}

int AviSoundTrack::render(std::int64_t from, int count, std::vector<std::int16_t>& out)
{
    out.assign(std::size_t(count) * channels_, 0);
    const std::int64_t to = from + count;
    for (std::size_t k = 0; k < placed_.size(); ++k) {
        const Placed& p = placed_[k];
        if (p.start + p.frames <= from) {
            loaded_.erase(k); // passed: no longer needed
            continue;
        }
        if (p.start >= to)
            break;
        auto it = loaded_.find(k);
        if (it == loaded_.end()) {
            WavSound sound;
            std::string problem;
            if (wav_read(p.path, sound, problem) != kOk)
                return sound_failure(p.slide, problem);
            it = loaded_.emplace(k, std::move(sound)).first;
        }
        const WavSound& s = it->second;
        const std::int64_t a = std::max(from, p.start);
        const std::int64_t b = std::min(to, p.start + std::min<std::int64_t>(p.frames, s.frames()));
        for (std::int64_t t = a; t < b; ++t) {
            const std::int16_t* src = s.samples.data() + (t - p.start) * s.channels;
            std::int16_t* dst = out.data() + (t - from) * channels_;
            for (int c = 0; c < channels_; ++c) {
                if (s.channels == channels_) {
                    dst[c] = src[c];
                } else if (channels_ == 1) {
                    int sum = 0;
                    for (int j = 0; j < s.channels; ++j)
                        sum += src[j];
                    dst[c] = std::int16_t(sum / s.channels);
                } else {
                    dst[c] = src[std::min(c, s.channels - 1)];
                }
            }
        }
    }
    return kOk;
}

} // namespace mv
