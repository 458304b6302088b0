// SPDX-License-Identifier: GPL-3.0-or-later
// Preset files and the bounded file reads under them: any content gives an outcome, no field
// holds more than its bound, and the header check agrees with the description read.
#include "files/boundedfile.h"
#include "harness.h"
#include "presets/fieldreader.h"
#include "presets/presetfile.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr qsizetype smallBound = 64; // small enough that generated inputs reach it
constexpr qint64 fileBound = 4096;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kr52;
    using fuzz::require;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    FieldReader fields(buffer, smallBound);
    for (int field = 0; field < 64; ++field) {
        const qint64 before = buffer.pos();
        const std::optional<QString> text = fields.next();
        if (!text)
            break;
        require(text->size() <= smallBound, "a field holds no more than its bound");
        // The CR after a field's line end may be looked at too.
        require(buffer.pos() - before <= smallBound + 1, "a field reads no more than its bound");
    }

    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("fuzz.pre"));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
                "the input is written to a file");
    }
    const QByteArray native = QFile::encodeName(path);
    const FileContents read = readRegularFile(native, fileBound);
    require(read.error.isEmpty(), "a regular file is read");
    require(read.tooLarge == (bytes.size() > fileBound), "the bound decides what is too large");
    require(read.tooLarge || read.bytes == bytes, "the bytes read are the file's");

    const PresetDescription description = readPresetDescription(native);
    const PresetHeader header = checkPresetHeader(native);
    require(description.outcome != PresetDescription::Outcome::Unreadable, "a preset file is read");
    require(header.outcome != PresetHeader::Outcome::Unreadable, "a preset file is checked");
    require(description.description.size() <= FieldReader::defaultMaxFieldBytes + cutDescriptionMark.size(),
            "a description holds no more than its bound");
    if (header.outcome == PresetHeader::Outcome::Valid)
        require(description.outcome == PresetDescription::Outcome::Read, "a valid header starts a preset");
    if (description.outcome == PresetDescription::Outcome::NotAPreset)
        require(header.outcome == PresetHeader::Outcome::Corrupt, "no preset is no valid header");
    return 0;
}
