#pragma once

#include "platform/childhost.h"

class ResultTableForm;

// The result tables of the main window: a record opens its table (one instance each) or
// brings it to the front, and appends the row. Texts with an empty one among them record
// nothing and show no table.
class TableRecorder : public ResultTables {
  public:
    explicit TableRecorder(ChildHost& host) : host_(host) {}

    void recordFrictionResult(const QString& dText, const QString& lText, const QString& tText,
                              const QString& gText, const QString& kText, const QString& vText,
                              const QString& hfText) override;
    void recordLocalResult(const QString& zetaText, const QString& vText, const QString& tText,
                           const QString& hfText) override;

  private:
    ChildHost& host_;
};
