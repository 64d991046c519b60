#include "shell/clipboard.h"

#include "core/error.h"
#include "settings/preferences.h"
#include "shell/clipboard_dib.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstring>

namespace clipboard {
namespace {

const QString kBitmapFormat = QStringLiteral("image/bmp");
constexpr int kFileHeaderSize = 14;

void put32(std::vector<std::uint8_t>& b, size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t get32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// A bitmap file (file header + the bitmap) that QImage can decode.
QByteArray bitmapFile(const std::vector<std::uint8_t>& dib)
{
    const int bits = dib[14] | dib[15] << 8;
    const std::uint32_t colors = get32(&dib[32]);
    const std::uint32_t palette = bits <= 8 ? 4 * (colors ? colors : (1u << bits)) : 0;
    std::vector<std::uint8_t> head(kFileHeaderSize, 0);
    head[0] = 'B';
    head[1] = 'M';
    put32(head, 2, std::uint32_t(kFileHeaderSize + dib.size()));
    put32(head, 10, std::uint32_t(kFileHeaderSize + mv::kDibHeaderSize + palette));
    QByteArray file(reinterpret_cast<const char*>(head.data()), kFileHeaderSize);
    file.append(reinterpret_cast<const char*>(dib.data()), qsizetype(dib.size()));
    return file;
}

// A 24-bit bitmap of a plain image, rows bottom first.
int bitmapOfImage(const QImage& source, std::vector<std::uint8_t>& dib)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB888);
    const long long row = (3LL * img.width() + 3) / 4 * 4;
    const long long total = mv::kDibHeaderSize + row * img.height();
    if (total >= mv::kClipboardByteLimit)
        return mv::kImageTooBigForClipboard;
    try {
        dib.assign(size_t(total), 0);
    } catch (const std::bad_alloc&) {
        return mv::kOutOfMemory;
    }
    put32(dib, 0, mv::kDibHeaderSize);
    put32(dib, 4, std::uint32_t(img.width()));
    put32(dib, 8, std::uint32_t(img.height()));
    dib[12] = 1;
    dib[14] = 24;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* in = img.constScanLine(y);
        std::uint8_t* out = dib.data() + mv::kDibHeaderSize + row * (img.height() - 1 - y);
        for (int x = 0; x < img.width(); ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    return mv::kOk;
}

} // namespace

int copy(const mv::Image& image)
{
    std::vector<std::uint8_t> dib;
    if (const int err = mv::clipboard_dib_copy(image, dib))
        return err;
    auto* data = new QMimeData;
    data->setData(kBitmapFormat, QByteArray(reinterpret_cast<const char*>(dib.data()), qsizetype(dib.size())));
    const QImage plain = QImage::fromData(bitmapFile(dib), "BMP");
    if (!plain.isNull())
        data->setImageData(plain);
    QGuiApplication::clipboard()->setMimeData(data);
    return mv::kOk;
}

bool hasBitmap()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && (data->hasFormat(kBitmapFormat) || data->hasImage());
}

int paste(mv::Image& out)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return mv::kIllegalImageType;
    std::vector<std::uint8_t> dib;
    if (data->hasFormat(kBitmapFormat)) {
        QByteArray bytes = data->data(kBitmapFormat);
        // Other programs put whole bitmap files here; their file header is skipped.
        if (bytes.size() >= kFileHeaderSize + mv::kDibHeaderSize && bytes.startsWith("BM"))
            bytes.remove(0, kFileHeaderSize);
        if (bytes.size() >= mv::kClipboardByteLimit)
            return mv::kImageTooBigForClipboard;
        dib.assign(bytes.begin(), bytes.end());
    } else if (data->hasImage()) {
        if (const int err = bitmapOfImage(qvariant_cast<QImage>(data->imageData()), dib))
            return err;
    } else {
        return mv::kIllegalImageType;
    }
    return mv::clipboard_dib_paste(dib, mv::preferences().default_resolution, out);
}

} // namespace clipboard
