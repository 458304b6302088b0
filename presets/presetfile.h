// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace kr52 {

// A preset file starts with a header field: this magic, then the version number in decimal
// ("VX5PREV1"). The description is the second field; the program reads nothing after it.
inline constexpr QLatin1StringView presetMagic("VX5PREV");

// Whether a header field starts with the magic, compared case-sensitively.
[[nodiscard]] bool isPresetHeader(QStringView header);

// The version carried by a header field that starts with the magic: the leading number of the
// text after the magic (0 when there is none), rounded to the nearest whole number with halves
// to even. Nothing when that lies outside -32768 to 32767.
[[nodiscard]] std::optional<qint16> presetVersion(QStringView header);

// What the operator sees when a preset is selected.
struct PresetDescription {
    enum class Outcome {
        Read,       // a preset file; description holds its second field
        NotAPreset, // the header is missing, lacks the magic or is too long
        Unreadable, // the file could not be opened or read; error holds the system's reason
    };
    Outcome outcome = Outcome::Unreadable;
    QString description;
    QString error;
};

// Marks the end of a description longer than a field may be, after the part that is shown.
inline constexpr QStringView cutDescriptionMark = u"\u2026";

// Opens the file for reading only (as every file from outside is: see files/boundedfile.h), takes
// its header and, for a preset file, its description, and closes it again. A preset file that
// ends right after its header has an empty description. A header longer than a field may be
// is not a preset; a longer description is cut and ends in cutDescriptionMark. The path is the
// bytes the system names the file by, so names that are not UTF-8 are opened too.
[[nodiscard]] PresetDescription readPresetDescription(const QByteArray &path);
[[nodiscard]] PresetDescription readPresetDescription(const QString &path);

// The check made before a preset is used.
struct PresetHeader {
    enum class Outcome {
        Valid,      // the magic and a 16-bit version, in version
        Corrupt,    // the header is missing, lacks the magic, is too long, or its version needs more than 16 bits
        Unreadable, // the file could not be opened or read; error holds the system's reason
    };
    Outcome outcome = Outcome::Unreadable;
    qint16 version = 0;
    QString error;
};

// Opens the file for reading only, checks its header field and closes it again.
[[nodiscard]] PresetHeader checkPresetHeader(const QByteArray &path);
[[nodiscard]] PresetHeader checkPresetHeader(const QString &path);

} // namespace kr52
