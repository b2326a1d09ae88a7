#include "system/sectiontablemodel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QUndoCommand>
#include <QUndoStack>
#include <array>

#include "core/numbertext.h"
#include "hydraulics/systemtexts.h"
#include "screens/formparts.h"

using hydraulics::SectionInput;
using hydraulics::SectionResult;
using hydraulics::SystemSettings;

namespace {

// Header texts: the quantity, then its symbol and unit on a second line.
const std::array<QString, SectionTableModel::ColumnCount> Headers{
    QStringLiteral("编号"),          QStringLiteral("上游管段"),
    QStringLiteral("长度\nL m"),     QStringLiteral("负荷\nQ kW"),
    QStringLiteral("流量\nG m³/h"),  QStringLiteral("DN\n空=自动"),
    QStringLiteral("内径\nd mm"),    QStringLiteral("局部阻力\n系数 Σζ"),
    QStringLiteral("设备阻力\nkPa"), QStringLiteral("流量\nG m³/h"),
    QStringLiteral("DN\n选用"),      QStringLiteral("内径\nd mm"),
    QStringLiteral("流速\nv m/s"),   QStringLiteral("比摩阻\nR Pa/m"),
    QStringLiteral("沿程\nPy Pa"),   QStringLiteral("动压\nPd Pa"),
    QStringLiteral("局部\nPj Pa"),   QStringLiteral("管段阻力\nP Pa"),
    QStringLiteral("至管段末\nPa"),  QStringLiteral("说明"),
};

const QString AutomaticSize = QStringLiteral("自动");
const QString AutomaticMark = QStringLiteral("（自动）");
const QString FromLoad = QStringLiteral("由负荷 Q 求得");
const QString Summed = QStringLiteral("下游管段流量之和");
const QString CriticalTip = QStringLiteral("最不利环路上的管段");
const QString FittingsTip = QStringLiteral("管件与阀门：");
const QString EquipmentTip = QStringLiteral("设备：");
const QString Separator = QStringLiteral("；");

const QString EditStep = QStringLiteral("编辑");
const QString ClearStep = QStringLiteral("清除");
const QString PasteStep = QStringLiteral("粘贴");
const QString InsertStep = QStringLiteral("插入行");
const QString RemoveStep = QStringLiteral("删除行");
const QString FittingsStep = QStringLiteral("选择管件");
const QString EquipmentStep = QStringLiteral("选择设备");

// Faces of the grid: results on grey, rows with errors red, rows with notes amber, the critical
// loop's row numbers on blue.
const QColor ResultFace(0xee, 0xee, 0xee);
const QColor ErrorFace(0xf6, 0xc6, 0xc6);
const QColor ErrorText(0xa0, 0x00, 0x00);
const QColor NoteFace(0xff, 0xe0, 0x9e);
const QColor CriticalStripe(0x2f, 0x62, 0xc4);
const QColor PlaceholderText(0x80, 0x80, 0x80);

using Field = std::string SectionInput::*;
constexpr std::array<Field, SectionTableModel::Equipment + 1> InputFields{
    &SectionInput::id, &SectionInput::up,   &SectionInput::L,
    &SectionInput::Q,  &SectionInput::G,    &SectionInput::DN,
    &SectionInput::d,  &SectionInput::zeta, &SectionInput::equip};

// Decimals each result figure is shown with.
int decimalsOf(int column) {
    switch (column) {
        case SectionTableModel::ResultFlow:
        case SectionTableModel::Velocity:
            return 2;
        case SectionTableModel::ResultDiameter:
        case SectionTableModel::SpecificLoss:
            return 1;
        default:
            return 0;
    }
}

QString figure(double value, int decimals) {
    return QString::fromStdString(numbertext::fixedText(numbertext::generalText(value), decimals));
}

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

bool isBlank(const SectionInput& s) {
    for (const Field field : InputFields)
        if (!(s.*field).empty()) return false;
    return s.fittings.empty() && s.equipmentName.empty();
}

// Sets one input cell. Figures typed with a Chinese input method's full-width digits are kept
// in their ASCII forms, which is how the program reads them everywhere. An equipment loss typed
// by hand is no longer the listed entry's.
void setField(SectionInput& section, int column, const QString& typed) {
    const bool figure = column != SectionTableModel::Id && column != SectionTableModel::Upstream;
    const std::string text = (figure ? formparts::asciiNumberText(typed) : typed).toStdString();
    std::string& field = section.*InputFields[column];
    if (column == SectionTableModel::Equipment && field != text) section.equipmentName.clear();
    // Clearing Σζ takes the fittings it was summed from with it.
    if (column == SectionTableModel::Zeta && text.empty()) section.fittings.clear();
    field = text;
}

class ReplaceRowsCommand : public QUndoCommand {
  public:
    ReplaceRowsCommand(SectionTableModel& model, int row, std::vector<SectionInput> before,
                       std::vector<SectionInput> after, const QString& text)
        : QUndoCommand(text),
          model_(model),
          row_(row),
          before_(std::move(before)),
          after_(std::move(after)) {}
    void redo() override { model_.replaceRows(row_, int(before_.size()), after_); }
    void undo() override { model_.replaceRows(row_, int(after_.size()), before_); }

