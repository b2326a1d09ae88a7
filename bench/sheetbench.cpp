// Time of the water-system sheet on a 2,000-section project: opened from its file and laid out,
// and one typed cell followed by the engine's recompute and the grid's repaint (target: under
// 50 ms, the pause a typist notices).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <random>

#include "hydraulics/projectfile.h"
#include "platform/childhost.h"
#include "platform/prompter.h"
#include "system/sectiontablemodel.h"
#include "system/sheetview.h"
#include "system/systemsheetform.h"

namespace {

// Nothing here asks the user anything; a question would be a fault of the benchmark.
class SilentPrompter : public Prompter {
  public:
    PromptAnswer ask(const QString& text, const QString&, PromptButtons) override {
        qFatal("unexpected question: %s", qPrintable(text));
    }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    bool choosePrinter(QPrinter&, const QString&) override { return false; }
    bool setupPrinter(QPrinter&, const QString&) override { return false; }
};

class NoTables : public ResultTables {
  public:
    void record(TableKind, const ResultRowTexts&) override {}
};

// The sheet as a top-level window of its own, as the tests' host shows it.
class BenchHost : public ChildHost {
  public:
    ~BenchHost() override { delete window_.data(); }
    void setCaptionPanelText(const QString&) override {}
    using ChildHost::showChild;
    QWidget* showChild(const QString&, const std::function<QWidget*()>& create) override {
        if (!window_) {
            window_ = create();
            window_->resize(1400, 900);
            window_->show();
        }
        return window_;
    }
    QWidget* activeChild() const override { return window_; }
    void activateChild(QWidget*) override {}
    Prompter& prompter() override { return prompter_; }
    ResultTables& resultTables() override { return tables_; }

  private:
    SilentPrompter prompter_;
    NoTables tables_;
    QPointer<QWidget> window_;
};

// A random tree: each section hangs below an earlier one, terminals carry a load, the others
// the sum of their branches.
hydraulics::Project randomProject(int count) {
    std::mt19937 random(20261207);
    std::vector<int> parent(std::size_t(count), -1);
    std::vector<bool> hasChild(std::size_t(count), false);
    for (int i = 1; i < count; ++i) {
        parent[std::size_t(i)] =
            std::uniform_int_distribution<int>(std::max(0, i - 40), i - 1)(random);
        hasChild[std::size_t(parent[std::size_t(i)])] = true;
    }
    hydraulics::Project project;
    for (int i = 0; i < count; ++i) {
        hydraulics::SectionInput s;
        s.id = "S" + std::to_string(i + 1);
        if (parent[std::size_t(i)] >= 0) s.up = "S" + std::to_string(parent[std::size_t(i)] + 1);
        s.L = std::to_string(std::uniform_int_distribution<int>(3, 40)(random));
        if (!hasChild[std::size_t(i)])
            s.Q = std::to_string(std::uniform_int_distribution<int>(3, 60)(random));
        s.zeta = std::to_string(std::uniform_int_distribution<int>(1, 8)(random));
        project.sections.push_back(std::move(s));
    }
    return project;
}

constexpr int Sections = 2000;

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("bench.qvs"));
    BenchHost host;
    Fixture() {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
        file.write(QByteArray::fromStdString(hydraulics::writeProject(randomProject(Sections))));
    }
};

void BM_OpenAndLayout(benchmark::State& state) {
    Fixture fixture;
    for (auto _ : state) {
        SystemSheetForm::openProjectInSheet(fixture.host, fixture.path);
        auto* sheet = static_cast<SystemSheetForm*>(fixture.host.activeChild());
        // Laid out and drawn once, as the user first sees it.
        sheet->repaint();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(sheet->findChild<SectionTableModel*>()->result().headKPa);
    }
    state.counters["sections"] = Sections;
}
BENCHMARK(BM_OpenAndLayout)->Unit(benchmark::kMillisecond);

void BM_EditRecomputeRepaint(benchmark::State& state) {
    Fixture fixture;
    SystemSheetForm::openProjectInSheet(fixture.host, fixture.path);
    auto* sheet = static_cast<SystemSheetForm*>(fixture.host.activeChild());
    auto* model = sheet->findChild<SectionTableModel*>();
    auto* grid = sheet->findChild<SheetView*>();
    sheet->repaint();
    // A terminal's load typed over, alternating so that every edit changes the figures.
    int row = 0;
    while (model->sections()[std::size_t(row)].Q.empty()) ++row;
    grid->scrollTo(model->index(row, 0));
    bool high = false;
    for (auto _ : state) {
        high = !high;
        model->setData(model->index(row, SectionTableModel::Load), high ? "99" : "12",
                       Qt::EditRole);
        grid->viewport()->repaint();
        sheet->repaint();
        benchmark::DoNotOptimize(model->result().headKPa);
    }
    state.counters["sections"] = Sections;
}
BENCHMARK(BM_EditRecomputeRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
