// A small reader of RIFF/WAVE files holding PCM sound: integer samples of 8, 16, 24 or 32
// bits, or 32-bit floating point, any number of channels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

struct WavSound {
    int channels = 0;
    int sample_rate = 0;         // samples per second
    int bits = 0;                // bits per sample as stored
    bool floating = false;       // IEEE float samples
    std::vector<std::int16_t> samples; // interleaved, converted to 16 bits
    long long frames() const { return channels ? (long long)samples.size() / channels : 0; }
};

// The format of a WAV file without its samples.
struct WavFormat {
    int channels = 0;
    int sample_rate = 0;
    int bits = 0;
    bool floating = false;
    long long frames = 0;        // samples per channel
};

// Reads the format ("fmt ") and the size of the sound ("data"). On a bad file `problem`
// says what is wrong ("not a RIFF/WAVE file", "no data chunk", "unsupported sample
// format (compressed sound)", ...) and the result is 5; 4 when it cannot be opened.
int wav_read_format(const std::string& path, WavFormat& format, std::string& problem);

// Reads the whole sound, samples converted to 16 bits. Errors as above, 1 when the sound
// does not fit in memory.
int wav_read(const std::string& path, WavSound& sound, std::string& problem);

} // namespace mv
