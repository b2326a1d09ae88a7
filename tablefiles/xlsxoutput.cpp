#include "tablefiles/xlsxoutput.h"

#include <locale.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <map>

#include "tablefiles/pendingfile.h"
#include "tablefiles/utf16text.h"

namespace tablefiles {
namespace {

// libxlsxwriter prints numbers with printf, which follows LC_NUMERIC; a program that took the
// user's locale (as every Qt program does) would write "0,5" into the XML. The C locale holds
// for this thread only while the workbook is written.
class CNumericLocale {
  public:
    CNumericLocale() : c_(newlocale(LC_NUMERIC_MASK, "C", nullptr)) {
        if (c_ != nullptr) previous_ = uselocale(c_);
    }
    ~CNumericLocale() {
        if (c_ == nullptr) return;
        uselocale(previous_);
        freelocale(c_);
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

  private:
    locale_t c_;
    locale_t previous_ = nullptr;
};

WriteResult libraryFailure(lxw_error error, const std::string& what) {
    return {WriteFailure::Other, 0, what + ": " + lxw_strerror(error)};
}

}  // namespace

WriteResult writeXlsxFile(const std::string& filePath, const std::string& sheetName,
                          const std::vector<SheetCell>& cells) {
    // Cells arrive sorted, but the library's row-by-row mode would also send its temporary
    // files to the system's temporary folder; the whole sheet in memory is a few MB.
    const CNumericLocale cNumbers;
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    errno = 0;
    lxw_workbook* workbook = workbook_new_opt(filePath.c_str(), &options);
    if (workbook == nullptr) return systemFailure(errno != 0 ? errno : ENOMEM, filePath);

    // Closes (and so frees) the workbook on every path; on success closing writes the file.
    struct Closer {
        lxw_workbook* workbook;
        bool closed = false;
        lxw_error close() {
            closed = true;
            return workbook_close(workbook);
        }
        ~Closer() {
            if (!closed) workbook_close(workbook);
        }
    } closer{workbook};

    if (const lxw_error e = workbook_validate_sheet_name(workbook, sheetName.c_str());
        e != LXW_NO_ERROR)
        return libraryFailure(e, "sheet name");
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.c_str());
    if (sheet == nullptr) return libraryFailure(LXW_ERROR_MEMORY_MALLOC_FAILED, "sheet");

    std::map<int, lxw_format*> formats;
    for (const SheetCell& cell : cells) {
        lxw_error e;
        if (cell.value.isNumber) {
            lxw_format* format = nullptr;
            if (cell.value.decimals > 0) {
                auto [it, added] = formats.emplace(cell.value.decimals, nullptr);
                if (added) {
                    it->second = workbook_add_format(workbook);
                    if (it->second == nullptr)
                        return libraryFailure(LXW_ERROR_MEMORY_MALLOC_FAILED, "format");
                    format_set_num_format(it->second, fixedFormatCode(cell.value.decimals).c_str());
                }
                format = it->second;
            }
            e = worksheet_write_number(sheet, cell.row, cell.column, cell.value.number, format);
        } else {
            e = worksheet_write_string(sheet, cell.row, cell.column,
                                       wellFormedUtf8(cell.source->text).c_str(), nullptr);
        }
        if (e != LXW_NO_ERROR) return libraryFailure(e, "cell");
    }

    errno = 0;
    if (const lxw_error e = closer.close(); e != LXW_NO_ERROR) {
        // The library keeps no errno of its own; one left by its failed write tells why.
        const int error = errno;
        if (error != 0) {
            WriteResult result = systemFailure(error, filePath);
            // The folder was there a moment ago; a stray ENOENT says nothing about it.
            if (result.failure == WriteFailure::FolderMissing ||
                result.failure == WriteFailure::IsFolder)
                result.failure = WriteFailure::Other;
            result.detail += std::string(" (") + lxw_strerror(e) + ")";
            return result;
        }
        return libraryFailure(e, filePath);
    }
    return {};
}

}  // namespace tablefiles
