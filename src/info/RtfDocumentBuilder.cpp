#include "RtfDocumentBuilder.h"

#include "RtfTables.h"
#include "widgets/Twips.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextOption>
#include <QTextTable>
#include <QTextTableFormat>

#include <algorithm>

namespace {

constexpr int kMaxColumns = 64;
// QTextTable rebuilds its cell index on every appended row, so a longer
// run of rows is split over several tables to keep reading linear.
constexpr int kMaxRowsPerTable = 250;

// The document lays out in fractions of a pixel, so measures are not
// rounded as window geometry is.
qreal toPixels(int twips)
{
    return qreal(twips) / Twips::kPerPixel;
}

QColor toColour(const Rtf::Colour &colour)
{
    return colour.automatic ? QColor() : QColor(colour.red, colour.green, colour.blue);
}

QTextCharFormat::UnderlineStyle toUnderline(Rtf::Underline underline)
{
    switch (underline) {
    case Rtf::Underline::None:
        break;
    case Rtf::Underline::Single:
        return QTextCharFormat::SingleUnderline;
    case Rtf::Underline::Dotted:
        return QTextCharFormat::DotLine;
    case Rtf::Underline::Dashed:
        return QTextCharFormat::DashUnderline;
    case Rtf::Underline::DashDot:
        return QTextCharFormat::DashDotLine;
    case Rtf::Underline::DashDotDot:
        return QTextCharFormat::DashDotDotLine;
    case Rtf::Underline::Wave:
        return QTextCharFormat::WaveUnderline;
    }
    return QTextCharFormat::NoUnderline;
}

QFont::StyleHint toStyleHint(Rtf::FontFamily family)
{
    switch (family) {
    case Rtf::FontFamily::Any:
        break;
    case Rtf::FontFamily::Roman:
        return QFont::Serif;
    case Rtf::FontFamily::Swiss:
        return QFont::SansSerif;
    case Rtf::FontFamily::Modern:
        return QFont::TypeWriter;
    case Rtf::FontFamily::Script:
        return QFont::Cursive;
    case Rtf::FontFamily::Decorative:
        return QFont::Decorative;
    }
    return QFont::AnyStyle;
}

QTextOption::TabType toTabType(Rtf::TabKind kind)
{
    switch (kind) {
    case Rtf::TabKind::Left:
        break;
    case Rtf::TabKind::Right:
        return QTextOption::RightTab;
    case Rtf::TabKind::Centre:
        return QTextOption::CenterTab;
    case Rtf::TabKind::Decimal:
        return QTextOption::DelimiterTab;
    }
    return QTextOption::LeftTab;
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument *doc, const Rtf::FontTable &fonts,
                                       const Rtf::ColourTable &colours)
    : m_doc(doc)
    , m_cursor(doc)
    , m_fonts(fonts)
    , m_colours(colours)
{
    m_cursor.beginEditBlock();
}

void RtfDocumentBuilder::addCharacter(char16_t c)
{
    if (QChar::isHighSurrogate(c)) {
        if (m_highSurrogate)
            m_run.append(QChar(QChar::ReplacementCharacter));
        m_highSurrogate = c;
        return;
    }
    if (QChar::isLowSurrogate(c)) {
        if (m_highSurrogate) {
            m_run.append(QChar(m_highSurrogate));
            m_run.append(QChar(c));
        } else {
            m_run.append(QChar(QChar::ReplacementCharacter));
        }
        m_highSurrogate = 0;
        return;
    }
    if (m_highSurrogate) {
        m_run.append(QChar(QChar::ReplacementCharacter));
        m_highSurrogate = 0;
    }
    // Control characters other than tab, and the characters QTextDocument
    // uses to mark paragraphs and frames, never come from the text itself.
    if ((c < 0x20 && c != u'\t') || c == 0x7F || (c >= 0xFDD0 && c <= 0xFDEF) || c == 0xFFFE
        || c == 0xFFFF)
        return;
    if (c == QChar::ParagraphSeparator)
        c = QChar::LineSeparator;
    m_run.append(QChar(c));
}

QTextCharFormat RtfDocumentBuilder::charFormat(const Rtf::Format &style) const
{
    const Rtf::CharState &chr = style.chr;
    QTextCharFormat format;

    const Rtf::Font *font = m_fonts.find(chr.font);
    if (font && font->symbol == Rtf::SymbolFont::None) {
        format.setFontFamilies(QStringList {font->name});
        format.setFontStyleHint(toStyleHint(font->family));
        if (font->fixedPitch)
            format.setFontFixedPitch(true);
    }
    format.setFontPointSize(chr.halfPoints / 2.0);
    if (chr.bold)
        format.setFontWeight(QFont::Bold);
    if (chr.italic)
        format.setFontItalic(true);
    if (chr.strike)
        format.setFontStrikeOut(true);
    if (chr.underline != Rtf::Underline::None)
        format.setUnderlineStyle(toUnderline(chr.underline));
    if (chr.vertical == Rtf::VerticalPosition::Superscript)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (chr.vertical == Rtf::VerticalPosition::Subscript)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (chr.capitals == Rtf::Capitals::All)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (chr.capitals == Rtf::Capitals::Small)
        format.setFontCapitalization(QFont::SmallCaps);
    if (const QColor c = toColour(m_colours.at(chr.foreground)); c.isValid())
        format.setForeground(c);
    if (const QColor c = toColour(m_colours.at(chr.background)); c.isValid())
        format.setBackground(c);
    if (const QColor c = toColour(m_colours.at(chr.underlineColour)); c.isValid())
        format.setUnderlineColor(c);
    if (!style.href.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(style.href);
    }
    return format;
}

QTextBlockFormat RtfDocumentBuilder::blockFormat(const Rtf::ParaState &para) const
{
    QTextBlockFormat format;
    format.setAlignment(para.align);
    format.setLeftMargin(toPixels(para.left));
    format.setRightMargin(toPixels(para.right));
    format.setTextIndent(toPixels(para.first));
    format.setTopMargin(toPixels(para.before));
    format.setBottomMargin(toPixels(para.after));

    // RTF measures tab stops from the left margin, Qt from where the line
    // starts; the first line is the one that matters, as list items tab
    // from their marker to the text there.
    const int lineStart = para.left + para.first;
    QList<QTextOption::Tab> tabs;
    bool hangingTabGiven = false;
    for (const Rtf::TabStop &stop : para.tabs) {
        if (stop.position <= lineStart)
            continue;
        const QTextOption::TabType kind = toTabType(stop.kind);
        const QChar delimiter = kind == QTextOption::DelimiterTab ? u'.' : QChar();
        tabs.append(QTextOption::Tab(toPixels(stop.position - lineStart), kind, delimiter));
        hangingTabGiven = hangingTabGiven || stop.position == para.left;
    }
    // A hanging first line (a list item) also tabs to the left indent, as in Word.
    if (para.first < 0 && !hangingTabGiven)
        tabs.append(QTextOption::Tab(toPixels(-para.first), QTextOption::LeftTab));
    if (!tabs.isEmpty()) {
        std::sort(tabs.begin(), tabs.end(),
                  [](const auto &a, const auto &b) { return a.position < b.position; });
        format.setTabPositions(tabs);
    }

    if (para.lineSpacing != 0) {
        if (para.lineMultiple && para.lineSpacing > 0) {
            const qreal percent = std::clamp(para.lineSpacing * 100.0 / 240.0, 50.0, 500.0);
            format.setLineHeight(percent, QTextBlockFormat::ProportionalHeight);
        } else if (para.lineSpacing > 0) {
            format.setLineHeight(toPixels(para.lineSpacing), QTextBlockFormat::MinimumHeight);
        } else {
            format.setLineHeight(toPixels(-para.lineSpacing), QTextBlockFormat::FixedHeight);
        }
    }
    if (para.headingLevel > 0)
        format.setHeadingLevel(para.headingLevel);
    if (para.direction != Qt::LayoutDirectionAuto)
        format.setLayoutDirection(para.direction);
    return format;
}

void RtfDocumentBuilder::flush(const Rtf::Format &format)
{
    if (m_run.isEmpty())
        return;
    ensurePosition(format, true);
    m_cursor.insertText(m_run, charFormat(format));
    m_run.clear();
}

void RtfDocumentBuilder::ensurePosition(const Rtf::Format &format, bool materializeBreak,
                                        bool forceTable)
{
    const bool wantTable = forceTable || m_rowOpen || format.para.inTable;
    if (wantTable) {
        if (!m_table)
            startTable();
        else if (m_rowDone)
            nextRow();
        if (!m_inCell)
            enterCell();
    } else if (m_table) {
        leaveTable();
    }
    if (materializeBreak && m_pendingBreak) {
        m_cursor.insertBlock();
        m_pendingBreak = false;
    }
}

void RtfDocumentBuilder::applyBlockFormat(const Rtf::Format &format)
{
    m_cursor.setBlockFormat(blockFormat(format.para));
    if (m_cursor.block().length() <= 1)
        m_cursor.setBlockCharFormat(charFormat(format)); // gives an empty line its height
}

void RtfDocumentBuilder::endParagraph(const Rtf::Format &format)
{
    flush(format);
    ensurePosition(format, true);
    applyBlockFormat(format);
    m_pendingBreak = true;
}

void RtfDocumentBuilder::endCell(const Rtf::Format &format)
{
    flush(format);
    ensurePosition(format, false, true);
    // A cell whose last paragraph ended with \par has its format already.
    if (!m_pendingBreak)
        applyBlockFormat(format);
    ++m_column;
    m_inCell = false;
    m_pendingBreak = false;
}

void RtfDocumentBuilder::endRow(const Rtf::Format &format)
{
    flush(format);
    if (m_table && !m_rowDone) {
        if (m_inCell && !m_pendingBreak)
            applyBlockFormat(format);
        m_rowDone = true;
        m_inCell = false;
        m_pendingBreak = false;
    }
    m_rowOpen = false;
}

void RtfDocumentBuilder::startRowDefinition()
{
    m_rowOpen = true;
    m_cellCount = 0;
}

void RtfDocumentBuilder::addCellEdge()
{
    m_cellCount = std::min(m_cellCount + 1, kMaxColumns);
}

void RtfDocumentBuilder::startTable()
{
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);

