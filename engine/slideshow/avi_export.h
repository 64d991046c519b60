// Export of a slide show as an AVI video through FFmpeg: 30 frames per second, frames of
// the slide size, 8-bit gray when every slide is gray else 24-bit colour, one key frame per
// slide at its start time, a black closing frame, and the slides' sounds in one audio
// stream.
#pragma once

#include "slide_show.h"

#include <string>
#include <vector>

namespace mv {

inline constexpr int kAviFramesPerSecond = 30;

// A video compressor this FFmpeg build offers for AVI files.
struct AviCompressor {
    std::string name;    // the encoder's name: "rawvideo", "mjpeg", "ffv1", ...
    std::string label;   // what the dialog shows: "Uncompressed", "Motion JPEG", ...
};

// The compressors available, "Uncompressed" first.
std::vector<AviCompressor> avi_compressors();

// The compressor named `name`; false when this build does not offer it.
bool avi_compressor_available(const std::string& name);

// Writes the show to `path` with the encoder `compressor` ("rawvideo" when empty) under
// the cancellable progress window "Building AVI File" (one step per slide). Each slide is
// centred on black in a frame of the slide size and written as a key frame at t x 30, t
// the seconds of the slides before it; one black frame follows at the end time. The first
// slide sound fixes the audio format (sampling rate and channels; samples are stored as
// 16-bit PCM); each sound starts at its slide's start or, when the sound before it is
// still running, right after it. A sound with another sampling rate shows "WAV files have
// different sampling rates and cannot be combined in a single AVI file"; a corrupt sound
// "Error reading sound for slide %d: %s"; any failure of the video library "Error
// creating AVI file" (kSlideShowShown each). An empty show writes only the black frame.
// A failed or cancelled export deletes the partial file.
int avi_export(const SlideShow& show, const std::string& path, const std::string& compressor);

// Save As for ".avi": checks the name (message as avi_path_ok, kSlideShowShown), exports,
// and shows "Slide Show Save Completed Successfully" (caption "Save Slide Show").
int slideshow_save_avi(const SlideShow& show, const std::string& path,
                       const std::string& compressor);

} // namespace mv
