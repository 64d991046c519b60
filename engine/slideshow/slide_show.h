// The slide show: up to 500 slides, each a reduced JPEG copy of a picture with a thumbnail,
// a caption, an optional description, an optional sound and a display duration, kept in
// working files "temp<n>.s", "temp<n>.t" and "temp<n>.wav" in the temporary folder until
// the show is closed. Saving, loading and the overview file are in slide_files.h and
// slide_overview.h, the AVI export in avi_export.h, sounds in wav_file.h.
//
// Results: 0, an error code of the table in core/error.h, or kSlideShowShown when the
// failure has a text of its own that has already been shown through error_message (for
// example "Too many slides"). 11 (cancelled) is never shown. slideshow_error_box shows a
// result the way the editor does.
#pragma once

#include "core/image.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// A failure whose own message has already been shown.
inline constexpr int kSlideShowShown = -1;

inline constexpr int kSlideMax = 500;
inline constexpr int kCaptionMax = 80;          // bytes, never splitting a UTF-8 character
inline constexpr int kThumbnailWidth = 96;
inline constexpr int kThumbnailHeight = 64;
inline constexpr int kThumbnailQuality = 90;
inline constexpr int kShowDurationMin = 1;      // "Duration (sec):"
inline constexpr int kShowDurationMax = 300;
inline constexpr int kShowDurationDefault = 5;
inline constexpr int kSlideDurationMax = 9999;  // "Slide Duration in Seconds (0 for default):"
inline constexpr int kPaletteBytes = 768;
inline constexpr long long kSizeUnit = 512;     // saved sizes are rounded up to this

// "Slide Size:" list: "320x240" ... "1024x768"; index 4 ("640x480") is the default.
struct SlideSize {
    const char* label;
    int width;
    int height;
};
inline constexpr int kSlideSizeCount = 10;
inline constexpr int kSlideSizeDefault = 4;
const SlideSize& slide_size(int index);   // index clamped to 0..9
// The index of a label such as "640x480"; -1 when it is not in the list.
int slide_size_index(std::string_view label);

// "Quality:" list: "Normal" (JPEG 90), "High" (95), "Highest" (98).
enum SlideQuality : int { kQualityNormal = 0, kQualityHigh = 1, kQualityHighest = 2 };
inline constexpr int kSlideQualityCount = 3;
const char* slide_quality_label(int quality);
int slide_quality_jpeg(int quality);
// The quality whose label is `label` ignoring case ("normal", "High"); -1 when none.
int slide_quality_index(std::string_view label);

// "Save with:" list, and the bytes the viewer adds to the total size.
enum SaveWith : int { kSaveNoViewer = 0, kSaveInstallableViewer = 1, kSaveRunnableViewer = 2 };
inline constexpr int kSaveWithCount = 3;
const char* save_with_label(int save_with);    // "no viewer", "installable viewer", ...
long long save_with_bytes(int save_with);      // 0, 133120, 254464

struct Slide {
    int number = 0;               // n of the working files
    std::string slide_file;       // "<temp>/temp<n>.s": the slide image, JPEG
    std::string thumbnail_file;   // "<temp>/temp<n>.t": the thumbnail, JPEG quality 90
    std::string sound_file;       // "<temp>/temp<n>.wav": the sound, present when set
    std::string caption;          // at most 80 bytes
    std::string description;      // any length, empty for none
    long long size = 0;           // the three files' sizes, each rounded up to 512
    Image thumbnail;              // at most 96 x 64, gray or colour
    std::array<std::uint8_t, kPaletteBytes> palette{}; // red, green, blue per entry
    bool gray = false;            // the slide image is 8-bit gray
    int width = 0;                // the slide image's size in pixels
    int height = 0;
    bool loop = false;            // sound loop: "loop" (true) or "single"
    int duration = 0;             // seconds, 0 = the show's default
};

// One show per Slide Show window. Move-only; its working files are deleted when it is
// destroyed or cleared.
struct SlideShow {
    std::vector<Slide> slides;
    int size_index = kSlideSizeDefault;
    int quality = kQualityNormal;
    int duration = kShowDurationDefault;
    int save_with = kSaveRunnableViewer;
    bool modified = false;
    int file_counter = 0;         // numbers the working files
    std::string temp_dir;         // where the working files live

    SlideShow() = default;
    explicit SlideShow(std::string temp) : temp_dir(std::move(temp)) {}
    SlideShow(SlideShow&&) noexcept = default;
    SlideShow& operator=(SlideShow&&) noexcept;
    SlideShow(const SlideShow&) = delete;
    SlideShow& operator=(const SlideShow&) = delete;
    ~SlideShow();
};

// Shows a result: nothing for 0, 11 and kSlideShowShown, else error_box(code).
void slideshow_error_box(int code);

// Deletes every slide with its working files (the counter and settings stay).
void slideshow_clear(SlideShow& show);

// --- Adding slides ---------------------------------------------------------------------

bool slideshow_full(const SlideShow& show);

