// The saved file set of a slide show: the overview file "NAME.ss", per slide "NAME.tCC"
// (thumbnail), "NAME.sCC" (slide image) and "NAME.wCC" (sound, when the slide has one) with
// CC the slide code, and the viewer files copied beside it. Saving, deleting and loading.
#pragma once

#include "slide_show.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

// True when the name ends in ".ss" (letter case ignored); otherwise `message` is
// "Slide show pathnames must have an extension of .ss".
bool slideshow_path_ok(std::string_view path, std::string& message);
// True when the name ends in ".avi"; otherwise "AVI file pathnames must have an extension
// of .avi".
bool avi_path_ok(std::string_view path, std::string& message);

// The viewer's files in the order they are copied: none for "no viewer".
std::vector<std::string> viewer_file_names(int save_with);

// Copies the viewer files of `save_with` from `viewer_folder` into `destination_folder`
// under progress windows "Copying viewer file: %s". A missing source shows "Missing viewer
// file: %s", a failed copy "Error copying viewer file: %s" (kSlideShowShown).
int slideshow_copy_viewer(int save_with, const std::string& viewer_folder,
                          const std::string& destination_folder);

// Deletes a saved show: the overview file, then for slides 0..499 the files "NAME.tCC",
// "NAME.sCC" and "NAME.wCC", stopping at the first slide whose thumbnail or slide file
// cannot be deleted. Returns the overview's deletion result (0, 37 or 38).
int slideshow_delete_files(const std::string& overview_path);

// Save As for ".ss": checks the name (message as slideshow_path_ok, kSlideShowShown); an
// existing file asks "Slide show already exists; delete it?" (Yes/No; No returns 11) and
// deletes the old set; copies the viewer files; writes the overview; copies each slide's
// thumbnail ("Copying thumbnail %d"), then each slide image ("Copying slide %d") and sound
// ("Copying sound %d"). Success shows "Slide Show Save Completed Successfully" (caption
// "Save Slide Show") and clears the modified flag.
int slideshow_save(SlideShow& show, const std::string& path, const std::string& viewer_folder);

// Load: with slides present asks "Loading a slide show will delete all existing
// slides.\nDo you wish to continue?" (Yes/No; No returns 11). Checks the name ("Slide Show
// pathnames must have an extension of .ss"), reads the overview, and copies every slide's
// files to new working files ("Loading Thumbnail %d", "Loading Slide %d", "Loading Sound
// %d") and reads its thumbnail. Failures show "Error copying thumbnail for slide %d",
// "Error reading thumbnail image for slide %d", "Error copying image for slide %d" or
// "Error copying sound for slide %d" (numbered from 1) and leave the show empty. On success
// the show holds the loaded slides, takes the smallest slide size that holds them all
// (slideshow_fitting_size_index) and is not modified.
int slideshow_load(SlideShow& show, const std::string& path);

// Copies a file under a cancellable progress window with the given title: 0, 4, 3/37, 6, 11.
int slideshow_copy_file(const std::string& from, const std::string& to, std::string_view title);

} // namespace mv
