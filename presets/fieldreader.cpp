// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/fieldreader.h"

#include <QByteArray>
#include <QIODevice>

#include <utility>

namespace kr52 {

bool FieldReader::take(char &c)
{
    if (m_budget == 0) {
        // Cut only when the field really goes on; a field ending exactly at the bound is whole.
        m_cut = !m_device.atEnd();
        return false;
    }
    if (!m_device.getChar(&c))
        return false;
    --m_budget;
    return true;
}

std::optional<QString> FieldReader::next()
{
    const bool announced = std::exchange(m_fieldAnnounced, false);
    m_budget = m_maxFieldBytes;
    m_cut = false;
    char c = 0;
    do {
        if (!take(c))
            return announced || m_cut ? std::optional<QString>(QString()) : std::nullopt;
    } while (c == ' ');

    if (c == ',' || isLineEnd(c)) {
        endField(c);
        return QString();
    }

    QByteArray value;
    if (c == '"') {
        while (take(c) && c != '"')
            value.append(c);
        if (!m_cut)
            skipToDelimiter();
    } else {
        value.append(c);
        while (take(c)) {
            if (c == ',' || isLineEnd(c)) {
                endField(c);
                break;
            }
            value.append(c);
        }
        while (value.endsWith(' '))
            value.chop(1);
    }
    return QString::fromLatin1(value);
}

void FieldReader::endField(char c)
{
    if (c == ',') {
        m_fieldAnnounced = true;
    } else if (c == '\r') {
        char following = 0;
        if (m_device.getChar(&following) && following != '\n')
            m_device.ungetChar(following);
    }
}

void FieldReader::skipToDelimiter()
{
    char c = 0;
    while (take(c)) {
        if (c == ',' || isLineEnd(c)) {
            endField(c);
            return;
        }
    }
}

} // namespace kr52
