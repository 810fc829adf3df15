// libFuzzer target for the help window's RTF reader: any input must read
// without a crash, a hang or a leak, and the document it makes must lay out.

#include "info/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

// Qt 6.4 loses fontconfig's fallback match patterns when it drops a font
// engine at exit (QFontEngineMultiFontConfig::getMatchPatternForFallback).
// That memory is fontconfig's, allocated deep inside it where the fast
// unwinder cannot see Qt's frames, so the library is named instead. Leaks
// from the reader itself still show, with its own frames.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Laying out text needs fonts, and fonts need a QGuiApplication; the
    // offscreen platform gives one without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtf_fuzz";
    static char *argv[] = {name, nullptr};
    // Never destroyed: libFuzzer ends the process with exit(), and tearing
    // Qt down from a static destructor then gains nothing.
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    Q_UNUSED(app);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // Qt trims its font cache from a timer, which needs the event loop to
    // run now and then.
    static unsigned runs = 0;
    if (++runs % 1024 == 0)
        QCoreApplication::processEvents();

    QTextDocument doc;
    QString error;
    if (RtfReader::read(rtf, &doc, &error)) {
        doc.setTextWidth(400);
        doc.documentLayout()->documentSize();
        doc.toPlainText();
    }
    return 0;
}
