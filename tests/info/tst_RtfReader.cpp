#include "info/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHash>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

// The samples in rtf/ were all made from rtf/sample.html: by LibreOffice,
// by pandoc, and by hand as WordPad and Word write it. Each must show the
// same text with the same formatting.
namespace {

const QStringList kSampleLines = {
    QStringLiteral("Vault notes"),
    QStringLiteral("Plain, bold, italic, underlined and red words."),
    QStringLiteral("\u2022\tFirst bullet"),
    QStringLiteral("\u2022\tSecond bullet"),
    QStringLiteral("1.\tStep one"),
    QStringLiteral("2.\tStep two"),
    QStringLiteral("Site"),
    QStringLiteral("User"),
    QStringLiteral("bank"),
    QStringLiteral("anna"),
    QStringLiteral("Meet at the caf\u00e9, pay 5 \u20ac \u2013 done."),
};

QString samplePath(const QString &name)
{
    return QFINDTESTDATA(QStringLiteral("rtf/") + name);
}

// The document's lines, with trailing spaces and empty lines left out:
// writers differ there and nobody sees it.
QStringList visibleLines(const QTextDocument &doc)
{
    QStringList lines;
    const QStringList all = doc.toPlainText().split(u'\n');
    for (QString line : all) {
        while (line.endsWith(u' '))
            line.chop(1);
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

QTextCursor find(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = doc.find(text, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull())
        qWarning("\"%s\" not found in \"%s\"", qPrintable(text), qPrintable(doc.toPlainText()));
    return found;
}

// The format of the first character of text in doc.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = find(doc, text);
    if (found.isNull())
        return {};
    QTextCursor at(found.document());
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

QList<QTextTable *> tablesOf(const QTextDocument &doc)
{
    QList<QTextTable *> tables;
    const QList<QTextFrame *> frames = doc.rootFrame()->childFrames();
    for (QTextFrame *frame : frames) {
        if (auto *table = qobject_cast<QTextTable *>(frame))
            tables.append(table);
    }
    return tables;
}

QString cellText(QTextTable *table, int row, int column)
{
    QTextCursor cursor = table->cellAt(row, column).firstCursorPosition();
    cursor.setPosition(table->cellAt(row, column).lastCursorPosition().position(),
                       QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

QByteArray repeated(const QByteArray &part, int count)
{
    return part.repeated(count);
}

} // namespace

// How the reader turns RTF into a document: files that writers made, text
// and its character and paragraph formatting, tables, and input that must
// never crash or hang it.
class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void formats_data();
    void formats();
    void writerSamples_data();
    void writerSamples();
    void tables();
    void notRtf();
    void helpFile();
    void robustness_data();
    void robustness();
};

void TestRtfReader::writerSamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("hasColour"); // pandoc drops the colour of a span

    QTest::newRow("LibreOffice") << "sample-libreoffice.rtf" << true;
    QTest::newRow("pandoc") << "sample-pandoc.rtf" << false;
    QTest::newRow("WordPad") << "sample-wordpad.rtf" << true;
    QTest::newRow("Word") << "sample-word.rtf" << true;
}

void TestRtfReader::writerSamples()
{
    QFETCH(QString, file);
    QFETCH(bool, hasColour);

    const QString path = samplePath(file);
    QVERIFY2(!path.isEmpty(), qPrintable(file));
    QTextDocument doc;
    QString error;
    QVERIFY2(RtfReader::readFile(path, &doc, &error), qPrintable(error));

    QCOMPARE(visibleLines(doc), kSampleLines);

    const QTextCharFormat body = formatOf(doc, QStringLiteral("Plain"));
    QCOMPARE(body.fontWeight(), int(QFont::Normal));
    QVERIFY(!body.fontItalic());
    QVERIFY(!body.fontUnderline());
    QCOMPARE(formatOf(doc, QStringLiteral("bold")).fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(doc, QStringLiteral("italic")).fontItalic());
    QVERIFY(formatOf(doc, QStringLiteral("underlined")).fontUnderline());
    QCOMPARE(formatOf(doc, QStringLiteral(" and")).fontWeight(), int(QFont::Normal));

    const QTextCharFormat heading = formatOf(doc, QStringLiteral("Vault notes"));
    QCOMPARE(heading.fontWeight(), int(QFont::Bold));
    QVERIFY(heading.fontPointSize() > body.fontPointSize());

    const QTextCharFormat red = formatOf(doc, QStringLiteral("red"));
    if (hasColour)
        QCOMPARE(red.foreground().color(), QColor(255, 0, 0));
    else
        QCOMPARE(red.foreground().style(), Qt::NoBrush);

    // List items hang their marker left of the text.
    const QTextBlockFormat item = find(doc, QStringLiteral("First bullet")).block().blockFormat();
    QVERIFY(item.leftMargin() > 0);
    QVERIFY(item.textIndent() < 0);

    const QList<QTextTable *> tables = tablesOf(doc);
    QCOMPARE(tables.size(), 1);
    QCOMPARE(tables.first()->rows(), 2);
    QCOMPARE(tables.first()->columns(), 2);
    QCOMPARE(cellText(tables.first(), 0, 0), QStringLiteral("Site"));
    QCOMPARE(cellText(tables.first(), 1, 1), QStringLiteral("anna"));
    QVERIFY(!find(doc, QStringLiteral("Meet")).currentTable());
}

void TestRtfReader::tables()
{
    // Rows of unequal length, a cell of two paragraphs, and a cell whose
    // paragraph resets \intbl inside a group, as pandoc writes.
    const QByteArray rtf
        = R"({\rtf1 before\par)"
          R"(\trowd\cellx1000\cellx2000\pard\intbl a\cell b1\par b2\cell\row)"
          R"({\trowd\cellx1000\intbl{{\pard \ql c\par}\cell}\intbl\row})"
          R"(\trowd\cellx1000\cellx2000\cellx3000\pard\intbl d\cell e\cell f\cell\row)"
          R"(\pard after\par})";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));

