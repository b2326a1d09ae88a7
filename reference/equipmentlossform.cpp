#include "reference/equipmentlossform.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QResizeEvent>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>

#include "platform/childhost.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "reference/referencedatabase.h"
#include "reference/referencefiles.h"

namespace {

const QString Caption = QStringLiteral("设备阻力损失");
const QString CloseText = QStringLiteral("关闭(&C)");
const QString Query =
    QStringLiteral("select 序号,设备名称,阻力值（kPa）,备注 from 设备阻力损失 Order by 序号");
const QStringList Headers{QStringLiteral("序号"), QStringLiteral("设备名称"),
                          QStringLiteral("阻力值（kPa）"), QStringLiteral("备注")};

// Twips.
constexpr double Margin = 60;
constexpr double ButtonWidth = 1215;  // a command button's usual size
constexpr double ButtonHeight = 375;
constexpr double FormWidth = 9600;
constexpr double FormHeight = 5400;

}  // namespace

EquipmentLossForm::EquipmentLossForm(ChildHost& host, QWidget* parent)
    : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("设备阻力"));
    setWindowTitle(Caption);
    setAttribute(Qt::WA_DeleteOnClose);

    // The data control: it holds the connection and shows nothing.
    auto* dataControl = new QObject(this);
    dataControl->setObjectName(QStringLiteral("datPrimaryRS"));

    grid_ = new QTableWidget(0, int(Headers.size()), this);
    grid_->setObjectName(QStringLiteral("MSHFlexGrid1"));
    grid_->setUpdatesEnabled(false);
    grid_->setHorizontalHeaderLabels(Headers);
    QHeaderView* header = grid_->horizontalHeader();
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    header->setHighlightSections(false);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setWordWrap(false);

    cmdClose_ = new QPushButton(CloseText, this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->resize(twipsToPixels(ButtonWidth, logicalDpiX()),
                      twipsToPixels(ButtonHeight, logicalDpiY()));
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);

    resize(twipsToPixels(FormWidth, logicalDpiX()), twipsToPixels(FormHeight, logicalDpiY()));
    fitControls();

    const QString failure = loadRows();
    // A column's default width is that of its widest text, the bold header's included: the
    // equipment names are long, and a fixed width would cut them off.
    grid_->resizeColumnsToContents();
    grid_->setUpdatesEnabled(true);
    if (!failure.isEmpty()) host_.prompter().ask(failure, Caption, PromptButtons::Ok);
}

EquipmentLossForm::~EquipmentLossForm() = default;

QString EquipmentLossForm::loadRows() {
    database_ = std::make_unique<ReferenceDatabase>(equipmentDatabaseFile(),
                                                    ReferenceDatabase::Access::ReadOnly);
    if (!database_->isOpen()) return database_->outcome().reason();
    QSqlQuery query(database_->connection());
    query.setForwardOnly(true);
    if (query.exec(Query)) {
        // Every row is read at once, so that no statement holds the file while the list is open.
        while (query.next()) {
            const int row = grid_->rowCount();
            grid_->insertRow(row);
            for (int c = 0; c < Headers.size(); ++c) {
                auto* item = new QTableWidgetItem(query.value(c).toString());
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setToolTip(item->text());
                grid_->setItem(row, c, item);
            }
        }
    }
    if (!query.lastError().isValid()) return {};
    grid_->setRowCount(0);
    return QStringLiteral("无法读取数据库文件“%1”中的设备阻力损失：%2。")
        .arg(QDir::toNativeSeparators(database_->filePath()), sqlFailureReason(query.lastError()));
}

void EquipmentLossForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitControls();
}

void EquipmentLossForm::fitControls() {
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const double w = pixelsToTwips(width(), dpiX);
    const double h = pixelsToTwips(height(), dpiY);
    const double buttonWidth = pixelsToTwips(cmdClose_->width(), dpiX);
    const double buttonHeight = pixelsToTwips(cmdClose_->height(), dpiY);
    cmdClose_->move(twipsToPixels(w - (buttonWidth + Margin), dpiX),
                    twipsToPixels(h - (buttonHeight + Margin), dpiY));
    // A window too small for the grid leaves it where it was, as a failed move would.
    const double gridWidth = w - 2 * Margin;
    const double gridHeight = (h - (buttonHeight + Margin)) - 2 * Margin;
    if (gridWidth < 0 || gridHeight < 0) return;
    grid_->setGeometry(twipsToPixels(Margin, dpiX), twipsToPixels(Margin, dpiY),
                       twipsToPixels(gridWidth, dpiX), twipsToPixels(gridHeight, dpiY));
}