    // Columns size to their content: writers' cell widths are often too
    // narrow for Qt's fonts and padding, and a wrapped word reads badly.
    const int columns = std::max(m_cellCount, 1);
    m_table = m_cursor.insertTable(1, columns, format);
    m_row = 0;
    m_column = 0;
    m_rowDone = false;
    m_inCell = true;
    m_pendingBreak = false;
}

void RtfDocumentBuilder::nextRow()
{
    if (m_table->rows() >= kMaxRowsPerTable) {
        leaveTable();
        startTable();
        return;
    }
    m_table->appendRows(1);
    m_row = m_table->rows() - 1;
    m_column = 0;
    m_rowDone = false;
    m_inCell = false;
}

void RtfDocumentBuilder::enterCell()
{
    if (m_column >= m_table->columns() && m_table->columns() < kMaxColumns)
        m_table->appendColumns(std::min(m_column + 1, kMaxColumns) - m_table->columns());
    if (m_column < m_table->columns()) {
        m_cursor = m_table->cellAt(m_row, m_column).firstCursorPosition();
        m_pendingBreak = false;
    } else {
        // More cells than a table may have: the rest go into the last one.
        m_column = m_table->columns() - 1;
        m_cursor = m_table->cellAt(m_row, m_column).lastCursorPosition();
        m_pendingBreak = true;
    }
    m_inCell = true;
}

void RtfDocumentBuilder::leaveTable()
{
    m_cursor.movePosition(QTextCursor::End);
    m_table = nullptr;
    m_inCell = false;
    m_rowDone = false;
    m_pendingBreak = false;
    m_row = 0;
    m_column = 0;
}

void RtfDocumentBuilder::finish(const Rtf::Format &format, int defaultTabTwips)
{
    flush(format);
    if (!m_pendingBreak)
        applyBlockFormat(format);
    QTextOption option = m_doc->defaultTextOption();
    option.setTabStopDistance(toPixels(defaultTabTwips));
    m_doc->setDefaultTextOption(option);
    m_cursor.endEditBlock();
}
