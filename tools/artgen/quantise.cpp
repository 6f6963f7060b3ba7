// libimagequant wrapper: palette search, fixed colours and dithering in one call.
#include "quantise.h"

#include <libimagequant.h>
#include <omp.h>

#include <memory>
#include <vector>

namespace artgen {

namespace {

struct AttrDeleter { void operator()(liq_attr* p) const { liq_attr_destroy(p); } };
struct ImageDeleter { void operator()(liq_image* p) const { liq_image_destroy(p); } };
struct ResultDeleter { void operator()(liq_result* p) const { liq_result_destroy(p); } };
struct HistogramDeleter { void operator()(liq_histogram* p) const { liq_histogram_destroy(p); } };

// Alpha is snapped to 0 or 255: the game's bitmaps are opaque and the icon's mask has one
// bit, so partial transparency has nowhere to go.
QImage snappedRgba(const QImage& image)
{
    QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < rgba.height(); ++y) {
        uchar* p = rgba.scanLine(y);
        for (int x = 0; x < rgba.width(); ++x, p += 4) {
            if (p[3] < 128)
                p[0] = p[1] = p[2] = p[3] = 0;
            else
                p[3] = 255;
        }
    }
    return rgba;
}

std::unique_ptr<liq_attr, AttrDeleter> makeAttr(const QuantiseOptions& options)
{
    // One thread: libimagequant's OpenMP loops sum floats per thread, and a different thread
    // count would change the palette in its last bits.
    omp_set_num_threads(1);
    std::unique_ptr<liq_attr, AttrDeleter> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), options.maxColours) != LIQ_OK)
        return nullptr;
    liq_set_speed(attr.get(), 1);
    liq_set_quality(attr.get(), 0, 100);
    return attr;
}

std::unique_ptr<liq_image, ImageDeleter> makeImage(liq_attr* attr, QImage& rgba, std::vector<void*>& rows)
{
    rows.resize(size_t(rgba.height()));
    for (int y = 0; y < rgba.height(); ++y)
        rows[size_t(y)] = rgba.scanLine(y);
    return std::unique_ptr<liq_image, ImageDeleter>(
        liq_image_create_rgba_rows(attr, rows.data(), rgba.width(), rgba.height(), 0));
}

QList<QRgb> colourTable(const liq_palette* palette)
{
    QList<QRgb> table;
    table.reserve(int(palette->count));
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        table.append(c.a < 128 ? qRgba(0, 0, 0, 0) : qRgb(c.r, c.g, c.b));
    }
    return table;
}

liq_color toLiq(QRgb c)
{
    return liq_color{uchar(qRed(c)), uchar(qGreen(c)), uchar(qBlue(c)), 255};
}

} // namespace

QImage quantise(const QImage& image, const QuantiseOptions& options)
{
    QImage rgba = snappedRgba(image);
    auto attr = makeAttr(options);
    if (!attr)
        return {};
    std::vector<void*> rows;
    auto liqImage = makeImage(attr.get(), rgba, rows);
    if (!liqImage)
        return {};
    for (QRgb c : options.fixedColours) {
        if (liq_image_add_fixed_color(liqImage.get(), toLiq(c)) != LIQ_OK)
            return {};
    }

    liq_result* rawResult = nullptr;
    if (liq_image_quantize(liqImage.get(), attr.get(), &rawResult) != LIQ_OK)
        return {};
    std::unique_ptr<liq_result, ResultDeleter> result(rawResult);
    liq_set_dithering_level(result.get(), options.dithering);

    QImage out(rgba.size(), QImage::Format_Indexed8);
    std::vector<unsigned char*> outRows(size_t(out.height()));
    for (int y = 0; y < out.height(); ++y)
        outRows[size_t(y)] = out.scanLine(y);
    if (liq_write_remapped_image_rows(result.get(), liqImage.get(), outRows.data()) != LIQ_OK)
        return {};
    // The palette is read after remapping: libimagequant refines it while it remaps.
    out.setColorTable(colourTable(liq_get_palette(result.get())));
    return out;
}

QList<QImage> quantiseSet(const QList<QImage>& images, const QuantiseOptions& options)
{
    auto attr = makeAttr(options);
    if (!attr)
        return {};
    std::unique_ptr<liq_histogram, HistogramDeleter> histogram(liq_histogram_create(attr.get()));
    if (!histogram)
        return {};
    for (QRgb c : options.fixedColours) {
        if (liq_histogram_add_fixed_color(histogram.get(), toLiq(c), 0) != LIQ_OK)
            return {};
    }
    for (const QImage& image : images) {
        QImage rgba = snappedRgba(image);
        std::vector<void*> rows;
        auto liqImage = makeImage(attr.get(), rgba, rows);
        if (!liqImage || liq_histogram_add_image(histogram.get(), attr.get(), liqImage.get()) != LIQ_OK)
            return {};
    }
    liq_result* rawResult = nullptr;
    if (liq_histogram_quantize(histogram.get(), attr.get(), &rawResult) != LIQ_OK)
        return {};
    std::unique_ptr<liq_result, ResultDeleter> result(rawResult);
    const QList<QRgb> table = colourTable(liq_get_palette(result.get()));

    QList<QImage> out;
    for (const QImage& image : images) {
        // Qt's conversion to a given table picks the nearest entry for every pixel.
        out.append(image.convertToFormat(QImage::Format_RGB32)
                       .convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither));
    }
    return out;
}

} // namespace artgen
