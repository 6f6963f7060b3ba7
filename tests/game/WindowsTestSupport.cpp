// Pictures, answers and window-manager requests for the window tests.
#include "WindowsTestSupport.h"

#include "GifFile.h"
#include "ImageControl.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <algorithm>
#include <cstdlib>

namespace windows_test {

QColor CellColour(int k)
{
    return QColor(QColor::fromHsv(k * 22, 255, 80 + (k % 4) * 50).rgb());   // 8 bits a channel, as pixels are
}

QImage Sixteenths(int width, int height, bool marked)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);   // what lies beyond the cut grid, when a side is not a multiple of 4
    const int cw = width / 4;
    const int ch = height / 4;
    QPainter painter(&image);
    for (int k = 0; k < 16; ++k) {
        const QRect cell(k % 4 * cw, k / 4 * ch, cw, ch);
        painter.fillRect(cell, CellColour(k));
        if (marked)
            painter.fillRect(QRect(cell.topLeft(), QSize(cw / 4, ch / 4)), QColor::fromRgb(kMarkColour));
    }
    return image;
}

QByteArray Encode(const QImage& image, const char* format)
{
    if (qstrcmp(format, "gif") == 0)
        return EncodeGif(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, 95))
        qFatal("cannot encode the test picture as %s", format);
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

int CellDifference(const QImage& actual, const QImage& source, const QRect& cell, int margin)
{
    if (actual.size() != cell.size())
        return -1;
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage b = source.copy(cell).convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int y = margin; y < a.height() - margin; ++y)
        for (int x = margin; x < a.width() - margin; ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

QString TilesMismatch(const frmMain& w, const QImage& source, int tolerance)
{
    const int cw = source.width() / 4;
    const int ch = source.height() / 4;
    for (int k = 0; k < 16; ++k) {
        const ImageControl* panel = w.imgPanel[k];
        bool numbered = false;
        const int t = panel->Tag().toInt(&numbered);
        if (!numbered || t < 1 || t > 16)
            return QStringLiteral("tile control %1 carries the tile number \"%2\"").arg(k).arg(panel->Tag());
        const QRect cell((t - 1) % 4 * cw, (t - 1) / 4 * ch, cw, ch);
        const int difference = CellDifference(panel->Picture(), source, cell, tolerance > 0 ? 2 : 0);
        if (difference < 0 || difference > tolerance)
            return QStringLiteral("tile %1 (control %2) shows a %3 x %4 picture differing by %5 from its sixteenth")
                .arg(t)
                .arg(k)
                .arg(panel->Picture().width())
                .arg(panel->Picture().height())
                .arg(difference);
    }
    return QString();
}

void CloseByWindowManager(QWidget& window)
{
    QWindow* handle = window.windowHandle();
    if (!handle)
        qFatal("the window has no native window to close");
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(handle);
}

PlayerScript::PlayerScript()
{
    dialogs::SetOpenFileAnswer([this](const dialogs::OpenFileRequest& request) {
        dialogFrames.insert(__builtin_frame_address(0));
        requests.append(request);
        log.append(QStringLiteral("dialog"));
        if (!answers.isEmpty())
            return answers.takeFirst();
        if (!repeatAnswer.isNull() && requests.size() < repeatCount)
            return repeatAnswer;
        return QString();
    });
    msgbox::SetResponder([this](const msgbox::Request& request) {
        boxes.append(request);
        log.append(QStringLiteral("box"));
        return QMessageBox::Ok;
    });
}

PlayerScript::~PlayerScript()
{
    dialogs::SetOpenFileAnswer({});
    msgbox::SetResponder({});
}

QStringList ImportFilters()
{
    return {QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp,*.dib) (*.bmp *.dib)"), QStringLiteral("GIFﾌｧｲﾙ(*.gif) (*.gif)"),
            QStringLiteral("JPEGﾌｧｲﾙ(*.jpg) (*.jpg)")};
}

}  // namespace windows_test
