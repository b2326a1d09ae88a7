#include "cli/systemcommand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/inputfile.h"
#include "hydraulics/pipecatalog.h"
#include "hydraulics/projectfile.h"
#include "hydraulics/systemtexts.h"
#include "hydraulics/systemworkbook.h"
#include "hydraulics/watersystem.h"
#include "tablefiles/csvreader.h"
#include "tablefiles/outputbuffer.h"
#include "tablefiles/pendingfile.h"

const std::string_view SystemUsage =
    R"(  quorvel-calc system --csv FILE [options] [--summary OUT] [--table OUT]
  quorvel-calc system --project FILE.qvs [options] [--summary OUT] [--table OUT]
  quorvel-calc system --series list
)";

namespace {

constexpr std::string_view SystemHelp = R"(
Water system (system)
  Computes a water system given as a tree of pipe sections from the plant: the flow of each
  section (typed, from its load, or the sum of the sections below it), its size (fixed, or
  the smallest of the series within the recommended velocity of its DN and --rmax), its
  friction and local losses, the loss from the plant to its end, the critical loop, the pump
  and the parallel branches that need balancing.
  --csv FILE reads sections (FILE "-" reads standard input); the header must be
      id,up,L,G,Q,DN,d,zeta,equip
    id     the section's name (unique, not empty)
    up     the id of the section upstream; empty for a section leaving the plant
    L      length, m
    G      flow, m3/h; wins over Q
    Q      load, kW; G = 3600 Q / (4.187 rho(t) dt). G and Q both empty: the sum of the
           flows of the sections directly below (a terminal needs G or Q)
    DN     fixed nominal size of the series (the outer diameter dn for PP-R)
    d      fixed inner diameter, mm; wins over DN. DN and d empty: sized automatically
    zeta   sum of the local-loss coefficients of the section; empty is 0
    equip  equipment loss in the section (coil, valve, chiller), kPa; empty is 0
  --project FILE.qvs reads the sections and settings of a project file; options given as
    well override its settings.
  Options (defaults in brackets):
    --t C             design water temperature, 0 to 100 degrees C [7]
    --dt K            supply/return temperature difference, K [5]
    --series NAME     pipe series [steel: GB/T 3091 ordinary wall to DN150, seamless from
                      DN200]; --series list prints every series
    --k MM            absolute roughness, mm [the series': steel 0.2 closed, 0.5 open]
    --friction MODEL  colebrook (Colebrook-White, 64/Re below Re 2300) or screen (the
                      friction screen's own computation) [colebrook]
    --rmax PA         sizing limit of the specific friction loss R, Pa/m [300]
    --open LIFT       open system with a static lift of LIFT m [closed]
    --return-doubled  count every loss twice (return pipe as long as the supply)
    --plant KPA       equipment loss of the plant added to the critical loop, kPa [0]
    --safety F        safety factor of the pump head [1.1]
    --balance PCT     a parallel branch more than PCT % below the largest is flagged [15]
  Output on standard output, one row per input row in input order:
      id,up,G,DN,d,v,R,Py,zeta,Pd,Pj,equip,P,Pend,note,error
    G m3/h, d mm, v m/s, R Pa/m, every pressure in Pa (equip too); P = (Py + Pj) k + equip
    with k = 2 under --return-doubled; Pend the loss from the plant to the end of the
    section. DN is the fixed or chosen size, empty when only d was typed. Numbers in the
    7-significant-digit texts above. note and error hold codes separated by ';'; a row with
    an error has its result fields empty, and so do the rows below it and a row whose flow
    would be summed from it; the rest of the tree is computed.
  --summary OUT writes key=value lines: flow_m3h (pump flow), critical (ids from the plant
    to the terminal joined by >), critical_Pa, head_kPa, head_m (H = safety x (critical +
    plant) + rho g lift, in kPa and in m of water), then unbalanced=ID,percent,extra_Pa,Kv
    for each flagged branch (extra_Pa the pressure its balancing valve must take, Kv =
    G / sqrt(extra / 100 kPa)). With unusable settings every value is empty.
  --table OUT writes the section table and the summary as a workbook (.xlsx, or .xls for
    any other name), replaced whole or left as it was.
  A number that is not a number is a usage error; a number out of range (--t 150, --dt 0)
  is reported on every row as bad-setting-OPT. Rows with errors are not a failure: the exit
  status is 0, or 2 for a usage error, unreadable input or an output that cannot be written
  (standard output is still complete).
  Codes of the note and error columns:
)";

}  // namespace

std::string systemHelp() {
    std::string help(SystemHelp);
    // The listing's lines, indented like the rest of this section.
    const std::string codes = hydraulics::codeListing();
    std::size_t start = 0;
    while (start < codes.size()) {
        const std::size_t end = codes.find('\n', start);
        help += "  " + codes.substr(start, end - start + 1);
        start = end + 1;
    }
    return help;
}

namespace {

constexpr int ExitComputed = 0;
constexpr int ExitUsage = 2;
constexpr std::string_view Header = "id,up,L,G,Q,DN,d,zeta,equip";
constexpr std::size_t InputColumns = 9;

int usage(const std::string& message) {
    std::fprintf(stderr, "quorvel-calc: system: %s (see quorvel-calc --help)\n", message.c_str());
    return ExitUsage;
}

int failure(const std::string& source, const std::string& message) {
    std::fprintf(stderr, "quorvel-calc: %s: %s\n", source.c_str(), message.c_str());
    return ExitUsage;
}

struct Options {
    std::optional<std::string> csv;
    std::optional<std::string> project;
    std::optional<std::string> summary;
    std::optional<std::string> table;
    // Each set only when given, so that a project's settings stay where no option is given.
    std::optional<double> t, dt, k, rmax, lift, plant, safety, balance;
    std::optional<std::string> series;
    std::optional<hydraulics::FrictionModel> friction;
    bool returnDoubled = false;
};

std::optional<std::string> readWhole(const std::string& path, std::string& bytes) {
    const InputFile input(path);
    const int fd = input.fd();
    if (fd < 0) return std::string(std::strerror(input.error()));
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) return std::string("it is a folder");
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::string(std::strerror(errno));
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        // One byte more than the limit is enough for the reader to refuse the file.
        if (bytes.size() > hydraulics::ProjectMaxBytes) break;
    }
    return std::nullopt;
}

