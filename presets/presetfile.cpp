#include "presets/presetfile.h"

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

PresetDescription readPresetDescription(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {PresetDescription::Outcome::Unreadable, {}, file.errorString()};
    FieldReader fields(file);
    const std::optional<QString> header = fields.next();
    const std::optional<QString> description = header && isPresetHeader(*header) ? fields.next() : std::nullopt;
    if (file.error() != QFileDevice::NoError)
        return {PresetDescription::Outcome::Unreadable, {}, file.errorString()};
    if (!header || !isPresetHeader(*header))
        return {PresetDescription::Outcome::NotAPreset, {}, {}};
    return {PresetDescription::Outcome::Read, description.value_or(QString()), {}};
}

PresetHeader checkPresetHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {PresetHeader::Outcome::Unreadable, 0, file.errorString()};
    FieldReader fields(file);
    const std::optional<QString> header = fields.next();
    if (file.error() != QFileDevice::NoError)
        return {PresetHeader::Outcome::Unreadable, 0, file.errorString()};
    if (!header || !isPresetHeader(*header))
        return {PresetHeader::Outcome::Corrupt, 0, {}};
    const std::optional<qint16> version = presetVersion(*header);
    if (!version)
        return {PresetHeader::Outcome::Corrupt, 0, {}};
    return {PresetHeader::Outcome::Valid, *version, {}};
}

} // namespace kr52
