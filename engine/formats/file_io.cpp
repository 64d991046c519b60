#include "file_io.h"

#include "core/error.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace mv {

FileHandle& FileHandle::operator=(FileHandle&& o) noexcept
{
    if (this != &o) {
        close();
        f_ = o.f_;
        o.f_ = nullptr;
    }
    return *this;
}

int FileHandle::close()
{
    if (!f_)
        return kOk;
    const int r = std::fclose(f_);
    f_ = nullptr;
    return r == 0 ? kOk : 9;
}

int file_open_read(const std::string& path, FileHandle& out)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return kCannotOpenFile;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return kCannotOpenFile;
    out = FileHandle(f);
    return kOk;
}

bool file_exists(const std::string& path)
{
    FileHandle f;
    return file_open_read(path, f) == kOk;
}

int file_create(const std::string& path, FileHandle& out)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return errno == EACCES || errno == EROFS || errno == EPERM ? 37 : kCannotCreateFile;
    out = FileHandle(f);
    return kOk;
}

int file_delete(const std::string& path)
{
    if (::unlink(path.c_str()) == 0)
        return kOk;
    return errno == EACCES || errno == EROFS || errno == EPERM ? 37 : 38;
}

int file_read(FileHandle& f, std::size_t& count, void* buffer)
{
    const std::size_t want = count;
    count = std::fread(buffer, 1, want, f.get());
    if (count < want && std::ferror(f.get()))
        return kErrorReadingFile;
    return count == 0 && want > 0 ? kUnexpectedEof : kOk;
}

int file_read_exact(FileHandle& f, std::size_t count, void* buffer)
{
    std::size_t got = count;
    const int err = file_read(f, got, buffer);
    if (err)
        return err;
    return got == count ? kOk : kUnexpectedEof;
}

int file_write(FileHandle& f, std::size_t count, const void* buffer)
{
    return std::fwrite(buffer, 1, count, f.get()) == count ? kOk : kErrorWritingFile;
}

int file_read_at(FileHandle& f, std::int64_t offset, std::size_t count, void* buffer)
{
    auto* p = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        const ssize_t got = ::pread(::fileno(f.get()), p, count, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return kErrorReadingFile;
        if (got == 0)
            return kUnexpectedEof;
        p += got;
        offset += got;
        count -= std::size_t(got);
    }
    return kOk;
}

int file_write_at(FileHandle& f, std::int64_t offset, std::size_t count, const void* buffer)
{
    const auto* p = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        const ssize_t put = ::pwrite(::fileno(f.get()), p, count, off_t(offset));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return kErrorWritingFile;
        p += put;
        offset += put;
        count -= std::size_t(put);
    }
    return kOk;
}

int file_flush(FileHandle& f)
{
    return std::fflush(f.get()) == 0 ? kOk : kErrorWritingFile;
}

int file_seek(FileHandle& f, std::int64_t offset)
{
    return offset >= 0 && ::fseeko(f.get(), offset, SEEK_SET) == 0 ? kOk : 8;
}

int file_tell(FileHandle& f, std::int64_t& offset)
{
    offset = ::ftello(f.get());
    return offset < 0 ? 7 : kOk;
}

int file_size(FileHandle& f, std::int64_t& size)
{
    struct stat st{};
    if (::fstat(::fileno(f.get()), &st) != 0)
        return 8;
    size = st.st_size;
    return kOk;
}

int file_read_line(FileHandle& f, std::string& line, std::size_t max)
{
    line.clear();
    int c;
    while ((c = std::fgetc(f.get())) != EOF) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            if (line.empty())
                continue; // empty lines are passed over
            return kOk;
        }
        if (line.size() < max)
            line += char(c);
    }
    if (std::ferror(f.get()))
        return kErrorReadingFile;
    return line.empty() ? kUnexpectedEof : kOk;
}

int file_write_line(FileHandle& f, std::string_view text)
{
    int err = file_write(f, text.size(), text.data());
    if (!err && !(text.size() >= 2 && text.substr(text.size() - 2) == "\r\n"))
        err = file_write(f, 2, "\r\n");
    return err;
}

std::string path_join(std::string_view directory, std::string_view name)
{
    std::string out(directory);
    if (out.empty() || out.back() != '/')
        out += '/';
    out += name;
    return out;
}

std::string_view path_extension(std::string_view path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    const size_t sep = path.find_first_of("/:\\", dot);
    return sep == std::string_view::npos ? path.substr(dot + 1) : std::string_view{};
}

std::string path_replace_extension(std::string_view path, std::string_view ext)
{
    const size_t dot = path.rfind('.');
    const size_t sep = path.find_last_of("/:\\");
    std::string out(path);
    if (dot != std::string_view::npos && (sep == std::string_view::npos || dot > sep))
        out.resize(dot);
    out += ext;
    return out;
}

std::string path_default_extension(std::string_view path, std::string_view ext)
{
    const size_t dot = path.rfind('.');
    const size_t sep = path.find_last_of("/:\\");
    if (dot != std::string_view::npos && (sep == std::string_view::npos || dot > sep))
        return std::string(path);
    return std::string(path) + std::string(ext);
}

int temp_directory(std::string_view preference, std::string& out)
{
    std::string dir(preference);
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (dir.empty()) {
        const char* env = std::getenv("TMPDIR");
        dir = env && *env ? env : "/tmp";
    }
    struct stat st{};
    if (::stat(dir.c_str(), &st) != 0) {
        if (::mkdir(dir.c_str(), 0700) != 0)
            return 88;
    } else if (!S_ISDIR(st.st_mode)) {
        return 88;
    }
    out = dir;
    return kOk;
}

} // namespace mv
