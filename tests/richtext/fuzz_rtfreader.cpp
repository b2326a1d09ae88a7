// Fuzz entry point of the RTF reader. Built with clang and libFuzzer by run_fuzz.sh, and with
// the normal compiler into richtext_test_rtfcorpus, which runs the test data through it.
//
// Besides not crashing, the reader must hand the writer a document that survives its own
// round trip: what one load and save writes, a second load and save writes again.

#include <QByteArray>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // QTextDocument needs the font machinery of a GUI application; it lives for the process,
    // held here so that the leak checker sees it as reachable.
    [[maybe_unused]] static QGuiApplication* application = nullptr;
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = new QGuiApplication(*argc, *argv);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray rtf =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument first;
    if (!readRtf(rtf, first).ok()) return 0;
    const QByteArray saved = writeRtf(first);
    QTextDocument second;
    if (!readRtf(saved, second).ok() || writeRtf(second) != saved ||
        second.toRawText() != first.toRawText()) {
        std::fprintf(stderr, "a loaded document does not survive a save and a load\n");
        std::abort();
    }

    // Paste into the middle of a paragraph, over a selection.
    QTextDocument target(QStringLiteral("甲乙丙\n丁"));
    QTextCursor cursor(&target);
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    insertRtf(rtf, cursor);
    return 0;
}
