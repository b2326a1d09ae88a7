#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The compound file (512-byte sectors) that carries a workbook stream. libgsf lays out the
// FAT, the DIFAT sectors a large stream needs, the directory and the mini stream that holds
// a stream under 4096 bytes.
namespace tablefiles {

// The whole file holding one stream `name` at the root; nothing when libgsf reports an error.
std::optional<std::vector<std::uint8_t>> compoundFile(const std::string& name,
                                                      std::span<const std::uint8_t> stream);

}  // namespace tablefiles
