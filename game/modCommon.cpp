// The shared procedures of the game's windows.
#include "modCommon.h"

#include "AppError.h"
#include "CatalogueIds.h"
#include "CreateObject.h"
#include "Language.h"
#include "QelInterface.h"
#include "SettingsStore.h"

#include <QThread>
#include <QTime>

#include <cmath>
#include <cstdint>
#include <limits>

namespace modCommon {

namespace {

constexpr int kTypeMismatch = 13;

std::int16_t NarrowId(std::int32_t id)
{
    if (id < std::numeric_limits<std::int16_t>::min() || id > std::numeric_limits<std::int16_t>::max())
        throw errors::AppError(errors::kOverflow, "Overflow: resource id " + std::to_string(id));
    return static_cast<std::int16_t>(id);
}

// The error number of a library's failure result: the run-time error it carries (facility
// "control", e.g. 0x800A01E1 is error 481), else the result code itself as a signed number.
int ErrorNumber(component::HResult result)
{
    const auto code = static_cast<std::uint32_t>(result);
    if ((code & 0xFFFF0000u) == 0x800A0000u)
        return static_cast<int>(code & 0xFFFFu);
    return result;
}

// Turns a failed member call into the error the caller sees: the library's own error, with its
// number and text, and the resource it was asked for.
void Check(component::HResult result, std::int32_t id, const char* what)
{
    if (component::succeeded(result))
        return;
    if (result == component::hr::kResourceNotFound)
        throw errors::AppError(errors::kResourceNotFound,
                               "Resource with identifier '" + std::to_string(id) + "' not found (" + what + ")");
    throw errors::AppError(ErrorNumber(result), component::resultText(result).toStdString() + " (" + what +
                                                    " of resource " + std::to_string(id) + ")");
}

// Nearest integer, ties to even. Positions are held in 32 bits so that desktops larger than
// 32767 pixels do not wrap.
std::int32_t Nearest(double value)
{
    return static_cast<std::int32_t>(std::nearbyint(value));
}

}  // namespace

QString GetResStr(std::int32_t id)
{
    const std::int16_t narrow = NarrowId(id);
    const auto res = component::createObject<qel::_QelRes>(qel::kClsidQelRes);
    Check(res->Id(narrow), id, "Id");
    // Japanese is what every library serves by default; one made before languages has no
    // _QelRes2 and is read as it is.
    if (language::current() == language::Choice::English) {
        if (const auto languages = res.as<qel::_QelRes2>())
            Check(languages->Language(qel::kLanguageEnglish), id, "Language");
    }
    QString text;
    Check(res->GetResString(&text), id, "GetResString");
    return text;
}

QImage GetResPic(std::int32_t id, std::int16_t pictureType)
{
    const std::int16_t narrow = NarrowId(id);
    const auto res = component::createObject<qel::_QelRes>(qel::kClsidQelRes);
    Check(res->Id(narrow), id, "Id");
    Check(res->Mode(pictureType), id, "Mode");
    component::IPicture* raw = nullptr;
    Check(res->GetResPicture(&raw), id, "GetResPicture");
    const auto picture = component::ComPtr<component::IPicture>::adopt(raw);
    return picture ? picture->image() : QImage();
}

namespace {

bool ReadNumber(const QString& text, double* value)
{
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        const QString digits = t.mid(2);
        if (digits.isEmpty() || digits.size() > 8)
            return false;
        const quint32 v = digits.toUInt(&ok, 16);
        // Eight digits read as a signed 32-bit value, as "&HFFFFFFFF" is -1.
        *value = digits.size() == 8 ? static_cast<double>(static_cast<std::int32_t>(v)) : v;
        return ok;
    }
    *value = t.toDouble(&ok);
    return ok;
}

[[noreturn]] void TypeMismatch(const QString& text)
{
    throw errors::AppError(kTypeMismatch, "Type mismatch: \"" + text.toStdString() + "\"");
}

}  // namespace

QColor colorFromText(const QString& text)
{
    const std::int32_t v = longFromText(text);
    const auto bits = static_cast<std::uint32_t>(v);
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF), static_cast<int>((bits >> 16) & 0xFF));
}

float singleFromText(const QString& text)
{
    double value = 0;
    if (!ReadNumber(text, &value) || std::abs(value) > std::numeric_limits<float>::max())
        TypeMismatch(text);
    return static_cast<float>(value);
}

std::int32_t longFromText(const QString& text)
{
    double value = 0;
    if (!ReadNumber(text, &value))
        TypeMismatch(text);
    value = std::nearbyint(value);
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw errors::AppError(errors::kOverflow, "Overflow: \"" + text.toStdString() + "\"");
    return static_cast<std::int32_t>(value);
}

void showButtonPicture(ImageControl& button, std::int32_t normalId, const screen::Geometry& geometry)
{
    // The polled position decides. Where it goes stale once the pointer leaves the program's
    // windows, it would keep a button it left in one jump lit: there the leave event says the
    // pointer went out. Keyboard focus shows the same picture: it is the focus mark.
    const bool over = IsCursorOver(button, nullptr, geometry) &&
                      (geometry.CursorKnownOutsideWindows() || !button.pointerLeft());
    button.setPicture(GetResPic(over || button.showsFocusMark() ? qel::ids::bmp::hover(normalId) : normalId, kPictureBitmap));
}

QString ReadSetting(const QString& application, const QString& section, const QString& key)
{
    return settings::GetSetting(application, section, key);
}

void WriteSetting(const QString& application, const QString& section, const QString& key, const QString& value)
{
    settings::SaveSetting(application, section, key, value);
}

void ClockPause(const std::function<int()>& secondsOfDay, const std::function<void()>& wait)
{
    constexpr int kDay = 24 * 60 * 60;
    const int noted = secondsOfDay();
    for (;;) {
        const int passed = ((secondsOfDay() - noted) % kDay + kDay) % kDay;
        if (passed >= 3)
            return;
        wait();
    }
}

int secondsOfDay()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

void shortWait()
{
    QThread::msleep(20);
}

bool IsCursorOver(const QWidget& ctl, const QWidget* container, const screen::Geometry& geometry)
{
    const QWidget* window = ctl.window();
    if (!window)
        return false;
    const QPoint cursor = geometry.CursorPos();

    // Geometry is read in pixels directly, so no scale mode of the window has to change.
    std::int32_t ox = 0;
    std::int32_t oy = 0;
    if (container) {
        ox = container->x();
        oy = container->y();
    }
    const std::int32_t tx = Nearest(geometry.TwipsPerPixelX());
    const std::int32_t ty = Nearest(geometry.TwipsPerPixelY());
    if (tx == 0 || ty == 0)
        return false;
    const QRect outer = geometry.OuterTwips(*window);
    const QSize inner = geometry.InnerPixels(*window);

    const std::int32_t b = Nearest(static_cast<double>(outer.width()) / tx - inner.width()) / 2;
    const std::int32_t c = Nearest(static_cast<double>(outer.height()) / ty - inner.height() - 2.0 * b);
    const std::int32_t left = Nearest(ctl.x() + (static_cast<double>(outer.x()) / tx + b) + ox);
    const std::int32_t top = Nearest(ctl.y() + (static_cast<double>(outer.y()) / ty + b + c) + oy);

    return cursor.x() > left && cursor.x() < left + ctl.width() && cursor.y() > top && cursor.y() < top + ctl.height();
}

}  // namespace modCommon
