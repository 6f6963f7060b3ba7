// Loading a picture file: read, check the framing and the declared size, decode with Qt, convert.
#include "PictureFile.h"

#include "AppError.h"
#include "Framing.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStringList>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

namespace picture {
namespace {

[[noreturn]] void Fail(int number, const QString& name, const QString& reason)
{
    throw errors::AppError(number, QStringLiteral("%1: %2").arg(name, reason).toStdString());
}

void CheckDeclaredSize(const QString& name, qint64 width, qint64 height)
{
    if (width < 1 || height < 1)
        Fail(errors::kInvalidPicture, name, QStringLiteral("the picture declares no size (%1 x %2)").arg(width).arg(height));
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        Fail(errors::kInvalidPicture, name,
             QStringLiteral("the picture declares %1 x %2 pixels, more than %3 a side or %4 megapixels in all")
                 .arg(width)
                 .arg(height)
                 .arg(kMaxSide)
                 .arg(kMaxPixels / (1024 * 1024)));
}

constexpr qint64 kHeadBytes = 64 * 1024;   // holds the size fields of all but very unusual files

// Loads are one at a time: the message handler and Qt's allocation limit are process-wide.
std::mutex g_loadMutex;
std::atomic<QtMessageHandler> g_previousHandler{nullptr};
std::atomic<std::thread::id> g_loadingThread{};
QStringList* g_decoderMessages = nullptr;   // written only by the loading thread

void TakeDecoderMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const bool fromDecoder = context.category && std::strncmp(context.category, "qt.gui.imageio", 14) == 0;
    if (fromDecoder && std::this_thread::get_id() == g_loadingThread.load()) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            g_decoderMessages->append(text);
        return;
    }
    if (const QtMessageHandler previous = g_previousHandler.load())
        previous(type, context, text);
}

// While alive, the loading thread's image-reader warnings are collected instead of printed.
class DecoderMessages {
public:
    DecoderMessages()
    {
        g_decoderMessages = &m_messages;
        g_loadingThread = std::this_thread::get_id();
        g_previousHandler = qInstallMessageHandler(TakeDecoderMessages);
    }
    ~DecoderMessages()
    {
        qInstallMessageHandler(g_previousHandler.load());
        g_loadingThread = std::thread::id();
        g_decoderMessages = nullptr;
    }
    DecoderMessages(const DecoderMessages&) = delete;
    DecoderMessages& operator=(const DecoderMessages&) = delete;

    // libjpeg's "Premature end of JPEG file" and "premature end of data segment": the decoder
    // ran out of data and filled the rest of the picture itself.
    bool dataRanOut() const
    {
        for (const QString& m : m_messages)
            if (m.contains(QLatin1String("premature end"), Qt::CaseInsensitive))
                return true;
        return false;
    }
    QString summary() const { return m_messages.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m_messages.join(QLatin1String("; "))); }

private:
    QStringList m_messages;
};

// While alive, Qt's image allocation limit is the loader's.
class AllocationLimit {
public:
    AllocationLimit() : m_previous(QImageReader::allocationLimit()) { QImageReader::setAllocationLimit(kAllocationLimitMb); }
    ~AllocationLimit() { QImageReader::setAllocationLimit(m_previous); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    int m_previous;
};

QImage Decode(const QByteArray& bytes, framing::Format format, const QString& name)
{
    std::lock_guard lock(g_loadMutex);
    DecoderMessages messages;
    AllocationLimit limit;

    QByteArray data = bytes;   // shared, not copied: QBuffer wants a non-const array
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, framing::ReaderName(format));
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);

    QSize size = reader.size();
    // Qt's BMP reader gives the height of a bitmap stored top-down as the header holds it: negative.
    if (format == framing::Format::Bmp && size.height() < 0 && size.height() >= -kMaxSide)
        size.setHeight(-size.height());
    if (!size.isValid())
        Fail(errors::kInvalidPicture, name, QStringLiteral("the picture header cannot be read") + messages.summary());
    CheckDeclaredSize(name, size.width(), size.height());

    QImage image = reader.read();
    if (image.isNull())
        Fail(errors::kInvalidPicture, name,
             QStringLiteral("the picture cannot be decoded: %1").arg(reader.errorString()) + messages.summary());
    if (messages.dataRanOut())
        Fail(errors::kInvalidPicture, name, QStringLiteral("the picture data ends early") + messages.summary());

    const QImage::Format target = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != target) {
        image = std::move(image).convertToFormat(target);
        if (image.isNull())
            Fail(errors::kInvalidPicture, name, QStringLiteral("there is not enough memory to convert the picture"));
    }
    return image;
}

}  // namespace

QImage LoadPicture(const QByteArray& bytes, const QString& name)
{
    if (bytes.isEmpty())
        Fail(errors::kInvalidPicture, name, QStringLiteral("the file is empty"));
    if (bytes.size() > kMaxFileBytes)
        Fail(errors::kInvalidPicture, name,
             QStringLiteral("the file has %1 bytes, more than a picture within the size limit can have").arg(bytes.size()));
    const framing::Format format = framing::Sniff(bytes);
    if (format == framing::Format::Unknown)
        Fail(errors::kInvalidPicture, name, QStringLiteral("the content is not a BMP, GIF, JPEG or PNG picture"));

    // The size first: a huge header on a short file is refused as too large, not as cut off.
    const framing::Outline outline = framing::Walk(format, bytes);
    if (outline.width >= 0)
        CheckDeclaredSize(name, outline.width, outline.height);
    if (!outline.problem.isEmpty())
        Fail(errors::kInvalidPicture, name, outline.problem);
    return Decode(bytes, format, name);
}

QImage LoadPicture(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        Fail(errors::kFileAccess, path, QStringLiteral("there is no such file"));
    if (info.isDir())
        Fail(errors::kFileAccess, path, QStringLiteral("this is a folder, not a file"));
    if (!info.isFile())   // a pipe or a device could block or never end
        Fail(errors::kFileAccess, path, QStringLiteral("this is not a regular file"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(errors::kFileAccess, path, QStringLiteral("the file cannot be opened: %1").arg(file.errorString()));
    const qint64 size = file.size();
    if (size > kMaxFileBytes)
        Fail(errors::kInvalidPicture, path,
             QStringLiteral("the file has %1 bytes, more than a picture within the size limit can have").arg(size));
    // A header that declares too large a picture is refused before the rest of a big file is read.
    const QByteArray head = file.read(kHeadBytes);
    const framing::Format format = framing::Sniff(head);
    if (format != framing::Format::Unknown && head.size() < size) {
        const framing::Outline outline = framing::Walk(format, head);
        if (outline.width >= 0)
            CheckDeclaredSize(path, outline.width, outline.height);
    }
    if (!file.seek(0))
        Fail(errors::kFileAccess, path, QStringLiteral("the file cannot be read: %1").arg(file.errorString()));

    QByteArray bytes(size, Qt::Uninitialized);
    if (file.read(bytes.data(), size) != size)
        Fail(errors::kFileAccess, path, QStringLiteral("the file cannot be read: %1").arg(file.errorString()));
    return LoadPicture(bytes, path);
}

}  // namespace picture