// Makes a slide of a picture and inserts it before `position` (-1 or the slide count:
// at the end). A full show shows "Too many slides" and returns kSlideShowShown. The
// thumbnail is the picture fitted within 96 x 64; the slide image is the picture fitted
// within the slide size when it is larger in either direction, else the picture itself;
// 16-bit pictures are narrowed to 8 bits and binary ones become gray first. The palette
// is the gray ramp for a gray slide, else the 256-colour palette of the slide image.
// Caption empty, "single", duration 0, no sound. Marks the show modified. Errors: 1, 11,
// 14, 24, the JPEG writer's codes; nothing is left behind on failure.
int slideshow_add_picture(SlideShow& show, const Image& picture, int position = -1);

// Reads a picture file with the reader of its type and adds it as above. Read failures
// return the reader's code (its detailed message, if any, already shown).
int slideshow_add_file(SlideShow& show, const std::string& path, int position = -1);

// --- Editing -------------------------------------------------------------------------------
// Each marks the show modified. Out-of-range indices are ignored (result 0 / no change).

// Deletes the slide and its working files.
void slideshow_remove(SlideShow& show, int index);
// Moves slide `from` so that it ends at index `to`.
void slideshow_move(SlideShow& show, int from, int to);
// Caption cut to 80 bytes at a character boundary; control characters become blanks.
void slideshow_set_caption(SlideShow& show, int index, std::string_view caption);
void slideshow_set_description(SlideShow& show, int index, std::string_view text);
void slideshow_set_slide_duration(SlideShow& show, int index, int seconds); // 0..9999
void slideshow_set_loop(SlideShow& show, int index, bool loop);
void slideshow_set_size_index(SlideShow& show, int size_index);  // for slides added later
void slideshow_set_quality(SlideShow& show, int quality);        // for slides added later
void slideshow_set_duration(SlideShow& show, int seconds);       // 1..300
void slideshow_set_save_with(SlideShow& show, int save_with);

// "Set Sound": checks that `wav_path` is a readable PCM WAV file (a bad one shows
// "Illegal WAV file: %s" with the problem, kSlideShowShown) and copies it to the slide's
// "temp<n>.wav" under the progress window "Copying WAV file". 0, 4, 6, 11, kSlideShowShown.
int slideshow_set_sound(SlideShow& show, int index, const std::string& wav_path);
// "Reset Sound": removes the slide's sound file.
void slideshow_reset_sound(SlideShow& show, int index);
bool slide_has_sound(const Slide& slide);

// --- Sizes -----------------------------------------------------------------------------------

// `bytes` rounded up to a multiple of 512.
long long slide_round_size(long long bytes);
// Recomputes slide.size from its working files.
void slide_update_size(Slide& slide);
// The overview file's estimated length, rounded up to 512: "Slideshow 1.0xx", and per slide
// "caption xx xx xx" + caption, "palette xx xx xx" + 768, and for a description
// "description xx xx xx" + its text.
long long slideshow_overview_estimate(const SlideShow& show);
// The viewer's bytes + every slide's size + the overview estimate.
long long slideshow_total_bytes(const SlideShow& show);
// The total in megabytes (bytes / 1000000), for "Total size: %2fMB".
double slideshow_total_megabytes(const SlideShow& show);

// The smallest listed slide size that holds every slide (the largest when none does, the
// default for an empty show). A loaded show takes it, since the overview keeps no size.
int slideshow_fitting_size_index(const SlideShow& show);

// The seconds a slide shows: its own duration, or the show's when 0.
int slide_seconds(const SlideShow& show, const Slide& slide);

// --- Codes and file names ----------------------------------------------------------------

// The two-character code of slide `index` (0-based): base-36 digits ("0"-"9", "A"-"Z") of
// k div 36 and k mod 36 with k = index + 1; slide 0 is "01", slide 35 is "10".
std::string slide_code(int index);

// The name of a saved slide's file beside the overview file: the path without its ".ss"
// followed by "." + kind + code, kind 't' (thumbnail), 's' (slide image), 'w' (sound):
// "show.ss", 0, 's' gives "show.s01".
std::string saved_slide_path(std::string_view overview_path, int index, char kind);

// The working file names of number n: "<temp>/temp<n>.s", ".t", ".wav".
std::string working_slide_path(std::string_view temp_dir, int n);
std::string working_thumbnail_path(std::string_view temp_dir, int n);
std::string working_sound_path(std::string_view temp_dir, int n);

// Increases the show's file counter until none of the three working files of that number
// exists (another show may be using the same folder) and returns the number.
int slideshow_next_number(SlideShow& show);

// --- Pictures for display ---------------------------------------------------------------

// The gray ramp palette (entry i = i, i, i).
std::array<std::uint8_t, kPaletteBytes> gray_ramp_palette();

// Reads a slide's image from its working file: 8-bit gray or 24-bit colour. 0 or the JPEG
// reader's code. No progress window.
int slide_read_image(const Slide& slide, Image& out);

// Reads a slide image of a saved show ("show.s01", ...): for the viewer.
int saved_slide_read_image(std::string_view overview_path, int index, Image& out);

} // namespace mv
