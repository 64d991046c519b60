// Low-level access to a TIFF file's header and first directory, shared by the classifier and
// the reader: values in the file's byte order, reads that never pass the end of the file,
// and directory entries decoded by their field type.
#pragma once

#include "file_io.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

// TIFF tags the classifier and the reader act on.
enum TiffTag : std::uint16_t {
    kTagNewSubfileType = 254,
    kTagSubfileType = 255,
    kTagImageWidth = 256,
    kTagImageLength = 257,
    kTagBitsPerSample = 258,
    kTagCompression = 259,
    kTagPhotometric = 262,
    kTagFillOrder = 266,
    kTagStripOffsets = 273,
    kTagOrientation = 274,
    kTagSamplesPerPixel = 277,
    kTagRowsPerStrip = 278,
    kTagStripByteCounts = 279,
    kTagXResolution = 282,
    kTagYResolution = 283,
    kTagPlanarConfiguration = 284,
    kTagResolutionUnit = 296,
    kTagPredictor = 317,
    kTagTileWidth = 322,
    kTagTileByteCounts = 325,
};

enum TiffFieldType : std::uint16_t {
    kFieldByte = 1,
    kFieldAscii = 2,
    kFieldShort = 3,
    kFieldLong = 4,
    kFieldRational = 5,
};

// An open TIFF file and its byte order.
struct TiffFile {
    FileHandle file;
    bool big_endian = false;
    std::int64_t size = 0;

    std::uint16_t u16(const std::uint8_t* p) const;
    std::uint32_t u32(const std::uint8_t* p) const;
};

// One 12-byte directory entry. `value` is the number its field type gives: the first byte
// for BYTE, 0 for ASCII, the leading 16-bit number for SHORT, the 32-bit field for LONG;
// `number` is the same as a float, or numerator / denominator for RATIONAL (read at the
// offset; 0 when the denominator is 0). `offset` is the raw 32-bit value field.
struct TiffEntry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint8_t field[4] = {};
    std::uint32_t offset = 0;
    std::uint32_t value = 0;
    double number = 0;
};

enum TiffHeaderStatus : int {
    kTiffHeaderOk = 0,
    kTiffHeaderReadError = 1,
    kTiffHeaderBadSignature = 2,
    kTiffHeaderBadVersion = 3,
};

// Reads and checks the 8-byte header of an open file: "II" or "MM", 42, the offset of the
// first directory.
int tiff_read_header(TiffFile& tf, std::uint32_t& first_directory);

// Reads exactly `count` bytes at `offset`; false when they do not all lie in the file or
// cannot be read.
bool tiff_read_at(TiffFile& tf, std::uint64_t offset, std::size_t count, void* buffer);

// The entry count of the directory at `offset`.
bool tiff_read_entry_count(TiffFile& tf, std::uint32_t offset, std::uint16_t& count);

// Entry `index` of the directory at `offset`, its value decoded.
bool tiff_read_entry(TiffFile& tf, std::uint32_t offset, int index, TiffEntry& e);

// The first `n` 16-bit numbers at the entry's offset (n <= 4).
bool tiff_read_shorts(TiffFile& tf, const TiffEntry& e, int n, std::uint16_t* out);

// The values of a strip array (offsets or byte counts): one value in the value field, two
// SHORT values in the value field, else `count` SHORT or LONG numbers at the offset. An
// array that does not fit in the file is a read error (false); one that cannot be
// allocated sets `out_of_memory`.
bool tiff_read_strip_array(TiffFile& tf, const TiffEntry& e, std::vector<std::uint32_t>& out,
                           bool& out_of_memory);

} // namespace mv
