#include "tables/resulttableform.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>

#include "platform/childhost.h"
#include "platform/fonts.h"
#include "platform/prompter.h"
#include "platform/windowframe.h"
#include "tables/tableexport.h"

namespace {

struct KindTexts {
    const char* objectName;
    QString caption;
    QStringList columnLabels;
    QString resultLabel;
    QString totalLabel;
    QString totalButton;
    QString defaultPath;
    // The field starts of a typical parameter line place the column labels over the fields.
    std::string sampleLine;
};

const KindTexts& textsOf(TableKind kind) {
    static const KindTexts friction{
        "table1",
        QStringLiteral("沿程阻力数据表"),
        {QStringLiteral("直径D"), QStringLiteral("长度L"), QStringLiteral("水温t"),
         QStringLiteral("流量G"), QStringLiteral("粗糙度k"), QStringLiteral("水流速度v")},
        QStringLiteral("沿程阻力计算结果（Pa）"),
        QStringLiteral("水管总沿程阻力="),
        QStringLiteral("求总沿程阻力"),
        QStringLiteral("E:\\工程名(沿程阻力).xls"),
        frictionRow("50", "1000", "45", "1", "0.2", "0.14", "0")->parameterLine};
    static const KindTexts local{
        "table2",
        QStringLiteral("局部阻力数据表"),
        {QStringLiteral("局部阻力系数ζ"), QStringLiteral("水温t"), QStringLiteral("水流速度v")},
        QStringLiteral("局部阻力计算结果（Pa）"),
        QStringLiteral("水管总局部阻力="),
        QStringLiteral("求总局部阻力"),
        QStringLiteral("E:\\工程名(局部阻力).xls"),
        localRow("1.0", "1.2", "50", "0")->parameterLine};
    return kind == TableKind::Friction ? friction : local;
}

const QString UnitText = QStringLiteral("Pa");
const QString PathLabel = QStringLiteral("文件保存路径为：");
const QString DeleteText = QStringLiteral("删除");
const QString SaveText = QStringLiteral("保存");
const QString ExitText = QStringLiteral("退出");
const QString CloseQuestion = QStringLiteral("表格中的数据还没有保存，确定要关闭吗？");
const QString CloseTitle = QStringLiteral("警告！！！");

// Where a field of the sample line starts: after each run of blanks that follows a unit.
QList<int> fieldStarts(const QString& line, int fields) {
    QList<int> starts;
    int i = 0;
    while (i < line.size() && line[i] == QLatin1Char(' ')) ++i;
    starts << i;
    while (starts.size() < fields && i < line.size()) {
        while (i < line.size() && line[i] != QLatin1Char(' ')) ++i;
        while (i < line.size() && line[i] == QLatin1Char(' ')) ++i;
        starts << i;
    }
    return starts;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setAlignment(alignment);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int top) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(680, top, 110, 40);
    return b;
}

}  // namespace

ResultTableForm::ResultTableForm(ChildHost& host, TableKind kind, QWidget* parent)
    : QWidget(parent), host_(host), kind_(kind) {
    const KindTexts& texts = textsOf(kind);
    setObjectName(QString::fromLatin1(texts.objectName));
    setWindowTitle(texts.caption);
    setDialogFrame(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont(SongFace, 10));
    buildControls();
}

