// quorvel-calc: the friction and local losses of the calculation screens from the command line,
// one section from arguments or many from a CSV stream.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/calculators.h"
#include "cli/inputfile.h"
#include "cli/systemcommand.h"
#include "core/numbertext.h"
#include "tablefiles/csvreader.h"
#include "tablefiles/outputbuffer.h"
#include "tablefiles/workbook.h"

namespace {

constexpr int ExitComputed = 0;
constexpr int ExitSomeFailed = 1;
constexpr int ExitUsage = 2;

constexpr std::string_view HelpText = R"(Usage:
  quorvel-calc friction D L t G K
  quorvel-calc local zeta v t
  quorvel-calc friction --csv FILE
  quorvel-calc local --csv FILE
  quorvel-calc friction --csv FILE --table OUT
  quorvel-calc local --csv FILE --table OUT
@SYSTEM@  quorvel-calc --help
  quorvel-calc --version

Computes the friction loss of a straight water pipe section or the local loss of a fitting,
with the same figures and texts as the program's calculation screens.

Inputs
  D     inner diameter of the pipe, mm
  L     length of the section, mm (L = 1000 gives the loss per metre)
  t     water temperature, degrees C
  G     volume flow, m3/h
  K     absolute roughness of the pipe wall, mm
  zeta  local-loss coefficient of the fitting
  v     water velocity, m/s
Each input is a decimal number such as 50, 0.2, .5, -3 or 1e3 (period as decimal point),
read as the nearest 32-bit real.

Argument mode
  friction prints one name=value line each for rho (density, kg/m3), nu (kinematic
  viscosity, m2/s), V (velocity, m/s), Re (Reynolds number), lambda (friction factor) and
  Hf (friction loss, Pa); local prints Hf (local loss, Pa). For example
  "quorvel-calc friction 50 1000 45 1 0.2" prints V=0.1414711 and Hf=7.067252, and
  "quorvel-calc local 1.0 1.2 50" prints Hf=711.36.

Number texts
  At most 7 significant digits, no trailing zeros, "0" for zero, a "0" before the point
  below 1, exponent form (6.009453E-07) when the decimal exponent is below -4 or at least 7.
  nu is a 64-bit value rounded directly to 7 significant digits; the others are 32-bit.

CSV mode
  --csv FILE reads a CSV file (FILE "-" reads standard input) and writes a CSV to standard
  output, one row per input row, in the same order, streaming with constant memory. Rows are
  answered before the calculator waits for more input, so a program may write one row and
  read its answer before it writes the next.
    friction: header D,L,t,G,K    output D,L,t,G,K,rho,nu,V,Re,lambda,Hf,error
    local:    header zeta,v,t     output zeta,v,t,Hf,error
  The header must name exactly these columns in this order. Fields may be plain or quoted
  as in RFC 4180 ("..." with "" for a quote inside); lines may end in LF or CRLF; a UTF-8
  byte order mark before the header is ignored. Blank lines are skipped and produce no
  output row. The input fields are copied to the output as read (unquoted); output fields
  are quoted when they hold a comma, a quote or a line break. Output lines end in LF.
  On success the error field is empty. On failure the result fields are empty and error
  holds the first reason found, checked in this order:
    bad-quoting       a quote inside a plain field, text after a closing quote, or a quoted
                      field still open at the end of the input
    field-count       not as many fields as header columns (the first ones are copied,
                      missing ones left empty)
    not-a-number:X    field X is not a decimal number (X in header order)
    out-of-range:X    field X is beyond the range of a 32-bit real
    viscosity         no usable viscosity at this temperature (about -113 to -40 C)
    zero-diameter     D is 0
    zero-reynolds     the Reynolds number is 0, as with a zero flow
    negative-root     the sum under the cube root of the friction factor is negative
    overflow          a value leaves the range of a 32-bit real

Result table
  --table OUT also writes the workbook that the program's result table would save after
  recording every successful row in input order and pressing its total button once: sheet
  "sheet1", headers in C1 and D1, one row per successful input row (parameter line in C, loss
  with three decimals in D), the total in the row after the last. Failed rows are left out
  (and reported in the CSV as usual). OUT ending in .xlsx (any letter case) is an Office Open
  XML workbook; any other name an Excel 97-2003 .xls workbook (at most 65534 rows). An
  existing OUT is replaced; it is written beside OUT and renamed into place, so a failed
  write leaves the old file. When the workbook cannot be written, the CSV output is still
  complete and the exit status is 2, with a message naming OUT.

Exit status
  0  every row (or the one argument-mode computation) produced a result
  1  some rows failed (CSV mode; the rows say why), or the computation failed (argument
     mode; the reason code is printed on standard error)
  2  usage error, an argument that is not a number, a missing or wrong header, unreadable
     input (also a line longer than 1 MiB, its line end and a byte order mark not counted),
     output or a --table workbook that cannot be written; a one-line message goes to
     standard error, control characters in quoted arguments and file names shown as \n, \t,
     \xHH (rows already written stay written)
)";

}  // namespace

