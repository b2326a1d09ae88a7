#include "tables/tablerecorder.h"

#include "tables/resulttableform.h"

void TableRecorder::record(TableKind kind, const ResultRowTexts& row) {
    const bool friction = kind == TableKind::Friction;
    auto* table = static_cast<ResultTableForm*>(
        host_.showChild(friction ? QStringLiteral("table1") : QStringLiteral("table2"),
                        [this, kind]() -> QWidget* { return new ResultTableForm(host_, kind); }));
    table->record(row);
}
