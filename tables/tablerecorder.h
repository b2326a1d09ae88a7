#pragma once

#include "platform/childhost.h"

// The result tables of the main window: a record opens its table (one instance each) or
// brings it to the front, and appends the row.
class TableRecorder : public ResultTables {
  public:
    explicit TableRecorder(ChildHost& host) : host_(host) {}

    void record(TableKind kind, const ResultRowTexts& row) override;

  private:
    ChildHost& host_;
};
