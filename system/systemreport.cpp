#include "system/systemreport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <memory>

#include "hydraulics/systemtexts.h"
#include "system/pdftextmap.h"

namespace h = hydraulics;

namespace {

const QString ReportTitle = QStringLiteral("水系统水力计算书");
const QString Untitled = QStringLiteral("未命名");
const QString ProjectLine = QStringLiteral("工程名称：%1");
const QString DateLine = QStringLiteral("计算日期：%1");

const QString CannotWrite = QStringLiteral("无法写入计算书文件“%1”：\n%2");
const QString CannotPrint = QStringLiteral("无法打印计算书：\n%1");
const QString IsFolder = QStringLiteral("这是一个文件夹");
const QString FolderMissing = QStringLiteral("文件夹不存在");
const QString FolderReadOnly = QStringLiteral("没有写入该文件夹的权限");
const QString FileReadOnly = QStringLiteral("文件是只读的");
const QString NotPainted = QStringLiteral("无法生成页面");
const QString PrinterRefused = QStringLiteral("打印机无法开始打印");

const QString Verified = QStringLiteral("已见原文");
const QString NotVerified = QStringLiteral("未核原文");

// Points: 五号 for the text, 小四 for the headings, 小五 and smaller for the tables.
constexpr qreal BodyPoints = 10.5;
constexpr qreal TitlePoints = 18;
constexpr qreal HeadingPoints = 12;
constexpr qreal TablePoints = 9;
constexpr qreal SectionTablePoints = 7.5;

QString q(const std::string& text) { return QString::fromStdString(text); }
QString fig(double value) { return q(h::figureText(value)); }

bool isBlank(const std::string& text) { return QString::fromStdString(text).trimmed().isEmpty(); }

// A typed field as its figure when it reads as a number, else as typed.
QString typedFigure(const std::string& text) {
    const std::optional<double> value = h::parseNumberField(text);
    return value ? fig(*value) : q(text).trimmed();
}

struct Cell {
    QString text;
    bool right = false;  // figures are set flush right
};
using Row = QList<Cell>;

// Appends paragraphs and tables at the end of a document.
class DocumentWriter {
  public:
    explicit DocumentWriter(QTextDocument& document) : cursor_(&document) {
        document.setDefaultFont(reportFont(BodyPoints));
    }

    void title(const QString& text) {
        block(Qt::AlignHCenter, 0, 12);
        QTextCharFormat format;
        format.setFontPointSize(TitlePoints);
        format.setFontWeight(QFont::Bold);
        cursor_.insertText(text, format);
    }

    void centered(const QString& text) {
        block(Qt::AlignHCenter, 0, 2);
        cursor_.insertText(text, QTextCharFormat());
    }

    void heading(const QString& text) {
        block(Qt::AlignLeft, 12, 4);
        QTextCharFormat format;
        format.setFontPointSize(HeadingPoints);
        format.setFontWeight(QFont::Bold);
        cursor_.insertText(text, format);
    }

    void paragraph(const QString& text, bool bold = false) {
        block(Qt::AlignLeft, 2, 2);
        QTextCharFormat format;
        if (bold) format.setFontWeight(QFont::Bold);
        cursor_.insertText(text, format);
    }

    // `columns` share the width as given (percent); `header` rows repeat on every page. Rows
    // listed in `bold` are set bold (the critical loop).
    QTextTable* table(const QList<Row>& rows, int header, const QList<qreal>& columns, qreal points,
                      const QSet<int>& bold = {}) {
        if (rows.isEmpty()) return nullptr;
        QTextTableFormat format;
        format.setHeaderRowCount(header);
        // Each cell with its own border: collapsed borders make the layout of a long table grow
        // with the square of its rows.
        format.setBorder(1);
        format.setBorderBrush(Qt::black);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderCollapse(false);
        format.setCellPadding(2);
        format.setCellSpacing(0);
        format.setTopMargin(4);
        format.setBottomMargin(4);
        // Columns in percent of the page; a narrow table takes only their sum.
        qreal total = 0;
        for (const qreal width : columns) total += width;
        format.setWidth(QTextLength(QTextLength::PercentageLength, std::min<qreal>(total, 100)));
        QList<QTextLength> widths;
        for (const qreal width : columns)
            widths.append(QTextLength(QTextLength::PercentageLength, 100 * width / total));
        format.setColumnWidthConstraints(widths);

        cursor_.movePosition(QTextCursor::End);
        QTextTable* table = cursor_.insertTable(int(rows.size()), int(columns.size()), format);
        for (int r = 0; r < rows.size(); ++r) {
            QTextCharFormat text;
            text.setFontPointSize(points);
            if (r < header || bold.contains(r)) text.setFontWeight(QFont::Bold);
            for (int c = 0; c < rows[r].size() && c < columns.size(); ++c) {
                QTextTableCell cell = table->cellAt(r, c);
                if (r < header) {
                    QTextCharFormat face = cell.format();
                    face.setBackground(QColor(0xE8, 0xE8, 0xE8));
                    cell.setFormat(face);
                }
                QTextCursor at = cell.firstCursorPosition();
                QTextBlockFormat align;
                align.setAlignment(r < header         ? Qt::AlignHCenter
                                   : rows[r][c].right ? Qt::AlignRight
                                                      : Qt::AlignLeft);
                at.setBlockFormat(align);
                // An empty cell keeps the height of the table's face, not of the body's.
                at.setBlockCharFormat(text);
                at.insertText(rows[r][c].text, text);
            }
        }
        cursor_.movePosition(QTextCursor::End);
        return table;
    }

