// Benchmark of picture loading: memory taken while oversized pictures are refused, time to load a large JPEG.
//
// Prints, for each oversized file, the rise of the peak resident memory above the memory before
// the load (the kernel's peak is reset first), and the min / median / max time of loading a
// 4000 x 3000 JPEG from a file. Goals: under 50 MB for every oversized file.
#include "AppError.h"
#include "PictureFile.h"
#include "ProcessStatus.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Resets the kernel's peak-resident figure to the current one.
bool ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

QByteArray Chunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian(quint32(data.size()), chunk.data());
    chunk += QByteArray(type) + data;
    const QByteArray crcInput = QByteArray(type) + data;
    QByteArray crc(4, '\0');
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef*>(crcInput.constData()), uInt(crcInput.size()))), crc.data());
    return chunk + crc;
}

QByteArray PngHeader(quint32 width, quint32 height)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian(width, ihdr.data());
    qToBigEndian(height, ihdr.data() + 4);
    ihdr[8] = 8;   // 8-bit greyscale
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + Chunk("IHDR", ihdr);
}

// A real decompression bomb: a whole, valid 65535 x 65535 greyscale PNG of zeros (a few MB).
QByteArray PngBomb()
{
    const quint32 side = 65535;
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    std::vector<unsigned char> row(side + 1, 0);   // filter byte, then the pixels
    std::vector<unsigned char> out(1 << 20);
    QByteArray compressed;
    for (quint32 y = 0; y < side; ++y) {
        z.next_in = row.data();
        z.avail_in = uInt(row.size());
        const int flush = y + 1 == side ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = out.data();
            z.avail_out = uInt(out.size());
            deflate(&z, flush);
            compressed.append(reinterpret_cast<const char*>(out.data()), qsizetype(out.size() - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return PngHeader(side, side) + Chunk("IDAT", compressed) + Chunk("IEND", QByteArray());
}

QByteArray BmpHeader(qint32 width, qint32 height)
{
    QByteArray bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<quint32>(54, bytes.data() + 10);
    qToLittleEndian<quint32>(40, bytes.data() + 14);
    qToLittleEndian(width, bytes.data() + 18);
    qToLittleEndian(height, bytes.data() + 22);
    qToLittleEndian<quint16>(1, bytes.data() + 26);
    qToLittleEndian<quint16>(24, bytes.data() + 28);
    return bytes;
}

QString Put(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

void MeasureRefusal(const QString& label, const QString& path)
{
    const bool reset = ResetPeak();
    const qint64 before = reset ? StatusKiB("VmRSS") : StatusKiB("VmHWM");
    QElapsedTimer timer;
    timer.start();
    QString outcome = QStringLiteral("loaded (unexpected)");
    try {
        picture::LoadPicture(path);
    } catch (const errors::AppError& e) {
        outcome = QStringLiteral("refused, error %1").arg(e.number());
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    const qint64 peak = StatusKiB("VmHWM");
    std::printf("%-34s %8.2f MB peak rise  %8.3f ms  %s\n", qPrintable(label), (peak - before) / 1024.0, ms, qPrintable(outcome));
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;

    // A 4000 x 3000 photo-like JPEG: smooth gradients with noise, so it does not compress away.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int n = int(random.bounded(24));
            line[x] = qRgb((x / 16 + n) & 255, (y / 12 + n) & 255, ((x + y) / 28 + n) & 255);
        }
    }
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    photo.save(jpeg, "jpeg", 90);
    photo = QImage();
    picture::LoadPicture(jpeg);   // warm-up: plugins loaded, allocator primed

    std::printf("Refusing oversized pictures (goal: under 50 MB peak rise)\n");
    MeasureRefusal(QStringLiteral("BMP header 65535 x 65535"), Put(dir, "bomb.bmp", BmpHeader(65535, 65535)));
    MeasureRefusal(QStringLiteral("PNG header 65535 x 65535"), Put(dir, "header.png", PngHeader(65535, 65535)));
    MeasureRefusal(QStringLiteral("BMP header 65535 x 65535 + 200 MB"),
                   Put(dir, "long.bmp", BmpHeader(65535, 65535) + QByteArray(200 << 20, '\x55')));
    const QByteArray bomb = PngBomb();
    const QString bombPath = Put(dir, "bomb.png", bomb);
    std::printf("(whole PNG bomb file: %.1f MB, decoded it would need %.1f GB)\n", bomb.size() / 1048576.0,
                65535.0 * 65535.0 * 4 / 1073741824.0);
    MeasureRefusal(QStringLiteral("whole PNG 65535 x 65535 of zeros"), bombPath);

    constexpr int kRuns = 15;
    std::vector<double> times;
    QSize size;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        size = picture::LoadPicture(jpeg).size();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("Loading a %d x %d JPEG of %.1f MB, %d runs: min %.1f ms, median %.1f ms, max %.1f ms\n", size.width(),
                size.height(), QFile(jpeg).size() / 1048576.0, kRuns, times.front(), times[kRuns / 2], times.back());

    // The same file through Qt's reader alone, to show what the loader's checks add.
    std::vector<double> plain;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QImage image(jpeg);
        plain.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(plain.begin(), plain.end());
    std::printf("Qt's reader alone, same file:                    min %.1f ms, median %.1f ms, max %.1f ms\n",
                plain.front(), plain[kRuns / 2], plain.back());
    return 0;
}