  private:
    SectionTableModel& model_;
    int row_;
    std::vector<SectionInput> before_;
    std::vector<SectionInput> after_;
};

class SettingsCommand : public QUndoCommand {
  public:
    SettingsCommand(SectionTableModel& model, SystemSettings before, SystemSettings after,
                    const QString& text)
        : QUndoCommand(text), model_(model), before_(std::move(before)), after_(std::move(after)) {}
    void redo() override { model_.applySettings(after_); }
    void undo() override { model_.applySettings(before_); }

  private:
    SectionTableModel& model_;
    SystemSettings before_;
    SystemSettings after_;
};

}  // namespace

SectionTableModel::SectionTableModel(const hydraulics::PipeCatalog& catalog, QUndoStack& undoStack,
                                     QObject* parent)
    : QAbstractTableModel(parent), catalog_(catalog), undoStack_(undoStack) {
    recompute();
}

int SectionTableModel::rowCount(const QModelIndex& parent) const {
    // One empty row past the last section, where the next one is typed.
    return parent.isValid() ? 0 : int(sections_.size()) + 1;
}

int SectionTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const SectionResult* SectionTableModel::resultOf(int row) const {
    if (row < 0 || row >= int(resultIndex_.size()) || resultIndex_[row] < 0) return nullptr;
    return &result_.sections[std::size_t(resultIndex_[row])];
}

QString SectionTableModel::cellText(const QModelIndex& index) const {
    if (isInput(index.column())) return data(index, Qt::EditRole).toString();
    return data(index, Qt::DisplayRole).toString();
}

QString SectionTableModel::remarks(int row) const {
    const SectionResult* result = resultOf(row);
    if (!result) return {};
    QStringList parts;
    for (const hydraulics::SectionError& error : result->errors)
        parts.append(fromStd(hydraulics::errorText(error)));
    for (const hydraulics::NoteKind note : result->notes)
        parts.append(fromStd(hydraulics::noteText(note)));
    return parts.join(Separator);
}

QString SectionTableModel::resultText(int row, int column) const {
    const SectionResult* r = resultOf(row);
    if (!r) return {};
    if (column == Remarks) return remarks(row);
    if (!r->ok()) return {};
    switch (column) {
        case ResultFlow:
            return figure(r->G, decimalsOf(column));
        case ResultSize:
            if (!r->size) return {};
            return fromStd(std::to_string(*r->size)) +
                   (r->sizeAutomatic ? AutomaticMark : QString());
        case ResultDiameter:
            return figure(r->d, decimalsOf(column));
        case Velocity:
            return figure(r->v, decimalsOf(column));
        case SpecificLoss:
            return figure(r->R, decimalsOf(column));
        case FrictionLoss:
            return figure(r->Py, decimalsOf(column));
        case VelocityHead:
            return figure(r->Pd, decimalsOf(column));
        case LocalLoss:
            return figure(r->Pj, decimalsOf(column));
        case SectionLoss:
            return figure(r->P, decimalsOf(column));
        case LossToEnd:
            return figure(r->Pend, decimalsOf(column));
        default:
            return {};
    }
}

QString SectionTableModel::tooltip(int row, int column) const {
    const SectionInput& s = sections_[std::size_t(row)];
    const SectionResult* r = resultOf(row);
    QStringList lines;
    if (column == Zeta && !s.fittings.empty()) {
        QStringList items;
        for (const hydraulics::FittingCount& f : s.fittings)
            items.append(QStringLiteral("%1 ×%2（ζ=%3）")
                             .arg(fromStd(f.name))
                             .arg(f.count)
                             .arg(fromStd(f.zetaEach)));
        lines.append(FittingsTip + items.join(Separator));
    }
    if (column == Equipment && !s.equipmentName.empty())
        lines.append(EquipmentTip + fromStd(s.equipmentName));
    if (r && r->ok() && (column == Flow || column == ResultFlow)) {
        if (r->flowSource == hydraulics::FlowSource::Load) lines.append(FromLoad);
        if (r->flowSource == hydraulics::FlowSource::Summed) lines.append(Summed);
    }
    if (r && r->critical) lines.append(CriticalTip);
    if (const QString why = remarks(row); !why.isEmpty()) lines.append(why);
    return lines.join(QLatin1Char('\n'));
}