  private:
    void block(Qt::Alignment alignment, qreal top, qreal bottom) {
        QTextBlockFormat format;
        format.setAlignment(alignment);
        format.setTopMargin(top);
        format.setBottomMargin(bottom);
        if (first_) {
            cursor_.setBlockFormat(format);
            first_ = false;
        } else {
            cursor_.insertBlock(format, QTextCharFormat());
        }
    }

    QTextCursor cursor_;
    bool first_ = true;
};

Row header(std::initializer_list<const char*> names) {
    Row row;
    for (const char* name : names) row.append({QString::fromUtf8(name)});
    return row;
}

QString frictionName(h::FrictionModel model) {
    return model == h::FrictionModel::Colebrook
               ? QStringLiteral("Colebrook–White 公式（层流 Re < 2300 时 λ = 64/Re）")
               : QStringLiteral("本程序沿程阻力计算界面的公式（Moody 近似式）");
}

QString verifiedText(bool verified) { return verified ? Verified : NotVerified; }

// The report's parts, built once from the project and its result.
class ReportBuilder {
  public:
    ReportBuilder(const QString& title, const h::SystemSettings& settings,
                  const std::vector<h::SectionInput>& sections, const h::SystemResult& result,
                  const h::PipeCatalog& catalog, const QDate& date)
        : title_(title),
          settings_(settings),
          sections_(sections),
          result_(result),
          catalog_(catalog),
          date_(date) {
        for (std::size_t i = 0; i < sections.size(); ++i) {
            const QString id = q(sections[i].id).trimmed();
            if (!indexOf_.contains(id)) indexOf_.insert(id, i);
        }
    }

    std::unique_ptr<QTextDocument> front() {
        auto document = std::make_unique<QTextDocument>();
        DocumentWriter w(*document);
        w.title(ReportTitle);
        w.centered(ProjectLine.arg(title_));
        w.centered(DateLine.arg(date_.toString(Qt::ISODate)));
        // Room for the signatures a calculation sheet is handed in with.
        w.table({{{QStringLiteral("计算")},
                  {},
                  {QStringLiteral("校对")},
                  {},
                  {QStringLiteral("审核")},
                  {}}},
                0, {8, 25, 8, 25, 8, 26}, TablePoints);
        conditions(w);
        formulas(w);
        pipeData(w);
        return document;
    }

    std::unique_ptr<QTextDocument> sectionTable() {
        auto document = std::make_unique<QTextDocument>();
        DocumentWriter w(*document);
        w.heading(QStringLiteral("四、管段水力计算表"));
        QList<Row> rows;
        rows.append(header({"管段编号", "上游管段", "长度 L", "流量 G", "公称直径 DN", "内径 d",
                            "流速 v", "比摩阻 R", "沿程阻力 Py", "局部阻力系数 Σζ", "动压 Pd",
                            "局部阻力 Pj", "设备阻力", "管段阻力 P", "至管段末阻力", "说明"}));
        rows.append(header({"", "", "m", "m³/h", "", "mm", "m/s", "Pa/m", "Pa", "", "Pa", "Pa",
                            "Pa", "Pa", "Pa", ""}));
        QSet<int> bold;
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            const h::SectionInput& in = sections_[i];
            const h::SectionResult& out = result_.sections.at(i);
            Row row{{q(in.id)}, {q(in.up)}, {typedFigure(in.L), true}};
            if (out.ok()) {
                for (const QString& figure :
                     {fig(out.G), out.size ? fig(*out.size) : QString(), fig(out.d), fig(out.v),
                      fig(out.R), fig(out.Py), fig(out.zeta), fig(out.Pd), fig(out.Pj),
                      fig(out.equip), fig(out.P), fig(out.Pend)})
                    row.append({figure, true});
            } else {
                for (int c = 0; c < 12; ++c) row.append({QString()});
            }
            row.append({remarks(in, out)});
            if (out.critical) bold.insert(int(rows.size()));
            rows.append(row);
        }
        w.table(rows, 2, {5, 5, 4.5, 5.5, 3.5, 4.5, 5.5, 5.5, 6, 4, 5.5, 5.5, 5.5, 6, 6.5, 22},
                SectionTablePoints, bold);
        w.paragraph(
            QStringLiteral("注：粗体行为最不利环路上的管段；P = (Py + Pj)·k + 设备阻力，k = %1；"
                           "至管段末阻力为自冷热源至该管段末端各管段阻力之和。")
                .arg(settings_.returnDoubled ? 2 : 1));
        fittings(w);
        return document;
    }