void ResultTableForm::buildControls() {
    const KindTexts& texts = textsOf(kind_);
    setFixedSize(804, 372);

    // The parameter lines line up their fields in a face whose digits and blanks are all of
    // one width, as 宋体 has them; the CJK mono face is the one installed that does.
    QFont listFont(SongFace);
    listFont.setPointSizeF(10.5);
    listFont.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), SongFace});

    parameterList_ = new QListWidget(this);
    parameterList_->setObjectName(QStringLiteral("List2"));
    parameterList_->setGeometry(10, 34, 500, 256);
    resultList_ = new QListWidget(this);
    resultList_->setObjectName(QStringLiteral("List1"));
    resultList_->setGeometry(510, 34, 160, 256);
    resultList_->setSelectionMode(QAbstractItemView::MultiSelection);
    for (QListWidget* list : {parameterList_, resultList_}) {
        list->setFont(listFont);
        list->setUniformItemSizes(true);
        // Both always show a horizontal bar, so that their rows have the same room and row i
        // of one stays beside row i of the other.
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    }
    // The two columns scroll as one.
    connect(parameterList_->verticalScrollBar(), &QScrollBar::valueChanged,
            resultList_->verticalScrollBar(), &QScrollBar::setValue);
    connect(resultList_->verticalScrollBar(), &QScrollBar::valueChanged,
            parameterList_->verticalScrollBar(), &QScrollBar::setValue);

    placeColumnLabels(texts.columnLabels, texts.sampleLine);
    label(this, texts.resultLabel, QRect(510, 10, 160, 22));

    label(this, texts.totalLabel, QRect(350, 298, 158, 24), Qt::AlignRight | Qt::AlignVCenter);
    totalBox_ = new QLineEdit(QStringLiteral("0"), this);
    totalBox_->setObjectName(QStringLiteral("Text1"));
    totalBox_->setGeometry(510, 298, 128, 24);
    label(this, UnitText, QRect(642, 298, 28, 24));

    label(this, PathLabel, QRect(10, 336, 130, 24));
    pathBox_ = new QLineEdit(texts.defaultPath, this);
    pathBox_->setObjectName(QStringLiteral("Text2"));
    pathBox_->setGeometry(140, 336, 530, 24);

    QPushButton* totalButton = button(this, "Command4", texts.totalButton, 34);
    QPushButton* deleteButton = button(this, "Command1", DeleteText, 88);
    QPushButton* saveButton = button(this, "Command2", SaveText, 142);
    QPushButton* exitButton = button(this, "Command3", ExitText, 196);
    connect(totalButton, &QPushButton::clicked, this, &ResultTableForm::total);
    connect(deleteButton, &QPushButton::clicked, this, &ResultTableForm::deleteRows);
    connect(saveButton, &QPushButton::clicked, this, &ResultTableForm::save);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);
}

void ResultTableForm::placeColumnLabels(const QStringList& labels, const std::string& sampleLine) {
    const QString line = QString::fromStdString(sampleLine);
    const QFontMetrics metrics(parameterList_->font());
    // Text starts inside the list's frame and the item's margin.
    const int textLeft = parameterList_->x() + parameterList_->frameWidth() + 3;
    const QList<int> starts = fieldStarts(line, int(labels.size()));
    for (int i = 0; i < labels.size(); ++i) {
        const int x = textLeft + metrics.horizontalAdvance(line.left(starts.value(i)));
        QLabel* l = label(this, labels[i], QRect(x, 10, 90, 22));
        l->setObjectName(QStringLiteral("ColumnLabel%1").arg(i + 1));
    }
}

int ResultTableForm::rowCount() const { return resultList_->count(); }

void ResultTableForm::record(const ResultRowTexts& row) {
    parameterList_->addItem(QString::fromStdString(row.parameterLine));
    resultList_->addItem(QString::fromStdString(row.resultText));
    unsaved_ = true;
}

void ResultTableForm::deleteRows() {
    const int rows = rowCount();
    const auto remove = [this](int index) {
        delete parameterList_->takeItem(index);
        delete resultList_->takeItem(index);
        unsaved_ = true;
    };
    const QList<QListWidgetItem*> selected = resultList_->selectedItems();
    if (selected.size() == 1) {
        remove(resultList_->row(selected.first()));
    } else if (rows > 1) {
        for (int i = rows - 1; i >= 0; --i)
            if (resultList_->item(i)->isSelected()) remove(i);
    }
}

void ResultTableForm::total() {
    std::vector<std::string> results;
    results.reserve(rowCount());
    for (int i = 0; i < rowCount(); ++i)
        results.push_back(resultList_->item(i)->text().toStdString());
    totalBox_->setText(QString::fromStdString(tableTotal(results)));
}

void ResultTableForm::save() {
    std::vector<ResultRowTexts> rows;
    rows.reserve(rowCount());
    for (int i = 0; i < rowCount(); ++i)
        rows.push_back({parameterList_->item(i)->text().toStdString(),
                        resultList_->item(i)->text().toStdString()});
    const std::optional<QString> saved =
        exportTable(host_.prompter(), kind_, rows, totalBox_->text(), pathBox_->text());
    if (!saved) return;
    pathBox_->setText(*saved);
    unsaved_ = false;
}

void ResultTableForm::closeEvent(QCloseEvent* event) {
    if (unsaved_ && rowCount() > 0 &&
        host_.prompter().ask(CloseQuestion, CloseTitle, PromptButtons::YesNo) !=
            PromptAnswer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
}
