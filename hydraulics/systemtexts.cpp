#include "hydraulics/systemtexts.h"

#include "core/numbertext.h"

namespace hydraulics {
namespace {

// The field as the window and the report name it.
const char* fieldTitle(Field field) {
    switch (field) {
        case Field::None:
            return "";
        case Field::Id:
            return "管段编号";
        case Field::Up:
            return "上游管段";
        case Field::L:
            return "管长L";
        case Field::G:
            return "流量G";
        case Field::Q:
            return "负荷Q";
        case Field::DN:
            return "公称直径DN";
        case Field::d:
            return "内径d";
        case Field::Zeta:
            return "局部阻力系数ζ";
        case Field::Equip:
            return "设备阻力";
        case Field::Temperature:
            return "设计水温t";
        case Field::DeltaT:
            return "供回水温差Δt";
        case Field::Series:
            return "管材系列";
        case Field::Roughness:
            return "粗糙度K";
        case Field::RMax:
            return "比摩阻上限";
        case Field::StaticLift:
            return "静水高度";
        case Field::Plant:
            return "冷热源设备阻力";
        case Field::Safety:
            return "安全系数";
        case Field::Balance:
            return "不平衡率限值";
    }
    return "";
}

// Why a setting is refused, after its name.
const char* settingReason(Field field) {
    switch (field) {
        case Field::Temperature:
            return "超出水物性表的范围（0～100℃）";
        case Field::DeltaT:
            return "应为大于零的数";
        case Field::Series:
            return "不是已有的管材系列";
        case Field::Roughness:
            return "应为不小于零的数";
        case Field::RMax:
            return "应为大于零的数";
        case Field::StaticLift:
            return "应为不小于零的数";
        case Field::Plant:
            return "应为不小于零的数";
        case Field::Safety:
            return "应为大于零的数";
        case Field::Balance:
            return "应在0～100%之间";
        default:
            return "不可用";
    }
}

std::string quoted(const std::string& id) { return "“" + id + "”"; }

std::string joinedIds(const std::vector<std::string>& ids) {
    std::string text;
    for (std::size_t i = 0; i < ids.size(); ++i) text += (i ? "、" : "") + quoted(ids[i]);
    return text;
}

std::string firstId(const SectionError& e) { return e.ids.empty() ? std::string() : e.ids[0]; }

}  // namespace

const char* noteCode(NoteKind kind) {
    switch (kind) {
        case NoteKind::VelocityHigh:
            return "vel-high";
        case NoteKind::RHigh:
            return "r-high";
        case NoteKind::VelocityLow:
            return "vel-low";
        case NoteKind::Laminar:
            return "laminar";
        case NoteKind::NoSizeFits:
            return "no-size-fits";
    }
    return "";
}

std::string noteText(NoteKind kind) {
    switch (kind) {
        case NoteKind::VelocityHigh:
            return "流速高于推荐范围";
        case NoteKind::RHigh:
            return "比摩阻超过限值";
        case NoteKind::VelocityLow:
            return "流速低于0.25 m/s，水平管须有坡度";
        case NoteKind::Laminar:
            return "层流（Re<2300）";
        case NoteKind::NoSizeFits:
            return "系列中没有满足流速与比摩阻要求的管径，取最大管径";
    }
    return "";
}

const char* fieldName(Field field) {
    switch (field) {
        case Field::None:
            return "";
        case Field::Id:
            return "id";
        case Field::Up:
            return "up";
        case Field::L:
            return "L";
        case Field::G:
            return "G";
        case Field::Q:
            return "Q";
        case Field::DN:
            return "DN";
        case Field::d:
            return "d";
        case Field::Zeta:
            return "zeta";
        case Field::Equip:
            return "equip";
        case Field::Temperature:
            return "t";
        case Field::DeltaT:
            return "dt";
        case Field::Series:
            return "series";
        case Field::Roughness:
            return "k";
        case Field::RMax:
            return "rmax";
        case Field::StaticLift:
            return "open";
        case Field::Plant:
            return "plant";
        case Field::Safety:
            return "safety";
        case Field::Balance:
            return "balance";
    }
    return "";
}

std::string errorCode(const SectionError& e) {
    const std::string f = fieldName(e.field);
    switch (e.kind) {
        case ErrorKind::MissingId:
            return "missing-id";
        case ErrorKind::DuplicateId:
            return "duplicate-id";
        case ErrorKind::MissingField:
            return "missing-" + f;
        case ErrorKind::NotANumber:
            return "not-number-" + f;
        case ErrorKind::Negative:
            return "negative-" + f;
        case ErrorKind::ZeroDiameter:
            return "zero-" + f;
        case ErrorKind::UnknownSize:
            return "unknown-DN";
        case ErrorKind::UnknownUpstream:
            return "unknown-up";
        case ErrorKind::Loop:
            return "loop";
        case ErrorKind::UpstreamFailed:
            return "up-failed";
        case ErrorKind::NoFlow:
            return "no-flow";
        case ErrorKind::FlowFromFailed:
            return "flow-from-failed";
        case ErrorKind::BadSetting:
            return "bad-setting-" + f;
        case ErrorKind::NotComputable:
            return "not-computable";
        case ErrorKind::UnreadableRow:
            return "bad-row";
    }
    return "";
}

std::string errorText(const SectionError& e) {
    const std::string f = fieldTitle(e.field);
    switch (e.kind) {
        case ErrorKind::MissingId:
            return "管段编号为空";
        case ErrorKind::DuplicateId:
            return "管段编号" + quoted(firstId(e)) + "重复";
        case ErrorKind::MissingField:
            return "未填写" + f;
        case ErrorKind::NotANumber:
            return f + "不是有效的数";
        case ErrorKind::Negative:
            return f + "为负数";
        case ErrorKind::ZeroDiameter:
            return f + "为零";
        case ErrorKind::UnknownSize:
            return "所选管材系列中没有这一公称直径";
        case ErrorKind::UnknownUpstream:
            return "上游管段" + quoted(firstId(e)) + "不存在";
        case ErrorKind::Loop:
            return "管段" + joinedIds(e.ids) +
                   (e.more ? "等共" + std::to_string(e.ids.size() + e.more) + "段" : "") +
                   "的上游首尾相连成环";
        case ErrorKind::UpstreamFailed:
            return "上游管段" + quoted(firstId(e)) + "未能计算";
        case ErrorKind::NoFlow:
            return "末端管段既无流量G也无负荷Q";
        case ErrorKind::FlowFromFailed:
            return "下游管段" + joinedIds(e.ids) + "未能计算，流量无法累加";
        case ErrorKind::BadSetting:
            return f + settingReason(e.field);
        case ErrorKind::NotComputable:
            return "数值超出可计算的范围，得不到有限的结果";
        case ErrorKind::UnreadableRow:
            return "这一行无法完整读出（引号或字段数不对）";
    }
    return "";
}

std::string codeListing() {
    return "notes:\n"
           "  vel-high          velocity above the recommended range of its DN\n"
           "  r-high            R above --rmax\n"
           "  vel-low           velocity below 0.25 m/s (the pipe needs a slope)\n"
           "  laminar           Re below 2300\n"
           "  no-size-fits      no size of the series meets both limits: the largest taken\n"
           "errors (FIELD is the column or option concerned):\n"
           "  missing-id        the id is empty\n"
           "  duplicate-id      another row carries the same id\n"
           "  missing-L         no length\n"
           "  not-number-FIELD  not a decimal number\n"
           "  negative-FIELD    a negative length, flow, load or diameter\n"
           "  zero-FIELD        a diameter (DN or d) of zero\n"
           "  unknown-DN        the series has no such DN\n"
           "  unknown-up        no row carries the upstream id\n"
           "  loop              the upstream links go round in a loop\n"
           "  up-failed         the upstream section failed\n"
           "  no-flow           a terminal section with neither G nor Q\n"
           "  flow-from-failed  the flow would be summed from a failed section below\n"
           "  not-computable    the figures leave the range of a double\n"
           "  bad-row           bad quoting, or not 9 fields\n"
           "  bad-setting-OPT   the option OPT is unusable (e.g. --t outside 0..100), every row\n";
}

std::string figureText(double value) { return numbertext::generalTextDigits(value, 7); }

std::array<std::string, 16> sectionRowTexts(const SectionInput& input, const SectionResult& r) {
    std::array<std::string, 16> row;
    row[0] = input.id;
    row[1] = input.up;
    if (r.ok()) {
        row[2] = figureText(r.G);
        if (r.size) row[3] = std::to_string(*r.size);
        row[4] = figureText(r.d);
        row[5] = figureText(r.v);
        row[6] = figureText(r.R);
        row[7] = figureText(r.Py);
        row[8] = figureText(r.zeta);
        row[9] = figureText(r.Pd);
        row[10] = figureText(r.Pj);
        row[11] = figureText(r.equip);
        row[12] = figureText(r.P);
        row[13] = figureText(r.Pend);
        for (NoteKind note : r.notes) (row[14] += row[14].empty() ? "" : ";") += noteCode(note);
    }
    for (const SectionError& e : r.errors) (row[15] += row[15].empty() ? "" : ";") += errorCode(e);
    return row;
}

std::string summaryText(const SystemResult& result) {
    // Unusable settings give no figures: empty values rather than zeros that would read as
    // results.
    if (result.settingsError) return "flow_m3h=\ncritical=\ncritical_Pa=\nhead_kPa=\nhead_m=\n";
    std::string text;
    text += "flow_m3h=" + figureText(result.pumpFlow) + "\n";
    text += "critical=";
    for (std::size_t i = 0; i < result.criticalPath.size(); ++i)
        text += (i ? ">" : "") + result.criticalPath[i];
    text += "\n";
    text += "critical_Pa=" + figureText(result.criticalPa) + "\n";
    text += "head_kPa=" + figureText(result.headKPa) + "\n";
    text += "head_m=" + figureText(result.headM) + "\n";
    for (const UnbalancedBranch& u : result.unbalanced)
        text += "unbalanced=" + u.branchId + "," + figureText(u.percent) + "," +
                figureText(u.extraPa) + "," + figureText(u.kv) + "\n";
    return text;
}

}  // namespace hydraulics