    const QList<QTextTable *> tables = tablesOf(doc);
    QCOMPARE(tables.size(), 1);
    QTextTable *table = tables.first();
    QCOMPARE(table->rows(), 3);
    QCOMPARE(table->columns(), 3);
    QCOMPARE(cellText(table, 0, 0), QStringLiteral("a"));
    QCOMPARE(cellText(table, 0, 1), QStringLiteral("b1\u2029b2"));
    QCOMPARE(cellText(table, 1, 0), QStringLiteral("c"));
    QCOMPARE(cellText(table, 2, 2), QStringLiteral("f"));
    QVERIFY(!find(doc, QStringLiteral("before")).currentTable());
    QVERIFY(!find(doc, QStringLiteral("after")).currentTable());
}

void TestRtfReader::notRtf()
{
    QTextDocument doc(QStringLiteral("kept"));
    QString error;
    QVERIFY(!RtfReader::read("plain text", &doc, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(doc.toPlainText(), QStringLiteral("kept"));
    QVERIFY(!RtfReader::read(QByteArray(), &doc, &error));

    error.clear();
    QVERIFY(!RtfReader::readFile(QStringLiteral("/nonexistent/help.rtf"), &doc, &error));
    QVERIFY(!error.isEmpty());
}

// The program's own help must read as written: a title, headings, bullets
// shown once each, and a working link to the publisher.
void TestRtfReader::helpFile()
{
    const QString path = QFINDTESTDATA("../../resources/Help.rtf");
    QVERIFY(!path.isEmpty());
    QTextDocument doc;
    QString error;
    QVERIFY2(RtfReader::readFile(path, &doc, &error), qPrintable(error));

    const QStringList lines = visibleLines(doc);
    QCOMPARE(lines.value(0), QStringLiteral("Vorsell Help"));
    QVERIFY(formatOf(doc, QStringLiteral("Vorsell Help")).fontPointSize() > 12);
    QVERIFY(formatOf(doc, QStringLiteral("Backing up")).fontWeight() >= QFont::Bold);
    for (const QString &line : lines)
        QVERIFY2(line.count(QChar(0x2022)) <= 1, qPrintable(line));
    QVERIFY(lines.contains(QStringLiteral("\u2022\tHelp: View Help (F1).")));
    QVERIFY(doc.toPlainText().contains(QStringLiteral("data.enc")));
    const QTextCursor link = doc.find(QStringLiteral("www.drummet.example"), doc.characterCount(),
                                      QTextDocument::FindBackward);
    QVERIFY(!link.isNull());
    QCOMPARE(link.charFormat().anchorHref(), QStringLiteral("http://www.drummet.example"));
}

void TestRtfReader::robustness_data()
{
    QTest::addColumn<QByteArray>("rtf");

    // clang-format off
    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 {{{{\\b a");
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}}} b}");
    QTest::newRow("deep nesting closed") << "{\\rtf1 " + repeated("{", 300000) + "x" + repeated("}", 300000) + "}";
    QTest::newRow("deep skipped nesting") << "{\\rtf1{\\*\\x" + repeated("{", 300000);
    QTest::newRow("bin past the end") << QByteArray("{\\rtf1 {\\pict\\bin999999999999 abc}}");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 \\bin-5 abc}");
    QTest::newRow("bin at the end") << QByteArray("{\\rtf1 \\bin");
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 \\'4");
    QTest::newRow("bare hex") << QByteArray("{\\rtf1 \\'");
    QTest::newRow("bare backslash") << QByteArray("{\\rtf1 \\");
    QTest::newRow("star at the end") << QByteArray("{\\rtf1 \\*");
    QTest::newRow("huge numbers") << QByteArray("{\\rtf1 \\fs99999999999999999999999 \\li-999999999999999 \\cf99999999999 \\f-99999999 \\u99999999999 \\sl-99999999 \\tx99999999 \\outlinelevel-4 \\deftab-1 \\cellx-5 x}");
    QTest::newRow("huge uc") << "{\\rtf1 \\uc2147483647 \\u8364 " + repeated("a", 100000) + "}";
    QTest::newRow("long word") << "{\\rtf1 \\" + repeated("a", 200000) + "123 x}";
    QTest::newRow("long number") << "{\\rtf1 \\fs" + repeated("9", 200000) + " x}";
    QTest::newRow("many cells") << "{\\rtf1 " + repeated("x\\cell ", 4000) + "}";
    QTest::newRow("many rows") << "{\\rtf1 " + repeated("\\trowd\\cellx9\\cellx99\\intbl a\\cell b\\cell\\row ", 1500) + "}";
    QTest::newRow("rows without cells") << "{\\rtf1 " + repeated("\\row\\intbl\\row", 20000) + "}";
    QTest::newRow("many tabs") << "{\\rtf1 " + repeated("\\tx720", 100000) + "\\fi-5\\li9 x\\par}";
    QTest::newRow("font table flood") << "{\\rtf1{\\fonttbl" + repeated("\\f1\\fcharset2 a;", 50000) + "}\\f1 \\'b7}";
    QTest::newRow("colour table flood") << "{\\rtf1{\\colortbl" + repeated(";\\red300", 50000) + "}\\cf49999 x}";
    QTest::newRow("long field instruction") << "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"" + repeated("a", 200000) + "}{\\fldrslt x}}}";
    QTest::newRow("list markers") << "{\\rtf1 " + repeated("{\\listtext\\pard x}", 50000) + "}";
    QTest::newRow("lone surrogates") << "{\\rtf1 " + repeated("\\u-10179?", 50000) + "}";
    QTest::newRow("frame characters") << QByteArray("{\\rtf1 a\\u64976?\\u64977?\\u8233?b}");
    // clang-format on

    QByteArray noise = "{\\rtf1 ";
    QRandomGenerator random(1234);
    const char alphabet[] = "{}\\\\'*abfinpqrtu0123456789- ;\x80\xff";
    for (int i = 0; i < 200000; ++i)
        noise += alphabet[random.bounded(int(sizeof alphabet) - 1)];
    QTest::newRow("noise") << noise;
}

