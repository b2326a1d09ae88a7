// Time of the notebook's RTF codec on files of about 2 MB: reading must stay linear in the
// file size, also when the formatting changes every few characters.

#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>

#include "notebook/notebookfile.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

namespace {

// Paragraphs of Chinese and Latin text with a few runs each, as a long notebook has.
QByteArray notebookRtf(int paragraphs) {
    QByteArray rtf =
        R"({\rtf1\ansi\ansicpg936{\fonttbl{\f0 Arial;}{\f1\fcharset134 \'cb\'ce\'cc\'e5;}})";
    for (int i = 0; i < paragraphs; ++i) {
        rtf += "\\pard\\qc Line " + QByteArray::number(i) +
               R"( {\b\f1 \uc2\u31354\'bf\'d5\u-29693\'b5\'f7} plain text of the paragraph,)"
               R"( 0123456789 {\i italic} and more\par)"
               "\n";
    }
    return rtf + "}";
}

// The worst case for the run list: the format changes every second character.
QByteArray choppyRtf(int groups) {
    QByteArray rtf = R"({\rtf1\ansi{\colortbl;\red255\green0\blue0;})";
    for (int i = 0; i < groups; ++i) {
        rtf += (i & 1) ? "{\\b ab}" : "{\\cf1 cd}";
        if (i % 40 == 39) rtf += "\\par\n";
    }
    return rtf + "}";
}

void readBench(benchmark::State& state, const QByteArray& rtf) {
    for (auto _ : state) {
        QTextDocument document;
        benchmark::DoNotOptimize(readRtf(rtf, document).ok());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

void BM_readNotebook2MB(benchmark::State& state) { readBench(state, notebookRtf(20000)); }
BENCHMARK(BM_readNotebook2MB)->Unit(benchmark::kMillisecond);

void BM_readNotebook4MB(benchmark::State& state) { readBench(state, notebookRtf(40000)); }
BENCHMARK(BM_readNotebook4MB)->Unit(benchmark::kMillisecond);

// An editor's document has a layout, which must not run after every insertion.
void BM_readNotebook2MBWithLayout(benchmark::State& state) {
    const QByteArray rtf = notebookRtf(20000);
    for (auto _ : state) {
        QTextDocument document;
        document.setTextWidth(600);
        document.documentLayout();
        benchmark::DoNotOptimize(readRtf(rtf, document).ok());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_readNotebook2MBWithLayout)->Unit(benchmark::kMillisecond);

// What the notebook's Open does: the file read into a new document, which an editor then lays
// out whole.
void BM_openNotebookFile2MBInEditor(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("note.rtf"));
    QFile file(path);
    const QByteArray rtf = notebookRtf(20000);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    file.close();
    QTextEdit editor;
    editor.resize(800, 600);
    for (auto _ : state) {
        auto* document = new QTextDocument(&editor);
        benchmark::DoNotOptimize(readNotebookFile(path, *document).ok());
        // The editor deletes only the document it made itself.
        const QPointer<QTextDocument> previous = editor.document();
        editor.setDocument(document);
        if (previous && previous->parent() == &editor) delete previous.data();
        benchmark::DoNotOptimize(document->documentLayout()->documentSize());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_openNotebookFile2MBInEditor)->Unit(benchmark::kMillisecond);

void BM_readChoppy2MB(benchmark::State& state) { readBench(state, choppyRtf(250000)); }
BENCHMARK(BM_readChoppy2MB)->Unit(benchmark::kMillisecond);

void BM_writeNotebook2MB(benchmark::State& state) {
    QTextDocument document;
    readRtf(notebookRtf(20000), document);
    for (auto _ : state) benchmark::DoNotOptimize(writeRtf(document));
}
BENCHMARK(BM_writeNotebook2MB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // QTextDocument needs a GUI application for its fonts, an editor a widget one; no window
    // is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
