// Shared pieces of the fuzz targets: a broken promise stops the run, and a scratch folder per process.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fuzz {

// A promise of the code under test that this input broke: printed, then the run stops with a
// crash report (and libFuzzer keeps the input as an artifact).
inline void Require(bool holds, const char* promise, const QString& detail = QString())
{
    if (holds)
        return;
    std::fprintf(stderr, "\nBROKEN PROMISE: %s\n", promise);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toLocal8Bit().constData());
    std::abort();
}

// A folder that lives as long as the process, in memory when /dev/shm allows it, so that the
// files written per input (and the fsyncs of the code under test) cost next to nothing.
inline const QString& ScratchFolder()
{
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        auto made = std::make_unique<QTemporaryDir>(base + QStringLiteral("/tavorin-fuzz-XXXXXX"));
        Require(made->isValid(), "a scratch folder can be made");
        return made;
    }();
    static const QString path = dir->path();
    return path;
}

// Replaces `path` with `bytes` as a new file (a new inode), as an editor or installer would.
inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    const QString temporary = path + QStringLiteral(".new");
    QFile out(temporary);
    Require(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size(), "a scratch file can be written");
    out.close();
    Require(::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) == 0, "a scratch file can be renamed");
}

inline QByteArray ReadFile(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

}  // namespace fuzz