void TestRtfReader::robustness()
{
    QFETCH(QByteArray, rtf);

    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    doc.setTextWidth(400);
    doc.documentLayout()->documentSize();
    // Each row is well under a second normally; far more means the reader
    // went quadratic somewhere.
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
}

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("Windows-1252 bytes") << QByteArray(R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'80 \'93q\'94 \'8a})") << QStringLiteral("caf\u00e9 \u20ac \u201cq\u201d \u0160");
    QTest::newRow("unknown code page falls back") << QByteArray(R"({\rtf1\ansi\ansicpg1251 \'80})") << QStringLiteral("\u20ac");
    QTest::newRow("unicode drops one fallback") << QByteArray(R"({\rtf1 a\u8364?b})") << QStringLiteral("a\u20acb");
    QTest::newRow("uc2 drops two fallbacks") << QByteArray(R"({\rtf1\uc2 a\u8364\'80\'80b})") << QStringLiteral("a\u20acb");
    QTest::newRow("fallback a control word") << QByteArray(R"({\rtf1 \u8212\emdash x})") << QStringLiteral("\u2014x");
    QTest::newRow("uc belongs to its group") << QByteArray(R"({\rtf1{\uc2\u8364??}\u8364?x})") << QStringLiteral("\u20ac\u20acx");
    QTest::newRow("a brace ends the fallback") << QByteArray(R"({\rtf1\uc5\u8364{x}y})") << QStringLiteral("\u20acxy");
    QTest::newRow("negative unicode pair") << QByteArray(R"({\rtf1\u-10179?\u-8704?})") << QStringLiteral("\U0001F600");
    QTest::newRow("lone surrogate") << QByteArray(R"({\rtf1 a\u-10179?b})") << QStringLiteral("a\ufffdb");
    QTest::newRow("escapes") << QByteArray(R"({\rtf1 \{a\}\\b\~c\-d\_e})") << QStringLiteral("{a}\\b\u00a0c\u00add\u2011e");
    QTest::newRow("tab line par") << QByteArray(R"({\rtf1 a\tab b\line c\par d})") << QStringLiteral("a\tb\nc\nd");
    QTest::newRow("backslash newline is par") << QByteArray("{\\rtf1 a\\\nb}") << QStringLiteral("a\nb");
    QTest::newRow("line breaks in the file") << QByteArray("{\\rtf1 a\r\nb\nc}") << QStringLiteral("abc");
    QTest::newRow("skipped destinations") << QByteArray(R"({\rtf1{\fonttbl{\f0\froman{\*\panose 0203}Times;}}{\colortbl;\red1;}{\info{\title T}}{\*\anything new}{\pict\pngblip 89504e47}A})") << QStringLiteral("A");
    QTest::newRow("binary data holds braces") << QByteArray(R"({\rtf1{\pict\bin4 {{{{}B})") << QStringLiteral("B");
    QTest::newRow("binary data in text") << QByteArray(R"({\rtf1 A\bin2 xyB})") << QStringLiteral("AB");
    QTest::newRow("unstarred field instruction") << QByteArray(R"({\rtf1{\field{\fldinst PAGE}{\fldrslt 7}}})") << QStringLiteral("7");
    // \* skips only a destination the reader does not know.
    QTest::newRow("starred field result shown") << QByteArray(R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\*\fldrslt link text}}})") << QStringLiteral("link text");
    QTest::newRow("starred unknown destination skipped") << QByteArray(R"({\rtf1 a{\*\foo b{\c}d}{\*\b e}f})") << QStringLiteral("af");
    QTest::newRow("hidden text") << QByteArray(R"({\rtf1 a{\v b}c\v d\v0 e})") << QStringLiteral("ace");
    QTest::newRow("list marker shown once") << QByteArray(R"({\rtf1{\listtext \'95\tab}{\pntext \'95\tab}Item\par{\pntext\pard\plain  2.\tab}Next})") << QStringLiteral("\u2022\tItem\n2.\tNext");
    QTest::newRow("symbol font bullets") << QByteArray(R"({\rtf1{\fonttbl{\f1\fcharset2 Symbol;}{\f2\fnil Wingdings;}}{\f1\'b7}{\f2\'a7}{\f1\u-3913?}\'b7})") << QStringLiteral("\u2022\u25aa\u2022\u00b7");
    QTest::newRow("text after the document") << QByteArray(R"({\rtf1 a}b)") << QStringLiteral("a");
    QTest::newRow("leading byte order mark") << QByteArray("\xEF\xBB\xBF\r\n{\\rtf1 a}") << QStringLiteral("a");
    QTest::newRow("nested table cells flat") << QByteArray(R"({\rtf1 a\nestcell b\nestcell{\*\nesttableprops\trowd\nestrow}c})") << QStringLiteral("a\tb\t\nc");
    // clang-format on
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);

    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    // toPlainText() would turn the no-break space into a plain one.
    QString actual = doc.toRawText();
    actual.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    QCOMPARE(actual, expected);
}

