// Reduction of a full-colour drawing to an indexed image through libimagequant.
#pragma once

#include <QImage>
#include <QList>

namespace artgen {

struct QuantiseOptions {
    int maxColours = 256;
    float dithering = 1.0f;       // 0 = nearest colour only, 1 = full error diffusion
    QList<QRgb> fixedColours;     // opaque colours that must appear in the palette exactly
};

// Returns a Format_Indexed8 image the size of `image` whose colour table holds at most
// options.maxColours entries (never padded) and every fixed colour exactly. Pixels whose
// alpha is below 128 map to a palette entry with alpha 0; all other entries are opaque.
// The result depends only on the input pixels and the options: the quantiser runs on one
// thread so that its floating-point sums never change order between machines.
// Returns a null image when the library reports an error.
QImage quantise(const QImage& image, const QuantiseOptions& options);

// Quantises several opaque images of one family to a single shared palette, mapping each
// pixel to its nearest palette colour without dithering, so that areas the images have in
// common come out identical in all of them. options.dithering is not used. Returns the
// images in the same order, or an empty list on error.
QList<QImage> quantiseSet(const QList<QImage>& images, const QuantiseOptions& options);

} // namespace artgen
