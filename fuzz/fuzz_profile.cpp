// SPDX-License-Identifier: GPL-3.0-or-later
// The profile reader takes any bytes. A refusal, and only a refusal, has a reason; what it
// accepts, written again, is either refused with a reason or reads back the same; and the
// choices of an accepted profile are one entry per list, with a cut offset only beside
// "Adjust as below" and within the adjuster's range.
#include "harness.h"
#include "settings/catalogue.h"
#include "settings/profile.h"
#include "settings/profilechoices.h"
#include "settings/profilewriter.h"

#include <QByteArray>
#include <QString>

#include <cstdlib>

namespace {

bool sameText(const kr52::Profile &a, const kr52::Profile &b)
{
    if (a.settings.size() != b.settings.size() || a.cutOffset != b.cutOffset || a.port != b.port)
        return false;
    for (qsizetype i = 0; i < a.settings.size(); ++i)
        if (a.settings[i].name != b.settings[i].name || a.settings[i].entry != b.settings[i].entry)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using kr52::fuzz::require;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const kr52::ProfileResult read = kr52::parseProfile(bytes, QStringLiteral("f.ini"));
    require(read.profile.has_value() == read.error.isEmpty(), "a refusal, and only a refusal, has a reason");
    if (!read.profile)
        return 0;

    const kr52::ProfileText written = kr52::formatProfile(*read.profile, QStringLiteral("fuzz\nseveral lines"));
    require(written.text.has_value() == written.error.isEmpty(), "a refused write, and only that, has a reason");
    if (written.text) {
        const kr52::ProfileResult again = kr52::parseProfile(*written.text, QStringLiteral("g.ini"));
        require(again.profile.has_value(), "a written profile is read");
        require(sameText(again.profile.value(), *read.profile), "a written profile reads back the same");
    }

    const kr52::ProfileChoices choices = kr52::choicesOfProfile(*read.profile);
    if (!choices.error.isEmpty())
        return 0;
    const auto &catalogue = kr52::settingsCatalogue();
    require(choices.indexes.size() == catalogue.size(), "one index per list");
    for (std::size_t row = 0; row < catalogue.size(); ++row) {
        const int index = choices.indexes[row];
        require(index >= 0 && index < catalogue[row].entries.size(), "each index is an entry of its list");
        if (catalogue[row].kind == kr52::RowKind::CutOffset)
            require(choices.cutOffsetTenths.has_value() == (index == 1), "a cut offset only with Adjust as below");
    }
    require(!choices.cutOffsetTenths || std::abs(*choices.cutOffsetTenths) <= 299, "the cut offset is in range");
    return 0;
}