    std::unique_ptr<QTextDocument> back() {
        auto document = std::make_unique<QTextDocument>();
        DocumentWriter w(*document);
        criticalLoop(w);
        pump(w);
        balance(w);
        notes(w);
        return document;
    }

  private:
    void conditions(DocumentWriter& w) {
        w.heading(QStringLiteral("一、设计条件"));
        const h::PipeSeries* series = result_.series;
        QList<Row> rows{header({"项目", "符号", "取值", "单位"})};
        auto add = [&rows](const char* name, const char* symbol, const QString& value,
                           const char* unit) {
            rows.append({{QString::fromUtf8(name)},
                         {QString::fromUtf8(symbol)},
                         {value},
                         {QString::fromUtf8(unit)}});
        };
        add("设计水温", "t", fig(settings_.t), "℃");
        add("供回水温差", "Δt", fig(settings_.dt), "K");
        if (result_.rho > 0) add("水的密度（按设计水温）", "ρ", fig(result_.rho), "kg/m³");
        if (result_.nu > 0) add("水的运动粘度（按设计水温）", "ν", fig(result_.nu), "m²/s");
        add("水的比热容", "c", QStringLiteral("4.187"), "kJ/(kg·K)");
        add("管材系列", "", series ? q(series->title) : q(settings_.series), "");
        const QString roughnessOrigin =
            settings_.roughness ? QStringLiteral("（输入值）") : QStringLiteral("（系列默认值）");
        if (result_.roughness > 0)
            add("管壁绝对粗糙度", "K", fig(result_.roughness) + roughnessOrigin, "mm");
        add("摩擦系数计算", "λ", frictionName(settings_.friction), "");
        add("系统形式", "",
            settings_.open ? QStringLiteral("开式系统") : QStringLiteral("闭式系统"), "");
        if (settings_.open) add("静水提升高度", "h", fig(settings_.staticLift), "m");
        add("比摩阻上限（选管）", "Rmax", fig(settings_.rMax), "Pa/m");
        add("回水管阻力", "k",
            settings_.returnDoubled ? QStringLiteral("按与供水管相同计入，k = 2")
                                    : QStringLiteral("按所列管段计入，k = 1"),
            "");
        add("冷热源设备阻力", "ΔPs", fig(settings_.plantKPa), "kPa");
        add("扬程安全系数", "β", fig(settings_.safety), "");
        add("并联环路不平衡率限值", "", fig(settings_.balancePercent), "%");
        w.table(rows, 1, {34, 10, 44, 12}, TablePoints);
    }

