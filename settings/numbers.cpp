// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/numbers.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace kr52 {

namespace {

bool isSkipped(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads the characters of the number into plain ASCII, dropping the skipped blanks.
QByteArray numberPrefix(QStringView text)
{
    QByteArray number;
    qsizetype i = 0;
    const auto skip = [&] {
        while (i < text.size() && isSkipped(text[i]))
            ++i;
    };
    skip();
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        number.append(char(text[i].unicode()));
        ++i;
    }
    bool seenPoint = false;
    bool seenDigit = false;
    for (skip(); i < text.size(); ++i, skip()) {
        const QChar c = text[i];
        if (isDigit(c)) {
            seenDigit = true;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        number.append(char(c.unicode()));
    }
    if (!seenDigit)
        return {};
    if (i < text.size() && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        QByteArray exponent("e");
        ++i;
        skip();
        if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            exponent.append(char(text[i].unicode()));
            ++i;
        }
        bool exponentDigits = false;
        for (skip(); i < text.size() && isDigit(text[i]); ++i, skip()) {
            exponent.append(char(text[i].unicode()));
            exponentDigits = true;
        }
        if (exponentDigits)
            number.append(exponent);
    }
    return number;
}

template <typename Number>
QString shortestText(Number value)
{
    if (value == 0 || std::isnan(value))
        return QStringLiteral(" 0");
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value));
    QString digits = QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
    if (digits.startsWith(QLatin1String("0.")))
        digits.remove(0, 1);
    digits.replace(QLatin1Char('e'), QLatin1Char('E'));
    return (value < 0 ? QLatin1Char('-') : QLatin1Char(' ')) + digits;
}

} // namespace

double leadingNumber(QStringView text)
{
    const QByteArray number = numberPrefix(text);
    if (number.isEmpty())
        return 0.0;
    double value = 0.0;
    const char *first = number.constData();
    if (*first == '+')
        ++first;
    const auto result = std::from_chars(first, number.constData() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large gives an infinity; too small (1E-999, or hundreds of zeros after the point)
        // gives zero. The exponent's sign tells which, or without one, the whole part.
        const qsizetype exponentAt = number.indexOf('e');
        bool tooLarge = false;
        if (exponentAt >= 0) {
            tooLarge = number.at(exponentAt + 1) != '-';
        } else {
            const QByteArray whole = number.left(number.indexOf('.') < 0 ? number.size() : number.indexOf('.'));
            tooLarge = std::any_of(whole.begin(), whole.end(), [](char c) { return c >= '1' && c <= '9'; });
        }
        const bool negative = number.startsWith('-');
        if (!tooLarge)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return value;
}

QString numberText(float value)
{
    return shortestText(value);
}

QString numberText(double value)
{
    return shortestText(value);
}

QString numberText(int value)
{
    return (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value);
}

} // namespace kr52
