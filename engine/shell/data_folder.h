// Where the program finds the files it ships: pictures (samples, the calibration reference
// "refimg.jpg") and the HTML user manual. Both are found from the running binary's own folder,
// so an installed tree works wherever it is moved and no path is compiled in:
//
//   /opt/x/bin/morvane-batch      -> /opt/x/share/morvane, /opt/x/share/doc/morvane/manual
//   build/app/morvane             -> build/share/morvane  (the build copies them there)
//   build/tests/app/some_test     -> build/share/morvane  (one folder further up)
//
// The first of <bin>/../share/morvane and <bin>/../../share/morvane that exists wins; when
// neither does, the first is returned so messages name the place the program looked.
#pragma once

#include <filesystem>
#include <string_view>

namespace mv {

// The folder holding the running executable (from /proc/self/exe); empty when unknown.
std::filesystem::path program_folder();

// The data and manual folders for a binary in `bin`.
std::filesystem::path data_folder(const std::filesystem::path& bin);
std::filesystem::path manual_folder(const std::filesystem::path& bin);

// The same for the running program.
std::filesystem::path data_folder();
std::filesystem::path manual_folder();

// The page of the manual in `manual` whose text holds the anchor id="anchor"; index.html for
// an empty anchor or one no page holds.
std::filesystem::path manual_page(const std::filesystem::path& manual, std::string_view anchor);

} // namespace mv
