// The catalogue as the game expects it, written out independently of the library's own table.
#pragma once

#include <QString>

struct ExpectedString {
    int id;
    const char* utf8;
};
inline constexpr ExpectedString kExpectedStrings[] = {
    {3, "&H00800000"}, {5, "&H00FFFFFF"}, {6, "&H00FFFFFF"}, {7, "画像選択"},     {8, "Game Clear"},   {9, "&H00FF8080"},
    {20, "&H00800000"}, {34, "&H00800000"}, {35, "&H00FFFFFF"}, {100, "ひとり"}, {101, "どらごん"}, {102, "へび"},
    {301, "300"},       {302, "1500"},      {303, "1200"},      {304, "&H00000000"},
};

struct ExpectedBitmap {
    int id;
    int width;
    int height;
};
inline constexpr ExpectedBitmap kExpectedBitmaps[] = {
    {1, 300, 150},  {10, 80, 40},   {11, 80, 40},   {12, 80, 40},   {13, 80, 40},   {14, 80, 40},
    {15, 80, 40},   {16, 80, 40},   {17, 80, 40},   {30, 80, 40},   {31, 80, 40},   {32, 80, 40},
    {33, 80, 40},   {100, 300, 309}, {101, 300, 300}, {102, 300, 300}, {300, 300, 1500},
};

inline constexpr int kIconGroupId = 999;
inline constexpr int kIconSize = 64;