    void formulas(DocumentWriter& w) {
        w.heading(QStringLiteral("二、计算公式"));
        struct Formula {
            const char* name;
            const char* markup;
            const char* where;
        };
        const bool colebrook = settings_.friction == h::FrictionModel::Colebrook;
        const QList<Formula> list{
            {"由负荷求流量", "G = 3600·Q / (c·ρ·Δt)",
             "G 流量 m³/h；Q 负荷 kW；c = 4.187 kJ/(kg·K)；ρ 密度 kg/m³；Δt 温差 K。"
             "未给 G、Q 的管段取其下游各管段流量之和"},
            {"流速", "v = 4·G / (3600·π·d<sup>2</sup>)", "v 流速 m/s；d 内径 m"},
            {"雷诺数", "Re = v·d / ν", "ν 运动粘度 m²/s"},
            colebrook
                ? Formula{"摩擦系数（Colebrook–White）", "1/√λ = −2·lg[K/(3.7·d) + 2.51/(Re·√λ)]",
                          "λ 摩擦系数；K 绝对粗糙度，与 d 同单位；迭代至相对变化小于 1e−12；"
                          "Re < 2300 时 λ = 64/Re"}
                : Formula{"摩擦系数（沿程阻力计算界面）",
                          "λ = 0.0055·[1 + (20000·K/d + 10<sup>6</sup>/Re)<sup>1/3</sup>]",
                          "λ 摩擦系数；K、d 单位 mm；与沿程阻力计算界面的结果相同"},
            {"比摩阻（Darcy–Weisbach）", "R = (λ/d)·ρ·v<sup>2</sup>/2", "R 单位长度沿程阻力 Pa/m"},
            {"沿程阻力", "P<sub>y</sub> = R·L", "L 管段长度 m"},
            {"动压", "P<sub>d</sub> = ρ·v<sup>2</sup>/2", "Pa"},
            {"局部阻力", "P<sub>j</sub> = Σζ·P<sub>d</sub>", "Σζ 管段局部阻力系数之和"},
            {"管段阻力", "P = (P<sub>y</sub> + P<sub>j</sub>)·k + ΔP<sub>e</sub>",
             "k = 2 时回水管按与供水管相同计入，否则 k = 1；ΔPe 管段上的设备阻力 Pa"},
            {"水泵扬程",
             "H = β·(ΔP<sub>max</sub> + ΔP<sub>s</sub>) + ρ·g·h；H<sub>m</sub> = "
             "H·1000/(ρ·g)",
             "ΔPmax 最不利环路阻力；ΔPs 冷热源设备阻力；β 安全系数；h 开式系统的静水提升高度 m；"
             "g = 9.81 m/s²；H kPa，Hm 米水柱"},
            {"平衡阀", "K<sub>v</sub> = G / √(ΔP / 100 kPa)",
             "ΔP 平衡阀需消耗的压力；Kv 单位 m³/h"},
        };
        QList<Row> rows{header({"名称", "公式", "符号与单位"})};
        for (const Formula& formula : list)
            rows.append(
                {{QString::fromUtf8(formula.name)}, {}, {QString::fromUtf8(formula.where)}});
        // The formulas go in once the table stands, as markup for their sub- and superscripts.
        QTextTable* table = w.table(rows, 1, {18, 40, 42}, TablePoints);
        for (int r = 0; r < list.size(); ++r) {
            QTextCursor at = table->cellAt(r + 1, 1).firstCursorPosition();
            at.insertHtml(QStringLiteral("<span style=\"font-size:%1pt\">%2</span>")
                              .arg(TablePoints)
                              .arg(QString::fromUtf8(list[r].markup)));
        }
    }

    void pipeData(DocumentWriter& w) {
        w.heading(QStringLiteral("三、管材与选管依据"));
        const h::PipeSeries* series = result_.series;
        if (!series) {
            w.paragraph(QStringLiteral("管材系列“%1”不存在。").arg(q(settings_.series)));
        } else {
            w.paragraph(
                QStringLiteral("管材系列：%1（%2）").arg(q(series->title), q(series->material)));
            w.paragraph(QStringLiteral("标准：%1").arg(q(series->standard)));
            w.paragraph(QStringLiteral("数据来源：%1").arg(q(series->source)));
            w.paragraph(QStringLiteral("粗糙度来源：%1").arg(q(series->roughnessSource)));
            QList<Row> rows{header({"DN", "外径 mm", "壁厚 mm", "内径 mm", "标准", "核对"})};
            for (const h::PipeRow& row : series->rows)
                rows.append({{fig(row.size), true},
                             {fig(row.outer), true},
                             {fig(row.wall), true},
                             {fig(row.inner), true},
                             {q(row.standard)},
                             {verifiedText(row.verified)}});
            w.table(rows, 1, {10, 13, 13, 13, 37, 14}, TablePoints);
            w.paragraph(QStringLiteral(
                "内径为名义内径（外径 − 2 × 壁厚），未计入公差、镀锌层、结垢或腐蚀。"));
        }

        const std::vector<h::VelocityRange>& velocity =
            settings_.open ? catalog_.openVelocity : catalog_.closedVelocity;
        const QString kind = settings_.open ? QStringLiteral("开式") : QStringLiteral("闭式");
        bool oneSource = true;
        for (const h::VelocityRange& range : velocity)
            oneSource = oneSource && range.source == velocity.front().source &&
                        range.verified == velocity.front().verified;
        if (velocity.empty()) {
        } else if (oneSource) {
            w.paragraph(QStringLiteral("%1系统管内水流速推荐值（来源：%2，%3）：")
                            .arg(kind, q(velocity.front().source),
                                 verifiedText(velocity.front().verified)));
            QStringList dns, lowers, uppers;
            for (const h::VelocityRange& range : velocity) {
                dns.append(fig(range.dn));
                lowers.append(fig(range.lower));
                uppers.append(fig(range.upper));
            }
            byDn(w, dns, lowers, uppers, QStringLiteral("m/s"));
        } else {
            w.paragraph(QStringLiteral("%1系统管内水流速推荐值：").arg(kind));
            QList<Row> rows{header({"DN", "下限 m/s", "上限 m/s", "来源", "核对"})};
            for (const h::VelocityRange& range : velocity)
                rows.append({{fig(range.dn), true},
                             {fig(range.lower), true},
                             {fig(range.upper), true},
                             {q(range.source)},
                             {verifiedText(range.verified)}});
            w.table(rows, 1, {10, 13, 13, 50, 14}, TablePoints);
        }
        guidance(w);
        w.paragraph(
            QStringLiteral("选管：未指定管径的管段取系列中流速不超过该 DN 推荐上限、且比摩阻不超过 "
                           "%1 Pa/m 的最小规格；无规格满足时取最大规格并在说明中注明。")
                .arg(fig(settings_.rMax)));
        w.paragraph(
            QStringLiteral("“核对”一栏：“已见原文”为该数值在所注出处原文中见到；"
                           "“未核原文”为按文献常引值记录，使用前应对照原文。"));
    }

