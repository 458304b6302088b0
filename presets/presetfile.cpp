// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/presetfile.h"

#include "files/boundedfile.h"
#include "presets/fieldreader.h"
#include "settings/numbers.h"

#include <QFile>

#include <cmath>
#include <limits>

namespace kr52 {

bool isPresetHeader(QStringView header)
{
    return header.startsWith(presetMagic, Qt::CaseSensitive);
}

std::optional<qint16> presetVersion(QStringView header)
{
    // rint rounds halves to even in the default rounding mode.
    const double version = std::rint(leadingNumber(header.mid(presetMagic.size())));
    if (!(version >= std::numeric_limits<qint16>::min() && version <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return qint16(version);
}

PresetDescription readPresetDescription(const QByteArray &path)
{
    const OpenedFile opened = openRegularFile(path);
    if (!opened.file)
        return {PresetDescription::Outcome::Unreadable, {}, opened.error};
    QFile &file = *opened.file;
    FieldReader fields(file);
    const std::optional<QString> header = fields.next();
    const bool preset = header && !fields.lastFieldCut() && isPresetHeader(*header);
    std::optional<QString> description = preset ? fields.next() : std::nullopt;
    if (file.error() != QFileDevice::NoError)
        return {PresetDescription::Outcome::Unreadable, {}, file.errorString()};
    if (!preset)
        return {PresetDescription::Outcome::NotAPreset, {}, {}};
    if (description && fields.lastFieldCut())
        description->append(cutDescriptionMark);
    return {PresetDescription::Outcome::Read, description.value_or(QString()), {}};
}

PresetDescription readPresetDescription(const QString &path)
{
    return readPresetDescription(QFile::encodeName(path));
}

PresetHeader checkPresetHeader(const QByteArray &path)
{
    const OpenedFile opened = openRegularFile(path);
    if (!opened.file)
        return {PresetHeader::Outcome::Unreadable, 0, opened.error};
    QFile &file = *opened.file;
    FieldReader fields(file);
    const std::optional<QString> header = fields.next();
    if (file.error() != QFileDevice::NoError)
        return {PresetHeader::Outcome::Unreadable, 0, file.errorString()};
    if (!header || fields.lastFieldCut() || !isPresetHeader(*header))
        return {PresetHeader::Outcome::Corrupt, 0, {}};
    const std::optional<qint16> version = presetVersion(*header);
    if (!version)
        return {PresetHeader::Outcome::Corrupt, 0, {}};
    return {PresetHeader::Outcome::Valid, *version, {}};
}

PresetHeader checkPresetHeader(const QString &path)
{
    return checkPresetHeader(QFile::encodeName(path));
}

} // namespace kr52