void TestRtfReader::formats_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");

    // clang-format off
    const QByteArray colours = R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green128\blue0;}\cf2 g\cf0 a\cf9 z\highlight1 h})";
    const QByteArray fonts = R"({\rtf1\deff1{\fonttbl{\f0\fswiss Arial;}{\f1\fmodern Courier New;}}a\f0 b})";
    const QByteArray link = R"({\rtf1{\field{\*\fldinst{HYPERLINK "https://x.example/a"}}{\fldrslt{\ul Go}}}x})";
    const QByteArray aligned = R"({\rtf1\qc c\par\pard l\par{\qc g\par}h})";
    const QByteArray indented = R"({\rtf1\li720\ri1440\fi-360\sb240\sa120 x\par})";
    QTest::newRow("bold off") << QByteArray(R"({\rtf1\b on\b0 off})") << "off" << "bold" << "false";
    QTest::newRow("group restores") << QByteArray(R"({\rtf1{\b\i\ul in}out})") << "out" << "bold" << "false";
    QTest::newRow("plain resets") << QByteArray(R"({\rtf1\fs40 a\plain b})") << "b" << "size" << "12";
    QTest::newRow("ulnone") << QByteArray(R"({\rtf1\ul a\ulnone b})") << "b" << "underline" << "false";
    QTest::newRow("strike") << QByteArray(R"({\rtf1\strike s\strike0 t})") << "s" << "strike" << "true";
    QTest::newRow("half points") << QByteArray(R"({\rtf1\fs21 x})") << "x" << "size" << "10.5";
    QTest::newRow("huge size clamped") << QByteArray(R"({\rtf1\fs99999999999999 x})") << "x" << "size" << "1638";
    QTest::newRow("zero size ignored") << QByteArray(R"({\rtf1\fs0 x})") << "x" << "size" << "12";
    QTest::newRow("colour") << colours << "g" << "colour" << "#008000";
    QTest::newRow("auto colour") << colours << "a" << "colour" << "";
    QTest::newRow("missing colour") << colours << "z" << "colour" << "";
    QTest::newRow("highlight") << colours << "h" << "background" << "#ff0000";
    QTest::newRow("default font") << fonts << "a" << "family" << "Courier New";
    QTest::newRow("font") << fonts << "b" << "family" << "Arial";
    QTest::newRow("superscript") << QByteArray(R"({\rtf1 x{\super 2}})") << "2" << "super" << "true";
    QTest::newRow("link") << link << "Go" << "href" << "https://x.example/a";
    QTest::newRow("link ends with field") << link << "x" << "href" << "";
    QTest::newRow("link to a bookmark") << QByteArray(R"({\rtf1{\field{\*\fldinst HYPERLINK \\l "top"}{\fldrslt Go}}})") << "Go" << "href" << "#top";
    QTest::newRow("script link refused") << QByteArray(R"({\rtf1{\field{\*\fldinst HYPERLINK "javascript:x"}{\fldrslt Go}}})") << "Go" << "href" << "";
    QTest::newRow("centre") << aligned << "c" << "align" << "centre";
    QTest::newRow("pard resets") << aligned << "l" << "align" << "left";
    QTest::newRow("group restores alignment") << aligned << "h" << "align" << "left";
    QTest::newRow("last paragraph without par") << QByteArray(R"({\rtf1\qc end})") << "end" << "align" << "centre";
    QTest::newRow("format at par, not after") << QByteArray(R"({\rtf1 a\par\pard\qc b})") << "a" << "align" << "left";
    QTest::newRow("left indent") << indented << "x" << "left" << "48";
    QTest::newRow("right indent") << indented << "x" << "right" << "96";
    QTest::newRow("first line") << indented << "x" << "first" << "-24";
    QTest::newRow("space before") << indented << "x" << "before" << "16";
    QTest::newRow("absurd indent clamped") << QByteArray(R"({\rtf1\li99999999999 x})") << "x" << "left" << "2112";
    QTest::newRow("negative spacing ignored") << QByteArray(R"({\rtf1\sb-500 x})") << "x" << "before" << "0";
    QTest::newRow("heading level") << QByteArray(R"({\rtf1\outlinelevel1 h\par})") << "h" << "heading" << "2";
    // clang-format on
}