    // Figures by DN across the page: a row of sizes, a row of lower and one of upper limits.
    void byDn(DocumentWriter& w, const QStringList& dns, const QStringList& lowers,
              const QStringList& uppers, const QString& unit) {
        // Room on a portrait page for this many sizes of at most four digits.
        constexpr int PerTable = 18;
        constexpr qreal Width = 84.0 / PerTable;
        for (qsizetype first = 0; first < dns.size(); first += PerTable) {
            const qsizetype n = std::min<qsizetype>(PerTable, dns.size() - first);
            QList<Row> rows{{{QStringLiteral("DN")}},
                            {{QStringLiteral("下限 %1").arg(unit)}},
                            {{QStringLiteral("上限 %1").arg(unit)}}};
            QList<qreal> widths{16};
            for (qsizetype i = first; i < first + n; ++i) {
                rows[0].append({dns[i]});
                rows[1].append({lowers[i], true});
                rows[2].append({uppers[i], true});
                widths.append(Width);
            }
            w.table(rows, 1, widths, TablePoints);
        }
    }

    // The published guidance in groups of one system, parameter and source: a group by DN as a
    // table, a single figure as a sentence.
    void guidance(DocumentWriter& w) {
        std::vector<const h::Guidance*> rows;
        for (const h::Guidance& g : catalog_.guidance)
            if (applies(g)) rows.push_back(&g);
        if (rows.empty()) return;
        w.paragraph(QStringLiteral("比摩阻及其他选管参考值："));
        auto sameGroup = [](const h::Guidance& a, const h::Guidance& b) {
            return a.system == b.system && a.parameter == b.parameter && a.unit == b.unit &&
                   a.source == b.source && a.verified == b.verified;
        };
        for (std::size_t first = 0; first < rows.size();) {
            std::size_t end = first + 1;
            while (end < rows.size() && sameGroup(*rows[first], *rows[end])) ++end;
            const h::Guidance& g = *rows[first];
            const QString source =
                QStringLiteral("来源：%1，%2").arg(q(g.source), verifiedText(g.verified));
            if (end - first == 1) {
                w.paragraph(QStringLiteral("%1，%2（DN %3）：%4 %5；%6。%7。")
                                .arg(q(g.system), q(g.parameter), q(g.dn), range(g), q(g.unit),
                                     q(g.note), source));
            } else {
                w.paragraph(
                    QStringLiteral("%1，%2（%3）：").arg(q(g.system), q(g.parameter), source));
                QStringList dns, lowers, uppers;
                for (std::size_t i = first; i < end; ++i) {
                    dns.append(q(rows[i]->dn));
                    lowers.append(rows[i]->lower ? fig(*rows[i]->lower) : QString());
                    uppers.append(rows[i]->upper ? fig(*rows[i]->upper) : QString());
                }
                byDn(w, dns, lowers, uppers, q(g.unit));
            }
            first = end;
        }
    }

    static QString range(const h::Guidance& g) {
        if (g.lower && g.upper) return fig(*g.lower) + QStringLiteral("～") + fig(*g.upper);
        if (g.upper) return QStringLiteral("≤ ") + fig(*g.upper);
        if (g.lower) return QStringLiteral("≥ ") + fig(*g.lower);
        return {};
    }

    // Guidance for the air-conditioning water systems of this kind (closed or open), and that
    // for every kind of them.
    bool applies(const h::Guidance& g) const {
        const QString system = q(g.system);
        if (!system.startsWith(QStringLiteral("空调"))) return false;
        const bool closed = system.contains(QStringLiteral("闭式"));
        const bool open = system.contains(QStringLiteral("开式"));
        if (!closed && !open) return true;
        return settings_.open ? open : closed;
    }

