#include "tablefiles/compoundfile.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>

#include <memory>

namespace tablefiles {
namespace {

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GsfPtr = std::unique_ptr<T, Unref>;

// A stream is written in pieces so that a byte count never exceeds what one call takes.
constexpr std::size_t PieceBytes = 1 << 20;

}  // namespace

std::optional<std::vector<std::uint8_t>> compoundFile(const std::string& name,
                                                      std::span<const std::uint8_t> stream) {
    GsfPtr<GsfOutput> memory(gsf_output_memory_new());
    // The outfile closes the memory sink when it is closed itself.
    GsfPtr<GsfOutfile> outfile(gsf_outfile_msole_new(memory.get()));
    if (!outfile) return std::nullopt;
    GsfPtr<GsfOutput> child(gsf_outfile_new_child(outfile.get(), name.c_str(), FALSE));
    if (!child) return std::nullopt;
    bool ok = true;
    for (std::size_t at = 0; ok && at < stream.size(); at += PieceBytes) {
        const std::size_t piece = std::min(PieceBytes, stream.size() - at);
        ok = gsf_output_write(child.get(), piece, stream.data() + at);
    }
    ok = gsf_output_close(child.get()) && ok;
    ok = gsf_output_close(GSF_OUTPUT(outfile.get())) && ok;
    if (!ok) return std::nullopt;
    const auto size = static_cast<std::size_t>(gsf_output_size(memory.get()));
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory.get()));
    if (bytes == nullptr) return std::nullopt;
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

}  // namespace tablefiles