QVariant SectionTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row();
    const int column = index.column();
    const bool input = isInput(column);
    if (row >= int(sections_.size())) {
        if (role == Qt::BackgroundRole && !input) return QBrush(ResultFace);
        if (role == Qt::DisplayRole || role == Qt::EditRole) return QString();
        return {};
    }
    const SectionInput& s = sections_[std::size_t(row)];
    const SectionResult* r = resultOf(row);
    switch (role) {
        case Qt::EditRole:
            if (input) return fromStd(s.*InputFields[column]);
            return resultText(row, column);
        case Qt::DisplayRole: {
            if (!input) return resultText(row, column);
            const std::string& typed = s.*InputFields[column];
            if (!typed.empty() || !r) return fromStd(typed);
            // What the engine made of an empty flow or size, in grey.
            if (column == Flow && r->ok() && r->flowSource != hydraulics::FlowSource::Typed)
                return resultText(row, ResultFlow);
            if (column == Size && s.d.empty()) return AutomaticSize;
            return QString();
        }
        case Qt::ForegroundRole:
            if (r && !r->ok() && column == Remarks) return QBrush(ErrorText);
            if (input && (s.*InputFields[column]).empty()) return QBrush(PlaceholderText);
            return {};
        case Qt::FontRole: {
            const bool placeholder = input && (s.*InputFields[column]).empty();
            if (!(r && r->critical) && !placeholder) return {};
            QFont font;
            font.setBold(r && r->critical);
            font.setItalic(placeholder);
            return font;
        }
        case Qt::BackgroundRole:
            if (r && !r->ok()) return QBrush(ErrorFace);
            if (r && !r->notes.empty()) return QBrush(NoteFace);
            if (!input) return QBrush(ResultFace);
            return {};
        case Qt::ToolTipRole:
            return tooltip(row, column);
        case Qt::TextAlignmentRole:
            if (column == Id || column == Upstream || column == Remarks)
                return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant SectionTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
            return Headers[std::size_t(section)];
        return {};
    }
    const SectionResult* r = resultOf(section);
    const bool critical = r && r->critical;
    switch (role) {
        case Qt::DisplayRole:
            return section < int(sections_.size()) ? QString::number(section + 1)
                                                   : QStringLiteral("*");
        case Qt::BackgroundRole:
            if (critical) return QBrush(CriticalStripe);
            return {};
        case Qt::ForegroundRole:
            if (critical) return QBrush(Qt::white);
            return {};
        case Qt::ToolTipRole:
            if (critical) return CriticalTip;
            return {};
        default:
            return {};
    }
}

Qt::ItemFlags SectionTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isInput(index.column())) flags |= Qt::ItemIsEditable;
    return flags;
}

bool SectionTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !isInput(index.column())) return false;
    const int row = index.row();
    const bool existing = row < int(sections_.size());
    std::vector<SectionInput> before;
    if (existing) before.push_back(sections_[std::size_t(row)]);
    SectionInput after = existing ? sections_[std::size_t(row)] : SectionInput{};
    setField(after, index.column(), value.toString());
    if (existing && after == before.front()) return true;
    if (!existing && isBlank(after)) return true;
    pushReplace(row, std::move(before), {std::move(after)}, EditStep);
    return true;
}

void SectionTableModel::pushReplace(int row, std::vector<SectionInput> before,
                                    std::vector<SectionInput> after, const QString& what) {
    undoStack_.push(new ReplaceRowsCommand(*this, row, std::move(before), std::move(after), what));
}

void SectionTableModel::clearCells(const QModelIndexList& cells) {
    int first = int(sections_.size());
    int last = -1;
    for (const QModelIndex& index : cells) {
        if (!isInput(index.column()) || index.row() >= int(sections_.size())) continue;
        first = std::min(first, index.row());
        last = std::max(last, index.row());
    }
    if (last < first) return;
    std::vector<SectionInput> before(sections_.begin() + first, sections_.begin() + last + 1);
    std::vector<SectionInput> after = before;
    for (const QModelIndex& index : cells)
        if (isInput(index.column()) && index.row() >= first && index.row() <= last)
            setField(after[std::size_t(index.row() - first)], index.column(), QString());
    if (before == after) return;
    pushReplace(first, std::move(before), std::move(after), ClearStep);
}

void SectionTableModel::pasteBlock(int row, int column, const QList<QStringList>& block) {
    if (block.isEmpty() || column < 0 || column >= ColumnCount) return;
    row = std::clamp(row, 0, int(sections_.size()));
    const int existing = std::min(int(block.size()), int(sections_.size()) - row);
    std::vector<SectionInput> before(sections_.begin() + row, sections_.begin() + row + existing);
    std::vector<SectionInput> after = before;
    after.resize(std::size_t(block.size()));
    for (qsizetype r = 0; r < block.size(); ++r)
        for (qsizetype c = 0; c < block[r].size(); ++c)
            if (isInput(column + int(c)))
                setField(after[std::size_t(r)], column + int(c), block[r][c]);
    // Trailing rows the block leaves blank do not become sections.
    while (int(after.size()) > existing && isBlank(after.back())) after.pop_back();
    if (before == after) return;
    pushReplace(row, std::move(before), std::move(after), PasteStep);
}

