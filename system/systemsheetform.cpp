#include "system/systemsheetform.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QScrollArea>
#include <QSplitter>
#include <QSqlError>
#include <QSqlQuery>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include "core/numbertext.h"
#include "hydraulics/systemtexts.h"
#include "hydraulics/systemworkbook.h"
#include "platform/childhost.h"
#include "platform/prompter.h"
#include "platform/workbookmodule.h"
#include "reference/referencedatabase.h"
#include "reference/referencefiles.h"
#include "system/fittingchoices.h"
#include "system/pickers.h"
#include "system/projectfiles.h"
#include "system/sectiontablemodel.h"
#include "system/settingspanel.h"
#include "system/sheetview.h"
#include "system/systemreport.h"
#include "tables/tableexport.h"

namespace {

const QString Caption = QStringLiteral("水系统水力计算 - %1%2");
const QString Untitled = QStringLiteral("未命名");

const QString NewText = QStringLiteral("新建");
const QString OpenText = QStringLiteral("打开");
const QString SaveText = QStringLiteral("保存");
const QString SaveAsText = QStringLiteral("另存为");
const QString WorkbookText = QStringLiteral("导出工作簿");
const QString ReportText = QStringLiteral("导出计算书");
const QString PrintText = QStringLiteral("打印");
const QString UndoText = QStringLiteral("撤销");
const QString RedoText = QStringLiteral("重做");

const QString ProjectFilter = QStringLiteral("水力计算项目 (*.qvs)|*.qvs");
const QString ProjectSuffix = QStringLiteral("qvs");
const QString WorkbookFilter =
    QStringLiteral("Excel 工作簿 (*.xlsx)|*.xlsx|Excel 97-2003 工作簿 (*.xls)|*.xls");
const QString WorkbookSuffix = QStringLiteral("xlsx");
const QString ReportFilter = QStringLiteral("PDF 文件 (*.pdf)|*.pdf");
const QString ReportSuffix = QStringLiteral("pdf");

const QString CloseQuestion = QStringLiteral("水力计算表已修改，是否保存？");
const QString CloseTitle = QStringLiteral("保存");
const QString ReplaceQuestion = QStringLiteral("文件“%1”已存在，要替换它吗？");
const QString CannotOpen = QStringLiteral("无法打开文件“%1”：\n%2");
const QString CannotSave = QStringLiteral("无法保存文件“%1”：\n%2");
const QString RecoveryTitle = QStringLiteral("恢复");
const QString RecoveryQuestion = QStringLiteral(
    "上次的水力计算表有未保存的修改（%1 的恢复副本）。\n要恢复它吗？选“否”将删除该副本。");
const QString RecoveryOf = QStringLiteral("“%1”");
const QString CannotRecover = QStringLiteral("无法恢复水力计算表：\n%1");
const QString CannotWriteRecovery = QStringLiteral("无法写入恢复副本“%1”：\n%2");
const QString EquipmentFailure = QStringLiteral("无法读取数据库文件“%1”中的设备阻力损失：%2。");
const QString SettingRefused = QStringLiteral("“%1”中的“%2”不是有效的数字。");
const QString PromptTitle = QStringLiteral("提示");
const QString EquipmentQuery =
    QStringLiteral("select 设备名称,阻力值（kPa）,备注 from 设备阻力损失 Order by 序号");

// Summary texts.
const QString SummaryPump = QStringLiteral("水泵流量 G = %1 m³/h");
const QString SummaryHead = QStringLiteral("水泵扬程 H = %1 kPa（%2 m）");
const QString SummaryCritical = QStringLiteral("最不利环路：%1（%2 Pa）");
const QString SummaryIncomplete = QStringLiteral("有管段未能计算，扬程不完整。");
const QString SummaryBalanced = QStringLiteral("并联环路均在不平衡率限值之内。");
const QString SummaryUnbalanced = QStringLiteral("不平衡的并联支路：");
const QString SummaryBranch = QStringLiteral(
    "<tr><td>%1</td><td>%2</td><td align=right>%3%</td><td align=right>%4</td>"
    "<td align=right>%5</td></tr>");
const QString SummaryBranchHeader = QStringLiteral(
    "<tr><th>分支点</th><th>支路</th><th>不平衡率</th><th>阀门压降 Pa</th><th>Kv</th></tr>");
const QString SummaryMoreBranches = QStringLiteral("……另有 %1 条，见计算书或工作簿。");
const QString Plant = QStringLiteral("冷热源");
// Branches the summary lists; a large system's full list belongs in the report, and a table
// of thousands of rows would take the summary seconds to lay out after every edit.
constexpr std::size_t SummaryBranches = 12;
const QString PathSeparator = QStringLiteral(" → ");

// The recovery copy is written this often while the project has unsaved changes, ms.
constexpr int RecoveryInterval = 60'000;
// Share of the main window's client area a new sheet takes.
constexpr double DefaultShare = 0.9;

QString figure(double value, int decimals) {
    return QString::fromStdString(numbertext::fixedText(numbertext::generalText(value), decimals));
}

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// A path from a save dialog with the ending of its file type when it has none.
QString withSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

}  // namespace

