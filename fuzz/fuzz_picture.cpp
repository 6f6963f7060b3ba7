// Fuzz target: a picture file as the player imports it, from the file on disk to the cut and scaled tiles.
//
// The import handler (frmMain::mInputPic_Click) reads the chosen file with picture::LoadPicture(path)
// and nothing else parses it: the picture then goes whole to the cutter, its sixteen cells to the
// tile controls (drawn scaled) and the whole to the preview (drawn scaled). This target does the
// same on each input. Promises checked: a load either gives a picture within the size limits in
// one of the two documented formats, or throws errors::AppError with the invalid-picture number
// and a text naming the file (so the handler shows its import error message); no other outcome.
#include "AppError.h"
#include "FuzzSupport.h"
#include "PictureClip.h"
#include "PictureFile.h"

#include <QGuiApplication>
#include <QImage>

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kTilePixels = 75;      // a board cell on screen, 1125 twips
constexpr int kPreviewPixels = 167;  // the preview window's picture, 2500 twips

void UseAsTheGameDoes(const QImage& picture)
{
    picclip::PictureClip clip;
    clip.setPicture(picture);
    clip.setRows(4);
    clip.setCols(4);
    for (int cell = 0; cell < 16; ++cell) {
        const QImage tile = clip.GraphicCell(cell);
        if (picture.width() < 4 || picture.height() < 4) {
            fuzz::Require(tile.isNull(), "a picture smaller than the grid gives empty cells");
            continue;
        }
        fuzz::Require(tile.width() == picture.width() / 4 && tile.height() == picture.height() / 4,
                      "every cell has a quarter of each side");
        const QImage drawn = tile.scaled(kTilePixels, kTilePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        fuzz::Require(!drawn.isNull(), "a cell can be drawn at tile size");
    }
    const QImage preview = picture.scaled(kPreviewPixels, kPreviewPixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fuzz::Require(!preview.isNull(), "the picture can be drawn in the preview");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The game's image plug-ins (GIF, JPEG) are found as in the program: through the application,
    // which lives until the process ends (its destruction would race the exit-time leak check).
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzz::ScratchFolder() + QStringLiteral("/chosen.bmp");
    fuzz::WriteFile(path, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    QImage picture;
    try {
        picture = picture::LoadPicture(path);
    } catch (const errors::AppError& error) {
        const QString text = QString::fromStdString(error.what());
        fuzz::Require(error.number() == errors::kInvalidPicture, "a file that can be read but not loaded is an invalid picture", text);
        fuzz::Require(text.startsWith(path + QStringLiteral(": ")) && text.size() > path.size() + 2,
                      "the error text names the file and gives a reason", text);
        return 0;
    } catch (const std::exception& error) {
        fuzz::Require(false, "a failed load throws errors::AppError and nothing else", QString::fromLocal8Bit(error.what()));
    }

    fuzz::Require(!picture.isNull(), "a loaded picture is never null");
    fuzz::Require(picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied,
                  "a loaded picture is RGB32 or premultiplied ARGB32");
    fuzz::Require(picture.width() <= picture::kMaxSide && picture.height() <= picture::kMaxSide &&
                      qint64(picture.width()) * picture.height() <= picture::kMaxPixels,
                  "a loaded picture is within the size limits",
                  QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
    UseAsTheGameDoes(picture);
    return 0;
}