void SectionTableModel::insertEmptyRows(int row, int count) {
    row = std::clamp(row, 0, int(sections_.size()));
    if (count <= 0) return;
    pushReplace(row, {}, std::vector<SectionInput>(std::size_t(count)), InsertStep);
}

void SectionTableModel::removeSectionRows(int row, int count) {
    if (row < 0 || row >= int(sections_.size())) return;
    count = std::min(count, int(sections_.size()) - row);
    if (count <= 0) return;
    pushReplace(row, {sections_.begin() + row, sections_.begin() + row + count}, {}, RemoveStep);
}

void SectionTableModel::setSectionFittings(int row,
                                           const std::vector<hydraulics::FittingCount>& fittings,
                                           const QString& zetaText) {
    if (row < 0 || row > int(sections_.size())) return;
    const bool existing = row < int(sections_.size());
    std::vector<SectionInput> before;
    if (existing) before.push_back(sections_[std::size_t(row)]);
    SectionInput after = existing ? before.front() : SectionInput{};
    after.fittings = fittings;
    after.zeta = zetaText.toStdString();
    if (existing && after == before.front()) return;
    pushReplace(row, std::move(before), {std::move(after)}, FittingsStep);
}

void SectionTableModel::setSectionEquipment(int row, const QString& name, const QString& lossText) {
    if (row < 0 || row > int(sections_.size())) return;
    const bool existing = row < int(sections_.size());
    std::vector<SectionInput> before;
    if (existing) before.push_back(sections_[std::size_t(row)]);
    SectionInput after = existing ? before.front() : SectionInput{};
    after.equip = lossText.toStdString();
    after.equipmentName = name.toStdString();
    if (existing && after == before.front()) return;
    pushReplace(row, std::move(before), {std::move(after)}, EquipmentStep);
}

void SectionTableModel::changeSettings(const SystemSettings& settings, const QString& what) {
    if (settings == settings_) return;
    undoStack_.push(new SettingsCommand(*this, settings_, settings, what));
}

void SectionTableModel::reset(const SystemSettings& settings, std::vector<SectionInput> sections) {
    beginResetModel();
    settings_ = settings;
    sections_ = std::move(sections);
    recompute();
    endResetModel();
    emit recomputed();
}

std::vector<SectionInput> SectionTableModel::filledSections() const {
    std::vector<SectionInput> filled;
    filled.reserve(sections_.size());
    for (const SectionInput& s : sections_)
        if (!isBlank(s)) filled.push_back(s);
    return filled;
}

void SectionTableModel::replaceRows(int row, int removed,
                                    const std::vector<SectionInput>& inserted) {
    const int same = std::min(removed, int(inserted.size()));
    for (int i = 0; i < same; ++i) sections_[std::size_t(row + i)] = inserted[std::size_t(i)];
    if (removed > same) {
        beginRemoveRows({}, row + same, row + removed - 1);
        sections_.erase(sections_.begin() + row + same, sections_.begin() + row + removed);
        endRemoveRows();
    } else if (int(inserted.size()) > same) {
        // Sections added at the end take the place of the empty row there, which moves down:
        // announced as rows after it, so that the cell being typed in stays where it is.
        const int first = row + same + (row + same == int(sections_.size()) ? 1 : 0);
        beginInsertRows({}, first, first + int(inserted.size()) - same - 1);
        sections_.insert(sections_.begin() + row + same, inserted.begin() + same, inserted.end());
        endInsertRows();
    }
    recompute();
    // Any row may have changed: a flow sums up the tree, the critical loop moves.
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    emit recomputed();
}

void SectionTableModel::applySettings(const SystemSettings& settings) {
    settings_ = settings;
    recompute();
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    emit recomputed();
}

void SectionTableModel::recompute() {
    // Blank rows are spacers the user left: not sections, so not errors either.
    std::vector<SectionInput> filled;
    filled.reserve(sections_.size());
    resultIndex_.assign(sections_.size(), -1);
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (isBlank(sections_[i])) continue;
        resultIndex_[i] = int(filled.size());
        filled.push_back(sections_[i]);
    }
    result_ = hydraulics::computeSystem(filled, settings_, catalog_);
    // A result without a row per section would index past its end.
    if (result_.sections.size() != filled.size()) resultIndex_.assign(sections_.size(), -1);
}
