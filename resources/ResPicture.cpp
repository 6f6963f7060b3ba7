// The picture object: an immutable QImage with its kind, reference counted.
#include "ResPicture.h"

#include "Module.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <atomic>
#include <cstring>
#include <new>

namespace qel {
namespace {

using component::HResult;
namespace hr = component::hr;

class ResPicture final : public component::IPicture {
public:
    ResPicture(component::PictureKind kind, QImage image) : m_kind(kind), m_image(std::move(image)) {}

    HResult queryInterface(const QUuid& iid, void** object) noexcept override
    {
        if (!object)
            return hr::kPointer;
        if (iid == component::IUnknown::kIid || iid == component::IPicture::kIid) {
            *object = static_cast<component::IPicture*>(this);
            addRef();
            return hr::kOk;
        }
        *object = nullptr;
        return hr::kNoInterface;
    }
    std::uint32_t addRef() noexcept override { return ++m_references; }
    std::uint32_t release() noexcept override
    {
        const std::uint32_t left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    component::PictureKind kind() const noexcept override { return m_kind; }
    int width() const noexcept override { return m_image.width(); }
    int height() const noexcept override { return m_image.height(); }
    QImage image() const noexcept override { return m_image; }

private:
    ~ResPicture() = default;

    module::Lock m_moduleLock;
    std::atomic<std::uint32_t> m_references{1};
    const component::PictureKind m_kind;
    const QImage m_image;
};

QImage readWithQt(std::span<const unsigned char> bytes, const char* format)
{
    // The reader works on the embedded bytes in place; the decoded pixels are Qt's own copy.
    QByteArray raw = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    return reader.read();
}

quint32 le32(std::span<const unsigned char> bytes, std::size_t at)
{
    return quint32(bytes[at]) | quint32(bytes[at + 1]) << 8 | quint32(bytes[at + 2]) << 16 | quint32(bytes[at + 3]) << 24;
}

quint16 le16(std::span<const unsigned char> bytes, std::size_t at)
{
    return quint16(bytes[at] | bytes[at + 1] << 8);
}

// An uncompressed bottom-up 8-bit DIB with a 40-byte header; null for anything else.
QImage decodeDib8(std::span<const unsigned char> bytes)
{
    constexpr std::size_t kFileHeader = 14;
    constexpr std::size_t kInfoHeader = 40;
    if (bytes.size() < kFileHeader + kInfoHeader || bytes[0] != 'B' || bytes[1] != 'M')
        return {};
    const quint64 pixelsAt = le32(bytes, 10);
    const auto width = qint32(le32(bytes, 18));
    const auto height = qint32(le32(bytes, 22));
    const quint32 colours = le32(bytes, 46) == 0 ? 256 : le32(bytes, 46);
    if (le32(bytes, 14) != kInfoHeader || le16(bytes, 26) != 1 || le16(bytes, 28) != 8 || le32(bytes, 30) != 0
        || width <= 0 || height <= 0 || colours > 256)
        return {};
    const quint64 stride = (quint64(width) + 3) & ~quint64(3);
    if (kFileHeader + kInfoHeader + 4 * quint64(colours) > pixelsAt || pixelsAt + stride * quint64(height) > bytes.size())
        return {};

    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), bytes.data() + pixelsAt + quint64(height - 1 - y) * stride, std::size_t(width));
    QList<QRgb> palette(static_cast<qsizetype>(colours));
    for (quint32 i = 0; i < colours; ++i) {
        const unsigned char* entry = bytes.data() + kFileHeader + kInfoHeader + 4 * i;  // blue, green, red, unused
        palette[qsizetype(i)] = qRgb(entry[2], entry[1], entry[0]);
    }
    image.setColorTable(palette);
    if (const auto x = qint32(le32(bytes, 38)); x > 0)
        image.setDotsPerMeterX(x);
    if (const auto y = qint32(le32(bytes, 42)); y > 0)
        image.setDotsPerMeterY(y);
    return image;
}

}  // namespace

QImage decodeBitmap(std::span<const unsigned char> bytes)
{
    QImage image = decodeDib8(bytes);
    return image.isNull() ? readWithQt(bytes, "bmp") : image;
}

HResult decodePicture(component::PictureKind kind, std::span<const unsigned char> bytes, component::IPicture** picture) noexcept
{
    if (!picture)
        return hr::kPointer;
    *picture = nullptr;
    try {
        QImage image = kind == component::PictureKind::Bitmap ? decodeBitmap(bytes) : readWithQt(bytes, "ico");
        if (image.isNull())
            return hr::kInvalidPicture;
        *picture = new ResPicture(kind, std::move(image));
        return hr::kOk;
    } catch (const std::bad_alloc&) {
        return hr::kOutOfMemory;
    } catch (...) {
        return hr::kUnexpected;
    }
}

}  // namespace qel