// The user's text as a message can show it on one line: control characters (C0, DEL, C1) and
// bytes that are not UTF-8 become escapes, as does the backslash, so that the escapes read back
// unambiguously; other UTF-8 text (Chinese file names) stays as it is.
std::string printable(std::string_view text) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    const auto escape = [&shown](const char* prefix, unsigned char byte) {
        shown += prefix;
        shown += Hex[byte >> 4];
        shown += Hex[byte & 15];
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
                case '\\':
                    shown += "\\\\";
                    break;
                case '"':
                    shown += "\\\"";
                    break;
                case '\n':
                    shown += "\\n";
                    break;
                case '\r':
                    shown += "\\r";
                    break;
                case '\t':
                    shown += "\\t";
                    break;
                default:
                    if (c < 0x20 || c == 0x7F)
                        escape("\\x", c);
                    else
                        shown += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        // A well-formed UTF-8 sequence: lead byte, then continuation bytes in the ranges that
        // exclude overlong forms, surrogates and code points above U+10FFFF.
        const std::size_t length = c >= 0xC2 && c <= 0xDF   ? 2
                                   : c >= 0xE0 && c <= 0xEF ? 3
                                   : c >= 0xF0 && c <= 0xF4 ? 4
                                                            : 0;
        bool wellFormed = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            unsigned char low = 0x80;
            unsigned char high = 0xBF;
            if (k == 1 && c == 0xE0) low = 0xA0;
            if (k == 1 && c == 0xED) high = 0x9F;
            if (k == 1 && c == 0xF0) low = 0x90;
            if (k == 1 && c == 0xF4) high = 0x8F;
            wellFormed = next >= low && next <= high;
        }
        if (!wellFormed) {
            escape("\\x", c);
            ++i;
        } else if (c == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            escape("\\u00", static_cast<unsigned char>(text[i + 1]));  // U+0080 to U+009F
            i += 2;
        } else {
            shown.append(text.substr(i, length));
            i += length;
        }
    }
    return shown;
}

const char* writeFailureText(const tablefiles::WriteResult& result) {
    using tablefiles::WriteFailure;
    switch (result.failure) {
        case WriteFailure::DriveLetter:
            return "a drive letter names no folder on this system";
        case WriteFailure::FolderMissing:
            return "the folder does not exist";
        case WriteFailure::IsFolder:
            return "it is a folder";
        case WriteFailure::TooManyRows:
            return "too many rows for .xls (at most 65534 recorded rows); use .xlsx";
        case WriteFailure::CellTooLong:
            return "a cell text is longer than 32767 characters";
        case WriteFailure::PermissionDenied:
        case WriteFailure::NoSpace:
        case WriteFailure::Other:
        case WriteFailure::None:
            break;
    }
    return result.systemError ? std::strerror(result.systemError) : "cannot be written";
}