// The sections of a CSV; an exit status when the input cannot be read at all.
std::optional<int> readSections(const std::string& path,
                                std::vector<hydraulics::SectionInput>& sections) {
    const InputFile input(path);
    const int fd = input.fd();
    const std::string source = input.fromStdin() ? "standard input" : printable(path);
    if (fd < 0) return failure(source, std::strerror(input.error()));
    CsvReader reader(CsvReader::descriptorSource(fd), InputColumns);
    switch (reader.next()) {
        case CsvReader::Status::Error:
            return failure(source, reader.errorText());
        case CsvReader::Status::End:
            return failure(source, "empty; expected the header " + std::string(Header));
        case CsvReader::Status::Record:
            break;
    }
    std::string header;
    for (std::size_t i = 0; i < reader.fieldCount(); ++i)
        (header += i ? "," : "") += reader.field(i);
    if (reader.badQuoting() || reader.fieldCount() != InputColumns || header != Header)
        return failure(source, "line " + std::to_string(reader.line()) + ": the header must be " +
                                   std::string(Header));
    CsvReader::Status status;
    while ((status = reader.next()) == CsvReader::Status::Record) {
        hydraulics::SectionInput s;
        std::string* fields[InputColumns] = {&s.id, &s.up, &s.L,    &s.G,    &s.Q,
                                             &s.DN, &s.d,  &s.zeta, &s.equip};
        for (std::size_t i = 0; i < InputColumns; ++i) *fields[i] = reader.field(i);
        s.unreadable = reader.badQuoting() || reader.fieldCount() != InputColumns;
        sections.push_back(std::move(s));
    }
    if (status == CsvReader::Status::Error) return failure(source, reader.errorText());
    return std::nullopt;
}

std::optional<int> writeSummary(const std::string& path, const std::string& text) {
    tablefiles::PendingFile file(path);
    tablefiles::WriteResult result = file.open();
    if (result.ok())
        result = file.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    if (result.ok()) result = file.commit();
    if (result.ok()) return std::nullopt;
    const char* reason =
        result.systemError ? std::strerror(result.systemError)
        : result.failure == tablefiles::WriteFailure::FolderMissing ? "the folder does not exist"
        : result.failure == tablefiles::WriteFailure::IsFolder      ? "it is a folder"
                                                                    : "cannot be written";
    return failure(printable(path), std::string("cannot write the summary: ") + reason);
}

