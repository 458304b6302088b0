#include "helpviewer/rtfwords.h"

#include <string>
#include <unordered_map>

namespace kr52 {

namespace {

using WordTable = std::unordered_map<std::string_view, RtfWord>;

WordTable buildTable()
{
    using enum RtfWord;
    WordTable table{
        {"fonttbl", FontTable}, {"colortbl", ColourTable},
        {"par", Paragraph}, {"row", Paragraph}, {"page", Paragraph}, {"sect", Paragraph},
        {"line", Line}, {"tab", Tab}, {"cell", Tab},
        {"emdash", EmDash}, {"endash", EnDash}, {"bullet", Bullet},
        {"lquote", LeftQuote}, {"rquote", RightQuote},
        {"ldblquote", LeftDoubleQuote}, {"rdblquote", RightDoubleQuote},
        {"emspace", EmSpace}, {"enspace", EnSpace},
        {"u", Unicode}, {"uc", UnicodeSkipCount}, {"bin", Binary},
        {"plain", Plain}, {"b", Bold}, {"i", Italic}, {"ulnone", UnderlineNone},
        {"strike", Strike}, {"striked", Strike},
        {"fs", FontSize}, {"cf", Colour}, {"highlight", Highlight}, {"cb", Highlight},
        {"f", Font}, {"deff", DefaultFont},
        {"pard", ParagraphDefaults},
        {"ql", AlignLeft}, {"qc", AlignCentre}, {"qr", AlignRight}, {"qj", Justify},
        {"li", LeftIndent}, {"lin", LeftIndent}, {"ri", RightIndent}, {"rin", RightIndent},
        {"fi", FirstIndent}, {"sb", SpaceBefore}, {"sa", SpaceAfter}, {"tx", TabStop},
        {"fcharset", FontCharset}, {"fmodern", FontModern}, {"fprq", FontPitch},
        {"red", Red}, {"green", Green}, {"blue", Blue},
    };
    for (std::string_view underline : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                       "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                                       "ulthldash", "ululdbwave", "ulw", "ulwave"})
        table.emplace(underline, Underline);
    // Destinations whose text is not part of the page.
    for (std::string_view skipped : {"stylesheet", "info", "pict", "object", "objdata", "fldinst", "header",
                                     "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
                                     "footnote", "pn", "listtable", "listoverridetable", "revtbl", "filetbl",
                                     "xe", "tc", "txe", "rxe", "template", "nonshppict", "annotation",
                                     "atnid", "atnauthor", "bkmkstart", "bkmkend", "themedata",
                                     "colorschememapping", "datastore", "latentstyles", "generator"})
        table.emplace(skipped, SkippedDestination);
    return table;
}

} // namespace

RtfWord rtfWord(std::string_view name)
{
    static const WordTable table = buildTable();
    const auto found = table.find(name);
    return found == table.end() ? RtfWord::Unknown : found->second;
}

} // namespace kr52
