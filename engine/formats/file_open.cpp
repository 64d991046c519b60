#include "file_open.h"

#include "file_io.h"
#include "file_types.h"
#include "format_entry.h"
#include "recent_files.h"
#include "core/error.h"

namespace mv {

int file_open_type(const std::string& path, int type)
{
    if (type < FILE_TIFF || type > FILE_RLE)
        return file_type_from_extension(path);
    return type;
}

int file_open_path(const std::string& path, int type, Image& img, OpenedFile& out,
                   bool show_progress, int photocd_resolution)
{
    image_free(img);
    out = {};
    const int t = file_open_type(path, type);
    const std::string full = path_default_extension(path, file_type_default_extension(t));
    if (!file_exists(full)) {
        error_message("File does not exist: %s", full);
        recent_file_remove(full);
        out.path = full;
        out.missing = true;
        return 0;
    }
    const int r = format_open(t, full, img, show_progress, photocd_resolution);
    if (r != 0)
        return r;
    recent_file_add(full);
    out.path = full;
    out.file_type = t;
    return 0;
}

} // namespace mv
