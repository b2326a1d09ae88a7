#include "tables/tablerecorder.h"

#include "tables/resulttableform.h"

namespace {

bool anyEmpty(std::initializer_list<const QString*> texts) {
    for (const QString* text : texts)
        if (text->isEmpty()) return true;
    return false;
}

ResultTableForm* showTable(ChildHost& host, ResultTableForm::Kind kind) {
    const bool friction = kind == ResultTableForm::Kind::Friction;
    return static_cast<ResultTableForm*>(
        host.showChild(friction ? QStringLiteral("table1") : QStringLiteral("table2"),
                       [&host, kind]() -> QWidget* { return new ResultTableForm(host, kind); }));
}

}  // namespace

void TableRecorder::recordFrictionResult(const QString& dText, const QString& lText,
                                         const QString& tText, const QString& gText,
                                         const QString& kText, const QString& vText,
                                         const QString& hfText) {
    if (anyEmpty({&dText, &lText, &tText, &gText, &kText, &vText, &hfText})) return;
    showTable(host_, ResultTableForm::Kind::Friction)
        ->recordFrictionResult(dText, lText, tText, gText, kText, vText, hfText);
}

void TableRecorder::recordLocalResult(const QString& zetaText, const QString& vText,
                                      const QString& tText, const QString& hfText) {
    if (anyEmpty({&zetaText, &vText, &tText, &hfText})) return;
    showTable(host_, ResultTableForm::Kind::Local)
        ->recordLocalResult(zetaText, vText, tText, hfText);
}
