#include "tablefiles/workbook.h"

extern "C" __attribute__((visibility("default"))) tablefiles::WorkbookWriter
quorvelWorkbookWriter() {
    return &tablefiles::writeWorkbook;
}
