#include "RtfTestSupport.h"

using namespace RtfTest;

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void writerSamples_data();
    void writerSamples();
    void regeneratedSamples_data();
    void regeneratedSamples();
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
    const QTextBlockFormat item = blockOf(doc, QStringLiteral("First bullet"));
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

void TestRtfReader::regeneratedSamples_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments"); // %in and %out stand for the paths
    QTest::addColumn<QString>("output");

    QTest::newRow("pandoc") << "pandoc"
                            << QStringList {"-s", "%in", "-t", "rtf", "-o", "%out/sample.rtf"}
                            << "sample.rtf";
    QTest::newRow("LibreOffice") << "soffice"
                                 << QStringList {"-env:UserInstallation=file://%out/profile",
                                                 "--headless",
                                                 "--infilter=HTML (StarWriter)",
                                                 "--convert-to",
                                                 "rtf",
                                                 "--outdir",
                                                 "%out",
                                                 "%in"}
                                 << "sample.rtf";
}

// Makes the samples anew where the writers are installed, to catch
// whatever a newer version writes differently.
void TestRtfReader::regeneratedSamples()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, output);

    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        QSKIP("The writer is not installed.");
    const QString source = samplePath(QStringLiteral("sample.html"));
    QVERIFY(!source.isEmpty());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (QString &argument : arguments)
        argument.replace(QLatin1String("%in"), source).replace(QLatin1String("%out"), dir.path());

    QProcess process;
    process.start(executable, arguments);
    if (!process.waitForFinished(180000) || process.exitCode() != 0
        || !QFile::exists(dir.filePath(output)))
        QSKIP("The writer did not convert the sample.");

    QTextDocument doc;
    QString error;
    QVERIFY2(RtfReader::readFile(dir.filePath(output), &doc, &error), qPrintable(error));
    QCOMPARE(visibleLines(doc), kSampleLines);
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
    QVERIFY(lines.contains(QStringLiteral("\u2022\tFile: Exit.")));
    QVERIFY(doc.toPlainText().contains(QStringLiteral("data.enc")));
    const QTextCursor link = doc.find(QStringLiteral("www.drummet.example"), doc.characterCount(),
                                      QTextDocument::FindBackward);
    QVERIFY(!link.isNull());
    QCOMPARE(link.charFormat().anchorHref(), QStringLiteral("http://www.drummet.example"));
}

void TestRtfReader::robustness_data()
{
    QTest::addColumn<QByteArray>("rtf");

    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 {{{{\\b a");
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}}} b}");
    QTest::newRow("deep nesting") << "{\\rtf1 " + repeated("{\\b ", 200000) + "x";
    QTest::newRow("deep nesting closed")
        << "{\\rtf1 " + repeated("{", 300000) + "x" + repeated("}", 300000) + "}";
    QTest::newRow("deep skipped nesting") << "{\\rtf1{\\*\\x" + repeated("{", 300000);
    QTest::newRow("bin past the end") << QByteArray("{\\rtf1 {\\pict\\bin999999999999 abc}}");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 \\bin-5 abc}");
    QTest::newRow("bin at the end") << QByteArray("{\\rtf1 \\bin");
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 \\'4");
    QTest::newRow("bare hex") << QByteArray("{\\rtf1 \\'");
    QTest::newRow("bare backslash") << QByteArray("{\\rtf1 \\");
    QTest::newRow("star at the end") << QByteArray("{\\rtf1 \\*");
    QTest::newRow("huge numbers") << QByteArray(
        "{\\rtf1 \\fs99999999999999999999999 \\li-999999999999999 \\cf99999999999"
        " \\f-99999999 \\u99999999999 \\sl-99999999 \\tx99999999 \\outlinelevel-4"
        " \\deftab-1 \\cellx-5 x}");
    QTest::newRow("huge uc") << "{\\rtf1 \\uc2147483647 \\u8364 " + repeated("a", 100000) + "}";
    QTest::newRow("long word") << "{\\rtf1 \\" + repeated("a", 200000) + "123 x}";
    QTest::newRow("long number") << "{\\rtf1 \\fs" + repeated("9", 200000) + " x}";
    QTest::newRow("many cells") << "{\\rtf1 " + repeated("x\\cell ", 4000) + "}";
    QTest::newRow("many rows") << "{\\rtf1 "
            + repeated("\\trowd\\cellx9\\cellx99\\intbl a\\cell b\\cell\\row ", 1500) + "}";
    QTest::newRow("rows without cells") << "{\\rtf1 " + repeated("\\row\\intbl\\row", 20000) + "}";
    QTest::newRow("many tabs") << "{\\rtf1 " + repeated("\\tx720", 100000) + "\\fi-5\\li9 x\\par}";
    QTest::newRow("font table flood")
        << "{\\rtf1{\\fonttbl" + repeated("\\f1\\fcharset2 a;", 50000) + "}\\f1 \\'b7}";
    QTest::newRow("colour table flood")
        << "{\\rtf1{\\colortbl" + repeated(";\\red300", 50000) + "}\\cf49999 x}";
    QTest::newRow("long field instruction")
        << "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"" + repeated("a", 200000) + "}{\\fldrslt x}}}";
    QTest::newRow("list markers") << "{\\rtf1 " + repeated("{\\listtext\\pard x}", 50000) + "}";
    QTest::newRow("lone surrogates") << "{\\rtf1 " + repeated("\\u-10179?", 50000) + "}";
    QTest::newRow("frame characters") << QByteArray("{\\rtf1 a\\u64976?\\u64977?\\u8233?b}");

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

QTEST_MAIN(TestRtfReader)
#include "tst_RtfReader.moc"
