// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace kr52 {

// The RTF control words the reader acts on; every other word is Unknown and ignored.
enum class RtfWord {
    Unknown,
    // destinations
    FontTable,
    ColourTable,
    SkippedDestination, // style sheet, document information, pictures, field instructions ...
    // text
    Paragraph, // also rows, pages and sections
    Line,
    Tab, // also table cells
    EmDash,
    EnDash,
    Bullet,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    EmSpace,
    EnSpace,
    Unicode,
    UnicodeSkipCount,
    Binary,
    // character formatting
    Plain,
    Hidden,
    Subscript,
    Superscript,
    NoSuperSub,
    Caps,
    SmallCaps,
    Bold,
    Italic,
    Underline, // every underline style
    UnderlineNone,
    Strike,
    FontSize,
    Colour,
    Highlight,
    Font,
    DefaultFont,
    // the document's code page for \'hh bytes
    AnsiCodePage,
    // paragraph formatting
    ParagraphDefaults,
    AlignLeft,
    AlignCentre,
    AlignRight,
    Justify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    TabStop,
    OutlineLevel, // the paragraph is a heading of this level (0 for the top)
    // inside the font and colour tables
    FontCharset,
    FontModern,
    FontPitch,
    Red,
    Green,
    Blue,
};

[[nodiscard]] RtfWord rtfWord(std::string_view name);

} // namespace kr52