// A property of the characters of a word, or of the paragraph it is in.
void TestRtfReader::formats()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, word);
    QFETCH(QString, property);
    QFETCH(QString, expected);

    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    // A word the reader dropped would leave a default format to compare.
    QVERIFY2(!find(doc, word).isNull(), qPrintable(doc.toPlainText()));
    const QTextCharFormat format = formatOf(doc, word);
    const QTextBlockFormat block = find(doc, word).block().blockFormat();
    const auto colourName = [](const QBrush &brush) {
        return brush.style() == Qt::NoBrush ? QString() : brush.color().name();
    };
    const Qt::Alignment align = block.alignment() & Qt::AlignHorizontal_Mask;

    const QHash<QString, QVariant> actual = {
        {"bold", format.fontWeight() >= QFont::Bold},
        {"underline", format.fontUnderline()},
        {"strike", format.fontStrikeOut()},
        {"size", format.fontPointSize()},
        {"colour", colourName(format.foreground())},
        {"background", colourName(format.background())},
        {"family", format.fontFamilies().toStringList().value(0)},
        {"super", format.verticalAlignment() == QTextCharFormat::AlignSuperScript},
        {"href", format.anchorHref()},
        {"align",
         align == Qt::AlignHCenter    ? "centre"
             : align == Qt::AlignLeft ? "left"
                                      : "other"},
        {"left", block.leftMargin()},
        {"right", block.rightMargin()},
        {"first", block.textIndent()},
        {"before", block.topMargin()},
        {"heading", block.headingLevel()},
    };
    QVERIFY2(actual.contains(property), qPrintable(property));
    QCOMPARE(actual.value(property).toString(), expected);
}

QTEST_MAIN(TestRtfReader)
#include "tst_RtfReader.moc"
