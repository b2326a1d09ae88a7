#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hydraulics/sectioninput.h"

// The project file (.qvs): JSON in UTF-8, format "quorvel-system", version 1; described field
// by field in docs/qvs-format.md. Reading and writing bytes only: the caller writes the file
// atomically.
namespace hydraulics {

struct Project {
    std::string title;
    SystemSettings settings;
    std::vector<SectionInput> sections;

    bool operator==(const Project&) const = default;
};

inline constexpr const char* ProjectFormatName = "quorvel-system";
inline constexpr int ProjectFormatVersion = 1;
inline constexpr std::size_t ProjectMaxBytes = 64u << 20;  // 64 MiB
inline constexpr int ProjectMaxDepth = 16;  // JSON nesting the format never exceeds (it needs 5)

enum class ProjectFailure {
    TooLarge,      // over ProjectMaxBytes
    NotJson,       // broken JSON or not UTF-8
    TooDeep,       // nesting deeper than ProjectMaxDepth
    NotAProject,   // valid JSON without format "quorvel-system"
    NewerVersion,  // a later version of the format
    BadVersion,    // version missing, not a whole number or below 1
    WrongType,     // a field of the wrong type or a value out of its range; see detail
};

struct ProjectReadOutcome {
    std::optional<Project> project;  // set on success
    ProjectFailure failure = ProjectFailure::NotJson;
    std::string detail;  // the field a WrongType is about ("sections[3].L"), for the reason

    bool ok() const { return project.has_value(); }
    // The reason in Chinese, shown after the file name: "不是有效的 JSON 文件", ...
    std::string reason() const;
};

// Never throws on any bytes.
ProjectReadOutcome readProject(std::string_view bytes);

// UTF-8 JSON, two-space indented, ending with a newline.
std::string writeProject(const Project& project);

}  // namespace hydraulics
