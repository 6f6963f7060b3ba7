// Formatting the game clock.
#include "GameClock.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace board {

std::string clockText(std::int32_t playSeconds)
{
    if (playSeconds < 0)
        playSeconds = 0;
    const std::int32_t seconds = playSeconds % 60;
    const std::int32_t minutes = (playSeconds / 60) % 60;
    const std::int32_t hours = playSeconds / 3600;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(hours), static_cast<int>(minutes),
                  static_cast<int>(seconds));
    return text;
}

}  // namespace board

namespace board {

std::int32_t lenientNumber(std::string_view text)
{
    std::string s;
    for (char ch : text)
        if (ch != ' ' && ch != '\t' && ch != '\n' && ch != '\r')
            s += ch;

    double value = 0;
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const bool hex = s[1] == 'H' || s[1] == 'h';
        for (i = 2; i < s.size(); ++i) {
            const char ch = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
            int digit = -1;
            if (ch >= '0' && ch <= (hex ? '9' : '7'))
                digit = ch - '0';
            else if (hex && ch >= 'A' && ch <= 'F')
                digit = ch - 'A' + 10;
            if (digit < 0)
                break;
            value = value * (hex ? 16 : 8) + digit;
        }
    } else {
        double sign = 1;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            sign = (s[i++] == '-') ? -1 : 1;
        for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i)
            value = value * 10 + (s[i] - '0');
        if (i < s.size() && s[i] == '.') {
            double scale = 0.1;
            for (++i; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i, scale /= 10)
                value += (s[i] - '0') * scale;
        }
        if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
            std::size_t j = i + 1;
            int expSign = 1;
            if (j < s.size() && (s[j] == '+' || s[j] == '-'))
                expSign = (s[j++] == '-') ? -1 : 1;
            int exponent = 0;
            bool any = false;
            for (; j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])); ++j, any = true)
                exponent = std::min(exponent * 10 + (s[j] - '0'), 400);
            if (any)
                value *= std::pow(10.0, expSign * exponent);
        }
        value *= sign;
    }
    value = std::nearbyint(value);
    if (!(value > std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::int32_t TimeKey(std::string_view timeText)
{
    // The clock shows hours in full past 99 ("100:00:00"); the six-character key would misread
    // those, so such a time is keyed from its fields, in the same order.
    const std::size_t colon = timeText.find(':');
    if (colon > 2 && colon != std::string_view::npos && timeText.size() == colon + 6 && timeText[colon + 3] == ':') {
        bool digits = true;
        for (std::size_t i = 0; i < timeText.size(); ++i)
            if (i != colon && i != colon + 3 && !std::isdigit(static_cast<unsigned char>(timeText[i])))
                digits = false;
        if (digits) {
            const double hours = lenientNumber(timeText.substr(0, colon));
            const double key = hours * 10000 + lenientNumber(timeText.substr(colon + 1, 2)) * 100 +
                               lenientNumber(timeText.substr(colon + 4, 2));
            return static_cast<std::int32_t>(std::min<double>(key, std::numeric_limits<std::int32_t>::max()));
        }
    }
    const auto left = timeText.substr(0, 2);
    const auto middle = timeText.size() >= 4 ? timeText.substr(3, 2) : std::string_view();
    const auto right = timeText.size() >= 2 ? timeText.substr(timeText.size() - 2) : timeText;
    std::string key;
    key.append(left).append(middle).append(right);
    return lenientNumber(key);
}

}  // namespace board