    QString remarks(const h::SectionInput& in, const h::SectionResult& out) const {
        QStringList parts;
        if (!out.ok()) {
            for (const h::SectionError& error : out.errors) parts.append(q(h::errorText(error)));
            return parts.join(QStringLiteral("；"));
        }
        if (out.flowSource == h::FlowSource::Load)
            parts.append(QStringLiteral("Q = %1 kW").arg(typedFigure(in.Q)));
        else if (out.flowSource == h::FlowSource::Summed)
            parts.append(QStringLiteral("下游流量之和"));
        if (out.size && !out.sizeAutomatic) parts.append(QStringLiteral("指定管径"));
        if (!out.size) parts.append(QStringLiteral("指定内径"));
        for (const h::NoteKind note : out.notes) parts.append(q(h::noteText(note)));
        return parts.join(QStringLiteral("；"));
    }

    void fittings(DocumentWriter& w) {
        QList<Row> rows{
            header({"管段编号", "局部阻力构件（个数 × ζ）", "Σζ", "设备", "设备阻力 kPa"})};
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            const h::SectionInput& in = sections_[i];
            if (in.fittings.empty() && isBlank(in.equipmentName)) continue;
            QStringList parts;
            for (const h::FittingCount& f : in.fittings)
                parts.append(QStringLiteral("%1 %2 × %3")
                                 .arg(q(f.name), fig(f.count), typedFigure(f.zetaEach)));
            rows.append({{q(in.id)},
                         {parts.join(QStringLiteral("；"))},
                         {typedFigure(in.zeta), true},
                         {q(in.equipmentName)},
                         {typedFigure(in.equip), true}});
        }
        if (rows.size() == 1) return;
        w.paragraph(QStringLiteral("管段局部阻力构件及设备："), true);
        w.table(rows, 1, {10, 50, 8, 22, 10}, TablePoints);
    }

    QString idList(const std::vector<std::string>& ids) const {
        QStringList parts;
        for (const std::string& id : ids) parts.append(q(id));
        return parts.join(QStringLiteral(" → "));
    }

    void criticalLoop(DocumentWriter& w) {
        w.heading(QStringLiteral("五、最不利环路"));
        if (result_.criticalPath.empty()) {
            w.paragraph(QStringLiteral("没有可计算的环路。"));
            return;
        }
        w.paragraph(QStringLiteral("最不利环路：冷热源 → %1").arg(idList(result_.criticalPath)));
        QList<Row> rows{header({"管段编号", "管段阻力 P Pa", "至管段末阻力 Pa"})};
        for (const std::size_t index : result_.criticalIndices) {
            const h::SectionResult& out = result_.sections.at(index);
            rows.append({{q(sections_.at(index).id)}, {fig(out.P), true}, {fig(out.Pend), true}});
        }
        w.table(rows, 1, {40, 30, 30}, TablePoints);
        w.paragraph(QStringLiteral("最不利环路阻力 ΔPmax = %1 Pa").arg(fig(result_.criticalPa)));
    }

    void pump(DocumentWriter& w) {
        w.heading(QStringLiteral("六、水泵流量与扬程"));
        QStringList terms;
        QStringList values;
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            if (!isBlank(sections_[i].up) || !result_.sections.at(i).ok()) continue;
            terms.append(QStringLiteral("G(%1)").arg(q(sections_[i].id)));
            values.append(fig(result_.sections[i].G));
        }
        if (terms.isEmpty()) {
            w.paragraph(QStringLiteral("没有自冷热源出发的可计算管段，未求水泵流量与扬程。"));
            return;
        }
        w.paragraph(QStringLiteral("1. 水泵流量 Gp = %1 = %2 = %3 m³/h")
                        .arg(terms.join(QStringLiteral(" + ")), values.join(QStringLiteral(" + ")),
                             fig(result_.pumpFlow)));
        if (result_.criticalPath.empty()) return;

        const h::HeadSteps& s = result_.head;
        QStringList pathTerms;
        QStringList pathValues;
        for (const std::size_t index : result_.criticalIndices) {
            pathTerms.append(QStringLiteral("P(%1)").arg(q(sections_.at(index).id)));
            pathValues.append(fig(result_.sections.at(index).P));
        }
        w.paragraph(QStringLiteral("2. 最不利环路阻力 ΔPmax = %1 = %2 = %3 Pa")
                        .arg(pathTerms.join(QStringLiteral(" + ")),
                             pathValues.join(QStringLiteral(" + ")), fig(s.criticalPa)));
        w.paragraph(QStringLiteral("3. 冷热源设备阻力 ΔPs = %1 kPa = %2 Pa")
                        .arg(fig(settings_.plantKPa), fig(s.plantPa)));
        int step = 4;
        if (settings_.open) {
            w.paragraph(QStringLiteral("%1. 静水提升 ρ·g·h = %2 × %3 × %4 = %5 Pa")
                            .arg(step++)
                            .arg(fig(s.rho), fig(s.g), fig(s.liftM), fig(s.staticPa)));
            w.paragraph(
                QStringLiteral("%1. 水泵扬程 H = β·(ΔPmax + ΔPs) + ρ·g·h = %2 × (%3 + %4) + "
                               "%5 = %6 Pa = %7 kPa")
                    .arg(step++)
                    .arg(fig(s.safety), fig(s.criticalPa), fig(s.plantPa), fig(s.staticPa),
                         fig(s.headPa), fig(result_.headKPa)),
                true);
        } else {
            w.paragraph(
                QStringLiteral("%1. 水泵扬程 H = β·(ΔPmax + ΔPs) = %2 × (%3 + %4) = %5 Pa = "
                               "%6 kPa")
                    .arg(step++)
                    .arg(fig(s.safety), fig(s.criticalPa), fig(s.plantPa), fig(s.headPa),
                         fig(result_.headKPa)),
                true);
        }
        w.paragraph(QStringLiteral("%1. 折合水柱 Hm = H·1000/(ρ·g) = %2 × 1000 / (%3 × %4) = %5 m")
                        .arg(step)
                        .arg(fig(result_.headKPa), fig(s.rho), fig(s.g), fig(result_.headM)),
                    true);
    }

    void balance(DocumentWriter& w) {
        w.heading(QStringLiteral("七、并联环路平衡"));
        if (result_.unbalanced.empty()) {
            w.paragraph(QStringLiteral("各并联支路的压力损失与同一分支点最大支路相差均不超过 %1%，"
                                       "无需加设平衡阀。")
                            .arg(fig(settings_.balancePercent)));
            return;
        }
        w.paragraph(QStringLiteral("下列支路的压力损失比同一分支点的最大支路低 %1% 以上，"
                                   "应设平衡阀消耗其差额：")
                        .arg(fig(settings_.balancePercent)));
        QList<Row> rows{header({"分支点", "支路首管段", "支路阻力 Pa", "最大支路阻力 Pa", "相差 %",
                                "平衡阀需消耗 ΔP Pa", "支路流量 G m³/h", "Kv m³/h"})};
        for (const h::UnbalancedBranch& b : result_.unbalanced) {
            const auto found = indexOf_.constFind(q(b.branchId).trimmed());
            const QString flow =
                found == indexOf_.constEnd() ? QString() : fig(result_.sections.at(*found).G);
            rows.append({{b.branchPoint.empty() ? QStringLiteral("冷热源") : q(b.branchPoint)},
                         {q(b.branchId)},
                         {fig(b.branchLoss), true},
                         {fig(b.largestLoss), true},
                         {fig(b.percent), true},
                         {fig(b.extraPa), true},
                         {flow, true},
                         {fig(b.kv), true}});
        }
        w.table(rows, 1, {12, 12, 12, 13, 9, 15, 14, 13}, TablePoints);
        w.paragraph(QStringLiteral("Kv = G / √(ΔP / 100 kPa)，ΔP 以 kPa 计。"));
    }

    void notes(DocumentWriter& w) {
        w.heading(QStringLiteral("八、说明"));
        int n = 0;
        auto note = [&](const QString& text) {
            w.paragraph(QStringLiteral("%1. %2").arg(++n).arg(text));
        };
        if (result_.settingsError)
            note(QStringLiteral("设置有误：%1").arg(q(h::errorText(*result_.settingsError))));
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            const h::SectionResult& out = result_.sections.at(i);
            const QString id = q(sections_[i].id);
            if (!out.ok()) {
                if (result_.settingsError) continue;
                QStringList texts;
                for (const h::SectionError& error : out.errors)
                    texts.append(q(h::errorText(error)));
                note(QStringLiteral("管段 %1 未能计算：%2；其流量与阻力未计入环路和扬程。")
                         .arg(id, texts.join(QStringLiteral("；"))));
                continue;
            }
            for (const h::NoteKind kind : out.notes)
                note(QStringLiteral("管段 %1：%2%3")
                         .arg(id, q(h::noteText(kind)), detail(kind, out)));
        }
        if (n == 0) note(QStringLiteral("各管段流速与比摩阻均在推荐范围内。"));
        note(QStringLiteral(
            "本计算书的数值以 7 位有效数字列出；管道内径、推荐流速与比摩阻的出处见第三节。"));
    }

    QString detail(h::NoteKind kind, const h::SectionResult& out) const {
        switch (kind) {
            case h::NoteKind::VelocityHigh: {
                if (catalog_.closedVelocity.empty() || catalog_.openVelocity.empty()) break;
                const h::VelocityRange& range =
                    out.size ? catalog_.velocityRange(settings_.open, *out.size, out.d)
                             : catalog_.velocityRange(settings_.open, out.d);
                return QStringLiteral("（v = %1 m/s，DN%2 推荐 %3～%4 m/s）")
                    .arg(fig(out.v), fig(range.dn), fig(range.lower), fig(range.upper));
            }
            case h::NoteKind::RHigh:
                return QStringLiteral("（R = %1 Pa/m，限值 %2 Pa/m）")
                    .arg(fig(out.R), fig(settings_.rMax));
            case h::NoteKind::VelocityLow:
                return QStringLiteral("（v = %1 m/s）").arg(fig(out.v));
            case h::NoteKind::Laminar:
                return QStringLiteral("（Re = %1）").arg(fig(out.Re));
            case h::NoteKind::NoSizeFits:
                return out.size ? QStringLiteral("（取 DN%1）").arg(fig(*out.size)) : QString();
        }
        return {};
    }

    QString title_;
    const h::SystemSettings& settings_;
    const std::vector<h::SectionInput>& sections_;
    const h::SystemResult& result_;
    const h::PipeCatalog& catalog_;
    QDate date_;
    QHash<QString, std::size_t> indexOf_;
};

