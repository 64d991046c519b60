// File primitives shared by every reader and writer: a file handle whose failures are the
// program's error codes, line reading and writing for keyword files, and path helpers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace mv {

// An open file; closed when destroyed.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(std::FILE* f) : f_(f) {}
    FileHandle(FileHandle&& o) noexcept : f_(o.f_) { o.f_ = nullptr; }
    FileHandle& operator=(FileHandle&& o) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { close(); }
    bool is_open() const { return f_ != nullptr; }
    std::FILE* get() const { return f_; }
    // Closes the file; 9 when buffered data could not be written.
    int close();

private:
    std::FILE* f_ = nullptr;
};

int file_open_read(const std::string& path, FileHandle& out);           // 0 or 4
bool file_exists(const std::string& path);
int file_create(const std::string& path, FileHandle& out);              // 0, 37 or 3
int file_delete(const std::string& path);                               // 0, 37 or 38
// Reads up to `count` bytes; `count` becomes the bytes read. 5 on a read error, 2 when
// nothing at all could be read.
int file_read(FileHandle& f, std::size_t& count, void* buffer);
// Reads exactly `count` bytes, else 2 (end of file) or 5.
int file_read_exact(FileHandle& f, std::size_t count, void* buffer);
int file_write(FileHandle& f, std::size_t count, const void* buffer);   // 0 or 6
int file_seek(FileHandle& f, std::int64_t offset);                      // 0 or 8
// Positional reads and writes on the file's descriptor: they leave the stream position alone
// and may run on several threads at once on the same file. Flush the stream before the first
// positional write so buffered bytes land first.
int file_read_at(FileHandle& f, std::int64_t offset, std::size_t count, void* buffer); // 0, 2, 5
int file_write_at(FileHandle& f, std::int64_t offset, std::size_t count, const void* buffer); // 0, 6
int file_flush(FileHandle& f);                                          // 0 or 6
int file_tell(FileHandle& f, std::int64_t& offset);                     // 0 or 7
int file_size(FileHandle& f, std::int64_t& size);                       // 0 or 8

// Reads one line of at most `max` characters, skipping carriage returns and empty lines;
// 2 when the file ends before any character.
int file_read_line(FileHandle& f, std::string& line, std::size_t max = 1024);
// Writes the text and then "\r\n" unless it already ends with it.
int file_write_line(FileHandle& f, std::string_view text);

// The directory, a "/" unless it already ends in one, then the name.
std::string path_join(std::string_view directory, std::string_view name);
// The text after the last point of the file name, or empty when there is none.
std::string_view path_extension(std::string_view path);
std::string path_replace_extension(std::string_view path, std::string_view ext);
std::string path_default_extension(std::string_view path, std::string_view ext);

// Makes sure the temporary folder exists (the preference "tempdirectory", or the system's
// temporary folder when empty); 0, or 88 when it can neither be found nor created.
int temp_directory(std::string_view preference, std::string& out);

} // namespace mv