void printSeries(const hydraulics::PipeCatalog& catalog) {
    std::string text;
    for (const hydraulics::PipeSeries& s : catalog.series) {
        text += s.name;
        text += '\t';
        text += s.title;
        text += '\n';
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int runSystem(std::span<const std::string_view> args) {
    const hydraulics::PipeCatalog catalog = hydraulics::shippedCatalog();
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--return-doubled") {
            o.returnDoubled = true;
            continue;
        }
        if (i + 1 >= args.size()) return usage(std::string(arg) + " needs a value");
        const std::string value(args[++i]);
        auto number = [&](std::optional<double>& slot) -> bool {
            slot = hydraulics::parseNumberField(value);
            return slot.has_value();
        };
        bool ok = true;
        if (arg == "--csv") {
            o.csv = value;
        } else if (arg == "--project") {
            o.project = value;
        } else if (arg == "--summary") {
            o.summary = value;
        } else if (arg == "--table") {
            o.table = value;
        } else if (arg == "--series") {
            if (value == "list") {
                printSeries(catalog);
                return std::fflush(stdout) == 0 ? ExitComputed : ExitUsage;
            }
            if (catalog.find(value) == nullptr)
                return usage("unknown series \"" + printable(value) +
                             "\"; --series list prints them");
            o.series = value;
        } else if (arg == "--friction") {
            if (value == "colebrook")
                o.friction = hydraulics::FrictionModel::Colebrook;
            else if (value == "screen")
                o.friction = hydraulics::FrictionModel::Screen;
            else
                return usage("--friction takes colebrook or screen");
        } else if (arg == "--t") {
            ok = number(o.t);
        } else if (arg == "--dt") {
            ok = number(o.dt);
        } else if (arg == "--k") {
            ok = number(o.k);
        } else if (arg == "--rmax") {
            ok = number(o.rmax);
        } else if (arg == "--open") {
            ok = number(o.lift);
        } else if (arg == "--plant") {
            ok = number(o.plant);
        } else if (arg == "--safety") {
            ok = number(o.safety);
        } else if (arg == "--balance") {
            ok = number(o.balance);
        } else {
            return usage("unknown option \"" + printable(arg) + "\"");
        }
        if (!ok) return usage(std::string(arg) + " \"" + printable(value) + "\" is not a number");
    }
    if (o.csv.has_value() == o.project.has_value())
        return usage("give either --csv FILE or --project FILE.qvs");
    for (const std::optional<std::string>* out : {&o.summary, &o.table})
        if (*out && (*out)->empty()) return usage("an output file name is empty");

    std::vector<hydraulics::SectionInput> sections;
    hydraulics::SystemSettings settings;
    if (o.csv) {
        if (std::optional<int> status = readSections(*o.csv, sections)) return *status;
    } else {
        const std::string source = *o.project == "-" ? "standard input" : printable(*o.project);
        std::string bytes;
        if (std::optional<std::string> error = readWhole(*o.project, bytes))
            return failure(source, *error);
        hydraulics::ProjectReadOutcome read = hydraulics::readProject(bytes);
        if (!read.ok()) return failure(source, read.reason());
        sections = std::move(read.project->sections);
        settings = read.project->settings;
    }
    if (o.t) settings.t = *o.t;
    if (o.dt) settings.dt = *o.dt;
    if (o.series) settings.series = *o.series;
    if (o.k) settings.roughness = *o.k;
    if (o.friction) settings.friction = *o.friction;
    if (o.rmax) settings.rMax = *o.rmax;
    if (o.lift) {
        settings.open = true;
        settings.staticLift = *o.lift;
    }
    if (o.returnDoubled) settings.returnDoubled = true;
    if (o.plant) settings.plantKPa = *o.plant;
    if (o.safety) settings.safety = *o.safety;
    if (o.balance) settings.balancePercent = *o.balance;

    const hydraulics::SystemResult result = hydraulics::computeSystem(sections, settings, catalog);

    OutputBuffer out(stdout);
    for (std::size_t c = 0; c < hydraulics::SectionColumns.size(); ++c) {
        if (c) out.append(',');
        out.append(hydraulics::SectionColumns[c]);
    }
    out.append('\n');
    for (std::size_t i = 0; i < sections.size() && !out.failed(); ++i) {
        const std::array<std::string, 16> row =
            hydraulics::sectionRowTexts(sections[i], result.sections[i]);
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) out.append(',');
            out.appendCsvField(row[c]);
        }
        out.append('\n');
    }
    if (!out.flush()) return failure("standard output", std::strerror(errno));

    int status = ExitComputed;
    if (o.summary) {
        if (std::optional<int> failed = writeSummary(*o.summary, hydraulics::summaryText(result)))
            status = *failed;
    }
    if (o.table) {
        const tablefiles::WriteResult written = hydraulics::writeSystemWorkbook(
            *o.table, sections, settings, result, tablefiles::workbookFormatFor(*o.table));
        if (!written.ok())
            status = failure(printable(*o.table), std::string("cannot write the workbook: ") +
                                                      writeFailureText(written));
    }
    return status;
}