SystemSheetForm::SystemSheetForm(ChildHost& host, QWidget* parent)
    : QWidget(parent),
      host_(host),
      catalog_(hydraulics::shippedCatalog()),
      recovery_(referenceDataFolder()) {
    setObjectName(QStringLiteral("Form_水系统水力计算"));
    setAttribute(Qt::WA_DeleteOnClose);

    undoStack_ = new QUndoStack(this);
    undoStack_->setObjectName(QStringLiteral("undoStack"));
    model_ = new SectionTableModel(catalog_, *undoStack_, this);
    model_->setObjectName(QStringLiteral("sectionModel"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    buildToolBar(layout);

    // The grid above, the settings and the summary side by side below it.
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("sheetSplitter"));
    view_ = new SheetView(model_, splitter);
    view_->setObjectName(QStringLiteral("sheetGrid"));
    auto* below = new QSplitter(Qt::Horizontal, splitter);
    below->setObjectName(QStringLiteral("belowSplitter"));
    // In a window narrower than the settings they scroll rather than cut their labels.
    auto* settingsScroll = new QScrollArea(below);
    settingsScroll->setObjectName(QStringLiteral("settingsScroll"));
    settingsScroll->setFrameShape(QFrame::NoFrame);
    settingsScroll->setWidgetResizable(true);
    settings_ = new SettingsPanel(catalog_, settingsScroll);
    settingsScroll->setWidget(settings_);
    summary_ = new QTextBrowser(below);
    summary_->setObjectName(QStringLiteral("summaryPanel"));
    summary_->setOpenLinks(false);
    below->addWidget(settingsScroll);
    below->addWidget(summary_);
    below->setStretchFactor(0, 0);
    below->setStretchFactor(1, 1);
    splitter->addWidget(view_);
    splitter->addWidget(below);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setCollapsible(0, false);
    layout->addWidget(splitter, 1);

    connect(view_, &SheetView::fittingsRequested, this, &SystemSheetForm::pickFittings);
    connect(view_, &SheetView::equipmentRequested, this, &SystemSheetForm::pickEquipment);
    connect(settings_, &SettingsPanel::edited, model_, &SectionTableModel::changeSettings);
    connect(settings_, &SettingsPanel::refused, this,
            [this](const QString& label, const QString& text) {
                host_.prompter().ask(SettingRefused.arg(label, text), PromptTitle,
                                     PromptButtons::Ok);
            });
    connect(model_, &SectionTableModel::recomputed, this, [this] {
        settings_->showSettings(model_->settings());
        showSummary();
    });
    connect(undoStack_, &QUndoStack::cleanChanged, this, &SystemSheetForm::updateCaption);

    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setObjectName(QStringLiteral("recoveryTimer"));
    recoveryTimer_->setInterval(RecoveryInterval);
    connect(recoveryTimer_, &QTimer::timeout, this, &SystemSheetForm::writeRecovery);
    recoveryTimer_->start();

    settings_->showSettings(model_->settings());
    showSummary();
    updateCaption();
    view_->resizeColumnsToContents();
    resize(1100, 640);
}

SystemSheetForm::~SystemSheetForm() = default;

void SystemSheetForm::buildToolBar(QVBoxLayout* layout) {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("sheetToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [&](const char* name, const QString& text, auto slot,
                         const QList<QKeySequence>& keys = {}) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        bar->addAction(action);
        return action;
    };
    add("sheetNew", NewText, &SystemSheetForm::newProject);
    add("sheetOpen", OpenText, &SystemSheetForm::openProject);
    add("sheetSave", SaveText, &SystemSheetForm::saveProject, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    add("sheetSaveAs", SaveAsText, &SystemSheetForm::saveProjectAs);
    bar->addSeparator();
    add("sheetExportWorkbook", WorkbookText, &SystemSheetForm::exportWorkbook);
    add("sheetExportReport", ReportText, &SystemSheetForm::exportReport);
    add("sheetPrint", PrintText, [this] {
        QPrinter printer(QPrinter::HighResolution);
        printReport(printer);
    });
    bar->addSeparator();
    QAction* undo = add("sheetUndo", UndoText, [this] { undoStack_->undo(); },
                        {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    QAction* redo =
        add("sheetRedo", RedoText, [this] { undoStack_->redo(); },
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(undoStack_, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(undoStack_, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    layout->addWidget(bar);
}

void SystemSheetForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    // The settings take the room they need below the grid, the summary what is left beside
    // them; a larger window gives the grid more rows.
    auto* splitter = findChild<QSplitter*>(QStringLiteral("sheetSplitter"));
    const QSize settingsSize =
        settings_->sizeHint() + QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                                      style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    splitter->setSizes({QWIDGETSIZE_MAX, settingsSize.height()});
    auto* below = findChild<QSplitter*>(QStringLiteral("belowSplitter"));
    below->setSizes({settingsSize.width(), QWIDGETSIZE_MAX});
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame || !frame->mdiArea()) return;
    const QSize share = frame->mdiArea()->viewport()->size() * DefaultShare;
    // A main window too small for the settings beside a summary and a few rows of the grid
    // gets the sheet over its whole area.
    if (share.width() < settingsSize.width() * 3 / 2 || share.height() < settingsSize.height() * 2)
        frame->showMaximized();
    else
        frame->resize(share);
}

bool SystemSheetForm::isModified() const { return !undoStack_->isClean(); }

void SystemSheetForm::updateCaption() {
    const QString name = filePath_.isEmpty() ? Untitled : QFileInfo(filePath_).fileName();
    setWindowTitle(Caption.arg(name, isModified() ? QStringLiteral("*") : QString()));
}

hydraulics::Project SystemSheetForm::project() const {
    return {title_, model_->settings(), model_->filledSections()};
}

void SystemSheetForm::adopt(const hydraulics::Project& project, const QString& path) {
    title_ = project.title;
    model_->reset(project.settings, project.sections);
    undoStack_->clear();
    filePath_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    updateCaption();
    view_->resizeColumnsToContents();
}

bool SystemSheetForm::maySetProjectAside() {
    if (!isModified()) return true;
    switch (host_.prompter().ask(CloseQuestion, CloseTitle, PromptButtons::YesNoCancel)) {
        case PromptAnswer::Yes:
            return saveProject();
        case PromptAnswer::No:
            return true;
        default:
            return false;
    }
}

void SystemSheetForm::closeEvent(QCloseEvent* event) {
    if (!maySetProjectAside()) {
        event->ignore();
        return;
    }
    // Saved or declined: nothing is left to recover.
    recoveryTimer_->stop();
    recovery_.remove();
    event->accept();
}

void SystemSheetForm::newProject() {
    if (!maySetProjectAside()) return;
    recovery_.remove();
    adopt(hydraulics::Project{}, QString());
}

void SystemSheetForm::openProject() {
    if (!maySetProjectAside()) return;
    const QString path = host_.prompter().openFileName(OpenText, ProjectFilter);
    if (path.isEmpty()) return;
    openPath(path);
}

bool SystemSheetForm::openPath(const QString& path) {
    const std::optional<hydraulics::Project> read = readProject(path, OpenText);
    if (!read) return false;
    recovery_.remove();
    adopt(*read, path);
    return true;
}

std::optional<hydraulics::Project> SystemSheetForm::readProject(const QString& path,
                                                                const QString& title) {
    hydraulics::Project project;
    const Outcome read = readProjectFile(path, project);
    if (read.ok()) return project;
    host_.prompter().ask(CannotOpen.arg(shown(path), read.reason()), title, PromptButtons::Ok);
    return std::nullopt;
}

bool SystemSheetForm::saveProject() {
    if (filePath_.isEmpty()) return saveProjectAs();
    return writeProject(filePath_);
}

bool SystemSheetForm::saveProjectAs() {
    const QString start = filePath_.isEmpty() ? QString() : filePath_;
    const QString chosen = host_.prompter().saveFileName(SaveAsText, ProjectFilter, start);
    if (chosen.isEmpty()) return false;
    const QString path = withSuffix(chosen, ProjectSuffix);
    const QFileInfo info(path);
    if (info.exists() && !info.isDir() && QFileInfo(path).absoluteFilePath() != filePath_ &&
        host_.prompter().ask(ReplaceQuestion.arg(shown(path)), SaveAsText, PromptButtons::YesNo) !=
            PromptAnswer::Yes)
        return false;
    return writeProject(path);
}

bool SystemSheetForm::writeProject(const QString& path) {
    const Outcome written = writeProjectFile(path, project());
    if (!written.ok()) {
        host_.prompter().ask(CannotSave.arg(shown(path), written.reason()), SaveText,
                             PromptButtons::Ok);
        return false;
    }
    filePath_ = QFileInfo(path).absoluteFilePath();
    undoStack_->setClean();
    recovery_.remove();
    updateCaption();
    return true;
}

void SystemSheetForm::writeRecovery() {
    // Changes undone back to the saved state leave nothing to recover; an older copy would
    // bring them back.
    if (!isModified()) {
        recovery_.remove();
        return;
    }
    const std::string bytes = hydraulics::writeProject(project());
    const Outcome written = recovery_.write(QByteArray::fromStdString(bytes), filePath_);
    // Said once a run: a full disk would otherwise bring the same message every minute.
    if (written.ok() || recoveryFailureTold_) return;
    recoveryFailureTold_ = true;
    host_.prompter().ask(CannotWriteRecovery.arg(shown(recovery_.projectPath()), written.reason()),
                         PromptTitle, PromptButtons::Ok);
}

void SystemSheetForm::offerRecovery(ChildHost& host) {
    if (!RecoveryCopy(referenceDataFolder()).exists()) return;
    host.showChild<SystemSheetForm>()->restoreRecovery();
}

void SystemSheetForm::restoreRecovery() {
    if (!recovery_.exists()) return;
    const QString source = recovery_.sourcePath();
    const QString when =
        QLocale::c().toString(recovery_.written(), QStringLiteral("yyyy-MM-dd HH:mm"));
    const QString of =
        source.isEmpty() ? when : RecoveryOf.arg(shown(source)) + QLatin1Char(' ') + when;
    if (host_.prompter().ask(RecoveryQuestion.arg(of), RecoveryTitle, PromptButtons::YesNo) !=
        PromptAnswer::Yes) {
        recovery_.remove();
        return;
    }
    if (!maySetProjectAside()) return;
    const std::optional<hydraulics::Project> read =
        readProject(recovery_.projectPath(), RecoveryTitle);
    if (!read) {
        recovery_.remove();
        return;
    }
    adopt(*read, source);
    // The restored project differs from its file, or has none: it is unsaved work.
    undoStack_->resetClean();
    updateCaption();
}

void SystemSheetForm::openProjectInSheet(ChildHost& host, const QString& path) {
    auto* sheet = host.showChild<SystemSheetForm>();
    if (!sheet->maySetProjectAside()) return;
    sheet->openPath(path);
}

void SystemSheetForm::exportWorkbook() {
    const QString start =
        filePath_.isEmpty()
            ? QString()
            : QFileInfo(filePath_).dir().filePath(QFileInfo(filePath_).completeBaseName() +
                                                  QStringLiteral(".xlsx"));
    const QString chosen = host_.prompter().saveFileName(WorkbookText, WorkbookFilter, start);
    if (chosen.isEmpty()) return;
    const QString path = withSuffix(chosen, WorkbookSuffix);
    const QFileInfo info(path);
    if (info.exists() && !info.isDir() &&
        host_.prompter().ask(ReplaceQuestion.arg(shown(path)), WorkbookText,
                             PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    const std::vector<hydraulics::SectionInput> sections = model_->filledSections();
    const std::vector<tablefiles::Cell> cells =
        hydraulics::systemWorkbookCells(sections, model_->settings(), model_->result());
    const WorkbookWriterLoad writer = loadWorkbookWriter();
    if (!writer.write) {
        host_.prompter().ask(CannotSave.arg(shown(path), writer.outcome.reason()), WorkbookText,
                             PromptButtons::Ok);
        return;
    }
    const tablefiles::WriteResult result =
        writer.write(QFile::encodeName(path).toStdString(), hydraulics::systemSheetName(), cells,
                     tablefiles::workbookFormatFor(path.toStdString()));
    if (!result.ok())
        host_.prompter().ask(exportFailureText(result, shown(path), sections.size()), WorkbookText,
                             PromptButtons::Ok);
}

QString SystemSheetForm::projectName() const {
    if (!title_.empty()) return QString::fromStdString(title_);
    return filePath_.isEmpty() ? Untitled : QFileInfo(filePath_).completeBaseName();
}

void SystemSheetForm::exportReport() {
    const QString start =
        filePath_.isEmpty() ? QString()
                            : QFileInfo(filePath_).dir().filePath(
                                  QFileInfo(filePath_).completeBaseName() + QStringLiteral(".pdf"));
    const QString chosen = host_.prompter().saveFileName(ReportText, ReportFilter, start);
    if (chosen.isEmpty()) return;
    const QString path = withSuffix(chosen, ReportSuffix);
    const QFileInfo info(path);
    if (info.exists() && !info.isDir() &&
        host_.prompter().ask(ReplaceQuestion.arg(shown(path)), ReportText, PromptButtons::YesNo) !=
            PromptAnswer::Yes)
        return;
    SystemReport report(projectName(), model_->settings(), model_->filledSections(),
                        model_->result(), catalog_);
    const Outcome outcome = report.writePdf(path);
    if (!outcome.ok())
        host_.prompter().ask(reportFailureText(outcome, path), ReportText, PromptButtons::Ok);
}

void SystemSheetForm::printReport(QPrinter& printer) {
    if (!host_.prompter().choosePrinter(printer, PrintText)) return;
    SystemReport report(projectName(), model_->settings(), model_->filledSections(),
                        model_->result(), catalog_);
    const Outcome outcome = report.print(printer);
    if (!outcome.ok())
        host_.prompter().ask(reportFailureText(outcome, printer.outputFileName()), PrintText,
                             PromptButtons::Ok);
}

void SystemSheetForm::cut() { view_->cutSelection(); }

void SystemSheetForm::copy() { view_->copySelection(); }

void SystemSheetForm::paste() { view_->pasteAtCurrent(); }

void SystemSheetForm::showSummary() {
    const hydraulics::SystemResult& r = model_->result();
    QString html;
    const auto line = [&](const QString& text) {
        html += QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>");
    };
    line(SummaryPump.arg(figure(r.pumpFlow, 2)));
    line(SummaryHead.arg(figure(r.headKPa, 1), figure(r.headM, 2)));
    if (!r.criticalPath.empty()) {
        QStringList ids{Plant};
        for (const std::string& id : r.criticalPath) ids.append(QString::fromStdString(id));
        line(SummaryCritical.arg(ids.join(PathSeparator), figure(r.criticalPa, 0)));
    }
    if (r.settingsError)
        line(QString::fromStdString(hydraulics::errorText(*r.settingsError)));
    else if (!r.complete && !r.sections.empty())
        line(SummaryIncomplete);
    if (r.unbalanced.empty()) {
        if (!r.criticalPath.empty()) line(SummaryBalanced);
    } else {
        line(SummaryUnbalanced);
        html +=
            QStringLiteral("<table border=1 cellspacing=0 cellpadding=2>") + SummaryBranchHeader;
        const std::size_t listed = std::min(r.unbalanced.size(), SummaryBranches);
        for (std::size_t i = 0; i < listed; ++i) {
            const hydraulics::UnbalancedBranch& b = r.unbalanced[i];
            html += SummaryBranch.arg(b.branchPoint.empty()
                                          ? Plant
                                          : QString::fromStdString(b.branchPoint).toHtmlEscaped(),
                                      QString::fromStdString(b.branchId).toHtmlEscaped(),
                                      figure(b.percent, 1), figure(b.extraPa, 0), figure(b.kv, 2));
        }
        html += QStringLiteral("</table>");
        if (listed < r.unbalanced.size())
            line(SummaryMoreBranches.arg(r.unbalanced.size() - listed));
    }
    summary_->setHtml(html);
}

void SystemSheetForm::pickFittings(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    const hydraulics::SectionResult* result = model_->resultOf(row);
    const double dn = result && result->ok() && result->size ? *result->size : 0;
    QList<PickedFitting> current;
    if (row < int(model_->sections().size()))
        for (const hydraulics::FittingCount& f : model_->sections()[std::size_t(row)].fittings)
            current.append(
                {QString::fromStdString(f.name), f.count, QString::fromStdString(f.zetaEach)});
    auto* picker = new FittingPicker(fittingChoices(dn), current, this);
    connect(picker, &FittingPicker::chosen, this, [this, row](const QList<PickedFitting>& picked) {
        std::vector<hydraulics::FittingCount> fittings;
        for (const PickedFitting& p : picked)
            fittings.push_back({p.name.toStdString(), p.count, p.zeta.toStdString()});
        const std::optional<std::string> sum = hydraulics::fittingsZetaText(fittings);
        model_->setSectionFittings(
            row, fittings,
            fittings.empty() ? QString() : QString::fromStdString(sum.value_or(std::string())));
    });
    picker->open();
}

void SystemSheetForm::pickEquipment(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    QList<EquipmentEntry> entries;
    {
        ReferenceDatabase database(equipmentDatabaseFile(), ReferenceDatabase::Access::ReadOnly);
        if (!database.isOpen()) {
            host_.prompter().ask(database.outcome().reason(), PromptTitle, PromptButtons::Ok);
            return;
        }
        QSqlQuery query(database.connection());
        query.setForwardOnly(true);
        if (query.exec(EquipmentQuery))
            while (query.next())
                entries.append({query.value(0).toString(), query.value(1).toString(),
                                query.value(2).toString()});
        if (query.lastError().isValid()) {
            host_.prompter().ask(EquipmentFailure.arg(shown(database.filePath()),
                                                      sqlFailureReason(query.lastError())),
                                 PromptTitle, PromptButtons::Ok);
            return;
        }
    }
    auto* picker = new EquipmentPicker(entries, this);
    connect(picker, &EquipmentPicker::chosen, this, [this, row](const EquipmentEntry& entry) {
        model_->setSectionEquipment(row, entry.name, upperLossText(entry.loss));
    });
    picker->open();
}
