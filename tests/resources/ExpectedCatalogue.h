// The catalogue as the game expects it: the contents written out independently of the library's
// own table, under the ids' shared names.
#pragma once

#include "CatalogueIds.h"

#include <QString>
#include <QTest>

namespace str = qel::ids::str;
namespace bmp = qel::ids::bmp;

// Every string in Japanese; the texts a player reads also in English (null: Japanese only).
struct ExpectedString {
    int id;
    const char* utf8;
    const char* english = nullptr;
};
inline constexpr ExpectedString kExpectedStrings[] = {
    {str::kMainBackColor, "&H00800000"},    {str::kClockForeColor, "&H00FFFFFF"},  {str::kSelectForeColor, "&H00FFFFFF"},
    {str::kSelectCaption, "画像選択", "Select Picture"},                            {str::kEndCaption, "Game Clear"},
    {str::kEndForeColor, "&H00FF8080"},     {str::kPreviewBackColor, "&H00800000"}, {str::kRecordBackColor, "&H00800000"},
    {str::kRecordForeColor, "&H00FFFFFF"},  {str::pictureName(1), "ひとり", "Alone"}, {str::pictureName(2), "どらごん", "Dragon"},
    {str::pictureName(3), "へび", "Snake"},  {str::kEndingWidth, "300"},            {str::kEndingHeight, "1500"},
    {str::kEndingSteps, "1200"},            {str::kEndingBackColor, "&H00000000"},
};

struct ExpectedBitmap {
    int id;
    int width;
    int height;
};
inline constexpr ExpectedBitmap kExpectedBitmaps[] = {
    {bmp::kTitle, 300, 150},
    {bmp::kEndButton, 80, 40},    {bmp::hover(bmp::kEndButton), 80, 40},
    {bmp::kMenuButton, 80, 40},   {bmp::hover(bmp::kMenuButton), 80, 40},
    {bmp::kStartButton, 80, 40},  {bmp::hover(bmp::kStartButton), 80, 40},
    {bmp::kCloseButton, 80, 40},  {bmp::hover(bmp::kCloseButton), 80, 40},
    {bmp::kOkButton, 80, 40},     {bmp::hover(bmp::kOkButton), 80, 40},
    {bmp::kClearButton, 80, 40},  {bmp::hover(bmp::kClearButton), 80, 40},
    {bmp::picture(1), 300, 309},  {bmp::picture(2), 300, 300}, {bmp::picture(3), 300, 300},
    {bmp::kEndingStrip, 300, 1500},
};

// One data row per expected bitmap: its id, width and height.
inline void AddExpectedBitmapRows()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (const ExpectedBitmap& expected : kExpectedBitmaps)
        QTest::addRow("%d (%dx%d)", expected.id, expected.width, expected.height)
            << expected.id << expected.width << expected.height;
}

inline constexpr int kIconGroupId = qel::ids::icon::kWindow;
inline constexpr int kIconSize = 64;