QList<QFont> reportFaces() {
    QFont bold = reportFont(BodyPoints);
    bold.setBold(true);
    return {reportFont(BodyPoints), bold};
}

// Why `path` cannot take a new file, in the user's words; empty when it may.
QString targetProblem(const QString& path) {
    const QFileInfo target(path);
    if (target.isDir()) return IsFolder;
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir()) return FolderMissing;
    if (!folder.isWritable()) return FolderReadOnly;
    if (target.exists() && !target.isWritable()) return FileReadOnly;
    return {};
}

}  // namespace

QString reportFailureText(const Outcome& outcome, const QString& path) {
    if (outcome.ok()) return {};
    if (path.isEmpty()) return CannotPrint.arg(outcome.reason());
    return CannotWrite.arg(QDir::toNativeSeparators(path), outcome.reason());
}

SystemReport::SystemReport(const QString& projectTitle, const h::SystemSettings& settings,
                           const std::vector<h::SectionInput>& sections,
                           const h::SystemResult& result, const h::PipeCatalog& catalog,
                           const QDate& date)
    : title_(projectTitle.trimmed().isEmpty() ? Untitled : projectTitle.trimmed()) {
    // A result of other sections (the sheet changed since it was computed) would print figures
    // against the wrong rows: the report then computes its own.
    std::optional<h::SystemResult> own;
    if (result.sections.size() != sections.size())
        own = h::computeSystem(sections, settings, catalog);
    ReportBuilder builder(title_, settings, sections, own ? *own : result, catalog, date);
    pages_.setRunningHead(ReportTitle, title_);
    pages_.addPart(builder.front(), QPageLayout::Portrait);
    pages_.addPart(builder.sectionTable(), QPageLayout::Landscape);
    pages_.addPart(builder.back(), QPageLayout::Portrait);
}

