#include "tablefiles/outputbuffer.h"

OutputBuffer::OutputBuffer(std::FILE* stream) : stream_(stream) {
    buffer_.reserve(FlushBytes + 4096);
}

OutputBuffer::~OutputBuffer() { flush(); }

void OutputBuffer::appendCsvField(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        append(field);
        return;
    }
    buffer_.push_back('"');
    for (const char c : field) {
        if (c == '"') buffer_.push_back('"');
        buffer_.push_back(c);
    }
    buffer_.push_back('"');
    if (buffer_.size() >= FlushBytes) flush();
}

bool OutputBuffer::flush() {
    if (!buffer_.empty() && !failed_) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) != buffer_.size())
            failed_ = true;
    }
    buffer_.clear();
    if (!failed_ && std::fflush(stream_) != 0) failed_ = true;
    return !failed_;
}
