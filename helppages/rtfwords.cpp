// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppages/rtfwords.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kr52 {

namespace {

struct WordEntry {
    std::string_view name;
    RtfWord word;
};

using enum RtfWord;

constexpr WordEntry wordEntries[] = {
    {"fonttbl", FontTable},
    {"colortbl", ColourTable},
    {"par", Paragraph},
    {"row", Paragraph},
    {"page", Paragraph},
    {"sect", Paragraph},
    {"line", Line},
    {"tab", Tab},
    {"cell", Tab},
    {"emdash", EmDash},
    {"endash", EnDash},
    {"bullet", Bullet},
    {"lquote", LeftQuote},
    {"rquote", RightQuote},
    {"ldblquote", LeftDoubleQuote},
    {"rdblquote", RightDoubleQuote},
    {"emspace", EmSpace},
    {"enspace", EnSpace},
    {"u", Unicode},
    {"uc", UnicodeSkipCount},
    {"bin", Binary},
    {"plain", Plain},
    {"v", Hidden},
    {"sub", Subscript},
    {"super", Superscript},
    {"nosupersub", NoSuperSub},
    {"caps", Caps},
    {"scaps", SmallCaps},
    {"ansicpg", AnsiCodePage},
    {"b", Bold},
    {"i", Italic},
    {"ulnone", UnderlineNone},
    {"strike", Strike},
    {"striked", Strike},
    {"fs", FontSize},
    {"cf", Colour},
    {"highlight", Highlight},
    {"cb", Highlight},
    {"f", Font},
    {"deff", DefaultFont},
    {"pard", ParagraphDefaults},
    {"ql", AlignLeft},
    {"qc", AlignCentre},
    {"qr", AlignRight},
    {"qj", Justify},
    {"li", LeftIndent},
    {"lin", LeftIndent},
    {"ri", RightIndent},
    {"rin", RightIndent},
    {"fi", FirstIndent},
    {"sb", SpaceBefore},
    {"sa", SpaceAfter},
    {"tx", TabStop},
    {"outlinelevel", OutlineLevel},
    {"fcharset", FontCharset},
    {"fmodern", FontModern},
    {"fprq", FontPitch},
    {"red", Red},
    {"green", Green},
    {"blue", Blue},
    // every underline style
    {"ul", Underline},
    {"uld", Underline},
    {"uldash", Underline},
    {"uldashd", Underline},
    {"uldashdd", Underline},
    {"uldb", Underline},
    {"ulhwave", Underline},
    {"ulldash", Underline},
    {"ulth", Underline},
    {"ulthd", Underline},
    {"ulthdash", Underline},
    {"ulthdashd", Underline},
    {"ulthdashdd", Underline},
    {"ulthldash", Underline},
    {"ululdbwave", Underline},
    {"ulw", Underline},
    {"ulwave", Underline},
    // destinations whose text is not part of the page
    {"stylesheet", SkippedDestination},
    {"info", SkippedDestination},
    {"pict", SkippedDestination},
    {"object", SkippedDestination},
    {"objdata", SkippedDestination},
    {"fldinst", SkippedDestination},
    {"header", SkippedDestination},
    {"headerl", SkippedDestination},
    {"headerr", SkippedDestination},
    {"headerf", SkippedDestination},
    {"footer", SkippedDestination},
    {"footerl", SkippedDestination},
    {"footerr", SkippedDestination},
    {"footerf", SkippedDestination},
    {"footnote", SkippedDestination},
    {"pn", SkippedDestination},
    {"listtable", SkippedDestination},
    {"listoverridetable", SkippedDestination},
    {"revtbl", SkippedDestination},
    {"filetbl", SkippedDestination},
    {"xe", SkippedDestination},
    {"tc", SkippedDestination},
    {"txe", SkippedDestination},
    {"rxe", SkippedDestination},
    {"template", SkippedDestination},
    {"nonshppict", SkippedDestination},
    {"annotation", SkippedDestination},
    {"atnid", SkippedDestination},
    {"atnauthor", SkippedDestination},
    {"bkmkstart", SkippedDestination},
    {"bkmkend", SkippedDestination},
    {"themedata", SkippedDestination},
    {"colorschememapping", SkippedDestination},
    {"datastore", SkippedDestination},
    {"latentstyles", SkippedDestination},
    {"generator", SkippedDestination},
};

constexpr std::size_t longestName()
{
    std::size_t longest = 0;
    for (const WordEntry &entry : wordEntries)
        longest = std::max(longest, entry.name.size());
    return longest;
}

// Every control word of a page is looked up, so the table is open-addressed and hashes a few
// bytes rather than calling a general string hash.
class WordTable {
public:
    constexpr WordTable()
    {
        for (const WordEntry &entry : wordEntries) {
            std::size_t slot = hash(entry.name);
            while (m_slots[slot] != nullptr && m_slots[slot]->name != entry.name)
                slot = (slot + 1) % slotCount;
            if (m_slots[slot] == nullptr)
                m_slots[slot] = &entry;
        }
    }

    [[nodiscard]] constexpr RtfWord find(std::string_view name) const
    {
        if (name.size() > maxNameSize)
            return Unknown;
        for (std::size_t slot = hash(name); m_slots[slot] != nullptr; slot = (slot + 1) % slotCount) {
            if (m_slots[slot]->name == name)
                return m_slots[slot]->word;
        }
        return Unknown;
    }

private:
    static constexpr std::size_t slotCount = 512; // a power of two, several times the entries
    static constexpr std::size_t maxNameSize = longestName();
    static_assert(std::size(wordEntries) * 4 < slotCount, "the table must stay sparse for short probes");

    [[nodiscard]] static constexpr std::size_t hash(std::string_view name)
    {
        std::uint32_t value = 2166136261u; // FNV-1a
        for (char c : name)
            value = (value ^ std::uint8_t(c)) * 16777619u;
        return value % slotCount;
    }

    std::array<const WordEntry *, slotCount> m_slots{};
};

constexpr WordTable wordTable;

} // namespace

RtfWord rtfWord(std::string_view name)
{
    return wordTable.find(name);
}

} // namespace kr52
