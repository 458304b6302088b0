#include "presets/fieldreader.h"

#include <QByteArray>
#include <QIODevice>

#include <utility>

namespace kr52 {

std::optional<QString> FieldReader::next()
{
    const bool announced = std::exchange(m_fieldAnnounced, false);
    char c = 0;
    do {
        if (!m_device.getChar(&c))
            return announced ? std::optional<QString>(QString()) : std::nullopt;
    } while (c == ' ');

    if (c == ',' || isLineEnd(c)) {
        endField(c);
        return QString();
    }

    QByteArray value;
    if (c == '"') {
        while (m_device.getChar(&c) && c != '"')
            value.append(c);
        skipToDelimiter();
    } else {
        value.append(c);
        while (m_device.getChar(&c)) {
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
    while (m_device.getChar(&c)) {
        if (c == ',' || isLineEnd(c)) {
            endField(c);
            return;
        }
    }
}

} // namespace kr52
