#include "reference/equipmentlossform.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QResizeEvent>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <algorithm>
#include <optional>
#include <vector>

#include "core/numbertext.h"
#include "platform/childhost.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "reference/referencedatabase.h"
#include "reference/referencefiles.h"

namespace {

const QString Caption = QStringLiteral("设备阻力损失");
const QString CloseText = QStringLiteral("关闭(&C)");

// A row of the list and the number its 序号 reads as, if it reads as one: a table made by
// another tool may hold 序号 as text.
struct ListRow {
    std::optional<double> number;
    QStringList cells;
};

std::optional<double> numberOf(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    const int type = value.typeId();
    if (type == QMetaType::LongLong || type == QMetaType::Int || type == QMetaType::Double)
        return value.toDouble();
    const QByteArray text = value.toString().toUtf8();
    const numbertext::ParsedSingle parsed =
        numbertext::parseSingle(std::string_view(text.constData(), size_t(text.size())));
    return parsed.ok() ? std::optional<double>(*parsed.value) : std::nullopt;
}

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

    const ReferenceDatabaseFile file = equipmentDatabaseFile();
    const QStringList& headers = file.tables.first().requiredColumns;
    grid_ = new QTableWidget(0, int(headers.size()), this);
    grid_->setObjectName(QStringLiteral("MSHFlexGrid1"));
    grid_->setUpdatesEnabled(false);
    grid_->setHorizontalHeaderLabels(headers);
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

    const QString failure = loadRows(file);
    // A column's default width is that of its widest text, the bold header's included: the
    // equipment names are long, and a fixed width would cut them off.
    grid_->resizeColumnsToContents();
    grid_->setUpdatesEnabled(true);
    if (!failure.isEmpty()) host_.prompter().ask(failure, Caption, PromptButtons::Ok);
}

EquipmentLossForm::~EquipmentLossForm() = default;

QString EquipmentLossForm::loadRows(const ReferenceDatabaseFile& file) {
    database_ = std::make_unique<ReferenceDatabase>(file, ReferenceDatabase::Access::ReadOnly);
    if (!database_->isOpen()) return database_->outcome().reason();
    const ReferenceTable& table = file.tables.first();
    QStringList columns;
    for (const QString& column : table.requiredColumns) columns << quoted(column);
    QSqlQuery query(database_->connection());
    query.setForwardOnly(true);
    std::vector<ListRow> rows;
    // Every row is read at once, so that no statement holds the file while the list is open.
    // No ORDER BY: the rows not numbered by a number keep the table's order.
    if (query.exec(QStringLiteral("SELECT %1 FROM %2")
                       .arg(columns.join(QStringLiteral(", ")), quoted(table.name)))) {
        while (query.next()) {
            ListRow row{numberOf(query.value(0)), {}};
            for (int c = 0; c < columns.size(); ++c) row.cells << query.value(c).toString();
            rows.push_back(std::move(row));
        }
    }
    if (!query.lastError().isValid()) {
        std::stable_sort(rows.begin(), rows.end(), [](const ListRow& a, const ListRow& b) {
            if (!a.number || !b.number) return a.number.has_value() && !b.number.has_value();
            return *a.number < *b.number;
        });
        grid_->setRowCount(int(rows.size()));
        for (int r = 0; r < int(rows.size()); ++r) {
            for (int c = 0; c < columns.size(); ++c) {
                auto* item = new QTableWidgetItem(rows[size_t(r)].cells[c]);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setToolTip(item->text());
                grid_->setItem(r, c, item);
            }
        }
        return {};
    }
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
