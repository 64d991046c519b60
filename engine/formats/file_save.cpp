#include "file_save.h"

#include "file_io.h"
#include "file_types.h"
#include "core/error.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace mv {
namespace {

constexpr int kReadOnly = 37;

int create_error(int err)
{
    return err == EACCES || err == EROFS || err == EPERM ? kReadOnly : kCannotCreateFile;
}

// The file to replace: the target of a symbolic link, else the path itself.
std::string resolve_target(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto real = std::filesystem::weakly_canonical(path, ec);
        if (!ec)
            return real.string();
    }
    return path;
}

// Reading the file-creation mask means setting it and putting it back, which saves running
// on several threads at once must not interleave: it is read once.
mode_t new_file_mode()
{
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return 0666 & ~mask;
}

} // namespace

bool save_as_name(const std::string& path, int filter, std::string& name, std::string& message)
{
    name = path_default_extension(path, save_default_extension(filter));
    return save_extension_ok(name, filter, message);
}

int file_save_path(const std::string& path, int filter, const Image& img, const SaveOptions& options)
{
    const std::string target = resolve_target(path);
    const std::filesystem::path p(target);
    const std::string folder = p.has_parent_path() ? p.parent_path().string() : ".";
    std::string pattern = path_join(folder, "." + p.filename().string() + ".XXXXXX");
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return create_error(errno);
    ::close(fd);
    const std::string temp_path(temp.data());

    int r = format_save(filter, temp_path, img, options);
    if (r == 0) {
        struct stat st{};
        const mode_t mode = ::stat(target.c_str(), &st) == 0 ? st.st_mode & 07777 : new_file_mode();
        ::chmod(temp_path.c_str(), mode);
        if (std::rename(temp_path.c_str(), target.c_str()) != 0)
            r = create_error(errno);
    }
    if (r != 0)
        ::unlink(temp_path.c_str());
    return r;
}

} // namespace mv