SystemReport::~SystemReport() = default;

QString SystemReport::text() const { return pages_.text(); }

QByteArray SystemReport::pdfBytes(int fromPage, int toPage, bool& painted) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(ReportTitle + QStringLiteral(" - ") + title_);
        pdf.setCreator(QStringLiteral("Quorvel"));
        painted = pages_.paint(pdf, fromPage, toPage);
    }
    return withIdeographsRestored(bytes, text(), reportFaces());
}

Outcome SystemReport::writePdf(const QString& path) { return writePdfPages(path, 0, 0); }

Outcome SystemReport::writePdfPages(const QString& path, int fromPage, int toPage) {
    if (const QString problem = targetProblem(path); !problem.isEmpty())
        return Outcome::failed(problem);
    bool painted = false;
    const QByteArray bytes = pdfBytes(fromPage, toPage, painted);
    if (!painted) return Outcome::failed(NotPainted);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Outcome::failed(file.errorString());
    return Outcome::done();
}

Outcome SystemReport::print(QPrinter& printer) {
    const bool range = printer.printRange() == QPrinter::PageRange;
    const int fromPage = range ? printer.fromPage() : 0;
    const int toPage = range ? printer.toPage() : 0;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return writePdfPages(printer.outputFileName(), fromPage, toPage);

    // The printer is the run's one: the pages of the report are A4 in both orientations, and
    // what the user set up for other documents holds again once it is printed.
    const QPageLayout kept = printer.pageLayout();
    const bool keptFullPage = printer.fullPage();
    printer.setDocName(ReportTitle + QStringLiteral(" - ") + title_);
    printer.setFullPage(false);
    const bool painted = pages_.paint(printer, fromPage, toPage);
    printer.setFullPage(keptFullPage);
    printer.setPageLayout(kept);
    return painted ? Outcome::done() : Outcome::failed(PrinterRefused);
}