namespace {

int usageError(const std::string& message) {
    std::fprintf(stderr, "quorvel-calc: %s (see quorvel-calc --help)\n", message.c_str());
    return ExitUsage;
}

int inputError(const std::string& source, const std::string& message) {
    std::fprintf(stderr, "quorvel-calc: %s: %s\n", source.c_str(), message.c_str());
    return ExitUsage;
}

std::string joined(std::span<const std::string_view> names) {
    std::string text;
    for (const std::string_view name : names) {
        if (!text.empty()) text += ',';
        text += name;
    }
    return text;
}

// The result texts written by Calculator::compute, one view each.
void splitResults(std::string_view texts,
                  std::array<std::string_view, Calculator::MaxResults>& results) {
    for (std::string_view& result : results) {
        const std::size_t comma = std::min(texts.find(','), texts.size());
        result = texts.substr(0, comma);
        texts.remove_prefix(std::min(comma + 1, texts.size()));
    }
}

int runArguments(const Calculator& calculator, std::span<char*> args) {
    std::array<float, 8> values{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const numbertext::ParsedSingle parsed = numbertext::parseSingle(args[i]);
        if (!parsed.ok()) {
            const char* what = parsed.error == numbertext::ParseError::OutOfRange
                                   ? "is beyond the range of a 32-bit real"
                                   : "is not a number";
            return usageError(std::string(calculator.inputs[i]) + " \"" + printable(args[i]) +
                              "\" " + what);
        }
        values[i] = *parsed.value;
    }
    char texts[Calculator::MaxResultBytes];
    const Calculator::Written written = calculator.compute({values.data(), args.size()}, texts);
    if (written.failure != nullptr) {
        std::fprintf(stderr, "quorvel-calc: no result: %s\n", written.failure);
        return ExitSomeFailed;
    }
    std::array<std::string_view, Calculator::MaxResults> results;
    splitResults({texts, written.end}, results);
    std::string out;
    for (std::size_t i = 0; i < calculator.results.size(); ++i) {
        out += calculator.results[i];
        out += '=';
        out += results[i];
        out += '\n';
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return inputError("standard output", std::strerror(errno));
    return ExitComputed;
}

// The failure code of one record, or nullptr when all its fields parse (values then set).
const char* parseRecord(const Calculator& calculator, const CsvReader& reader,
                        std::array<float, 8>& values, std::string& codeBuffer) {
    if (reader.badQuoting()) return "bad-quoting";
    if (reader.fieldCount() != calculator.inputs.size()) return "field-count";
    for (std::size_t i = 0; i < calculator.inputs.size(); ++i) {
        const numbertext::ParsedSingle parsed = numbertext::parseSingle(reader.field(i));
        if (!parsed.ok()) {
            codeBuffer = parsed.error == numbertext::ParseError::OutOfRange ? "out-of-range:"
                                                                            : "not-a-number:";
            codeBuffer += calculator.inputs[i];
            return codeBuffer.c_str();
        }
        values[i] = *parsed.value;
    }
    return nullptr;
}

// The workbook the result table would save after recording every row and totalling once.
int writeTable(const Calculator& calculator, const std::string& tablePath,
               const std::vector<ResultRowTexts>& rows) {
    std::vector<std::string> results;
    results.reserve(rows.size());
    for (const ResultRowTexts& row : rows) results.push_back(row.resultText);
    const tablefiles::WriteResult written = tablefiles::writeWorkbook(
        tablePath, tablefiles::defaultSheetName(),
        tablefiles::resultTableCells(calculator.tableKind, rows, tableTotal(results)),
        tablefiles::workbookFormatFor(tablePath));
    if (written.ok()) return ExitComputed;
    return inputError(printable(tablePath),
                      std::string("cannot write the workbook: ") + writeFailureText(written));
}

int runCsv(const Calculator& calculator, const std::string& path, const std::string* tablePath) {
    const InputFile input(path);
    const int fd = input.fd();
    const std::string source = input.fromStdin() ? "standard input" : printable(path);
    if (fd < 0) return inputError(source, std::strerror(input.error()));

    OutputBuffer out(stdout);
    // A program that writes a row and waits for its answer gets it before we wait for more.
    CsvReader reader(CsvReader::descriptorSource(fd, [&out] { out.flush(); }),
                     calculator.inputs.size());
    const std::string header = joined(calculator.inputs);
    switch (reader.next()) {
        case CsvReader::Status::Error:
            return inputError(source, reader.errorText());
        case CsvReader::Status::End:
            return inputError(source, "empty; expected the header " + header);
        case CsvReader::Status::Record:
            break;
    }
    bool headerMatches = !reader.badQuoting() && reader.fieldCount() == calculator.inputs.size();
    for (std::size_t i = 0; headerMatches && i < calculator.inputs.size(); ++i)
        headerMatches = reader.field(i) == calculator.inputs[i];
    if (!headerMatches)
        return inputError(
            source, "line " + std::to_string(reader.line()) + ": the header must be " + header);

    out.append(header);
    for (const std::string_view name : calculator.results) {
        out.append(',');
        out.append(name);
    }
    out.append(",error\n");

    const std::size_t inputCount = calculator.inputs.size();
    std::array<float, 8> values{};
    std::string codeBuffer;
    std::vector<ResultRowTexts> tableRows;
    std::array<std::string_view, 8> inputTexts;
    std::array<std::string_view, Calculator::MaxResults> results;
    bool someFailed = false;
    CsvReader::Status status;
    while ((status = reader.next()) == CsvReader::Status::Record) {
        if (const std::optional<std::string_view> plain = reader.plainFields(inputCount)) {
            out.append(*plain);
            for (std::size_t i = std::min(reader.fieldCount(), inputCount); i < inputCount; ++i)
                out.append(',');
        } else {
            for (std::size_t i = 0; i < inputCount; ++i) {
                if (i > 0) out.append(',');
                if (i < reader.fieldCount()) out.appendCsvField(reader.field(i));
            }
        }

        const char* failure = parseRecord(calculator, reader, values, codeBuffer);
        char* row = out.reserve(Calculator::MaxResultBytes + 2);
        *row++ = ',';
        Calculator::Written written;
        if (failure == nullptr) {
            written = calculator.compute({values.data(), inputCount}, row);
            failure = written.failure;
        }
        if (failure == nullptr) {
            if (tablePath) {
                for (std::size_t i = 0; i < inputCount; ++i) inputTexts[i] = reader.field(i);
                splitResults({row, written.end}, results);
                tableRows.push_back(calculator.tableRow({inputTexts.data(), inputCount},
                                                        {results.data(), results.size()}));
            }
            row = written.end;
            *row++ = ',';
            *row++ = '\n';
            out.commit(row);
        } else {
            out.commit(std::fill_n(row, calculator.results.size(), ','));
            out.append(failure);
            out.append('\n');
            someFailed = true;
        }
        if (out.failed()) break;  // a full disk or a closed pipe: stop reading
    }
    if (!out.flush()) return inputError("standard output", std::strerror(errno));
    if (status == CsvReader::Status::Error) return inputError(source, reader.errorText());
    if (tablePath && writeTable(calculator, *tablePath, tableRows) != ExitComputed)
        return ExitUsage;
    return someFailed ? ExitSomeFailed : ExitComputed;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    for (const std::string_view arg : args) {
        if (arg == "--help" || arg == "-h") {
            const std::size_t at = HelpText.find("@SYSTEM@");
            std::string help(HelpText.substr(0, at));
            help += SystemUsage;
            help += HelpText.substr(at + 8);
            help += systemHelp();
            std::fwrite(help.data(), 1, help.size(), stdout);
            return ExitComputed;
        }
        if (arg == "--version") {
            std::fputs("quorvel-calc " QUORVEL_VERSION "\n", stdout);
            return ExitComputed;
        }
    }
    if (args.empty()) return usageError("missing command: friction, local or system");
    if (args[0] == "system") return runSystem(std::span(args).subspan(1));
    const Calculator* calculator = findCalculator(args[0]);
    if (calculator == nullptr) return usageError("unknown command \"" + printable(args[0]) + "\"");
    if (args.size() >= 2 && args[1] == "--csv") {
        if (args.size() == 5 && args[3] == "--table") {
            const std::string tablePath(args[4]);
            if (tablePath.empty()) return usageError("--table takes one OUT file");
            return runCsv(*calculator, std::string(args[2]), &tablePath);
        }
        if (args.size() != 3)
            return usageError(
                "--csv takes one FILE (- for standard input), then optionally --table OUT");
        return runCsv(*calculator, std::string(args[2]), nullptr);
    }
    if (args.size() - 1 != calculator->inputs.size()) {
        std::string names;
        for (const std::string_view name : calculator->inputs) {
            names += ' ';
            names += name;
        }
        return usageError(std::string(calculator->command) + " takes" + names + " or --csv FILE");
    }
    return runArguments(*calculator, std::span<char*>(argv + 2, argc - 2));
}
