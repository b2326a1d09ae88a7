#include "tablefiles/outputbuffer.h"

OutputBuffer::OutputBuffer(std::FILE* stream)
    : stream_(stream), data_(std::make_unique_for_overwrite<char[]>(Capacity)) {}

OutputBuffer::~OutputBuffer() { flush(); }

void OutputBuffer::appendLarge(std::string_view text) {
    flush();
    if (text.size() <= Capacity) {
        append(text);
        return;
    }
    if (!failed_ && std::fwrite(text.data(), 1, text.size(), stream_) != text.size())
        failed_ = true;
}

void OutputBuffer::appendCsvField(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        append(field);
        return;
    }
    append('"');
    for (const char c : field) {
        if (c == '"') append('"');
        append(c);
    }
    append('"');
    if (used_ >= FlushBytes) flush();
}

bool OutputBuffer::flush() {
    if (used_ != 0 && !failed_) {
        if (std::fwrite(data_.get(), 1, used_, stream_) != used_) failed_ = true;
    }
    used_ = 0;
    if (!failed_ && std::fflush(stream_) != 0) failed_ = true;
    return !failed_;
}
