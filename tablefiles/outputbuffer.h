#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

// Collects output in a large buffer and writes it in big blocks. Remembers a write failure so
// that the caller can report it once at the end.
class OutputBuffer {
  public:
    // The most that reserve() hands out at once.
    static constexpr std::size_t MaxReserve = 64 * 1024;

    explicit OutputBuffer(std::FILE* stream);
    ~OutputBuffer();

    void append(std::string_view text) {
        if (text.size() > Capacity - used_) {
            appendLarge(text);
            return;
        }
        std::memcpy(data_.get() + used_, text.data(), text.size());
        used_ += text.size();
        if (used_ >= FlushBytes) flush();
    }
    void append(char c) {
        if (used_ == Capacity) flush();
        data_[used_++] = c;
    }

    // Appends a CSV field, quoted (RFC 4180) when it holds a comma, a quote or a line break.
    void appendCsvField(std::string_view field);

    // Room for `bytes` (at most MaxReserve) characters, to be written in place and kept with
    // commit(end of what was written). Nothing else may be appended in between.
    char* reserve(std::size_t bytes) {
        if (bytes > Capacity - used_) flush();
        return data_.get() + used_;
    }
    void commit(const char* end) {
        used_ = static_cast<std::size_t>(end - data_.get());
        if (used_ >= FlushBytes) flush();
    }

    // Writes what is buffered; false once any write has failed.
    bool flush();

    bool failed() const { return failed_; }

  private:
    static constexpr std::size_t FlushBytes = 1 << 20;
    static constexpr std::size_t Capacity = FlushBytes + MaxReserve;

    void appendLarge(std::string_view text);

    std::FILE* stream_;
    std::unique_ptr<char[]> data_;
    std::size_t used_ = 0;
    bool failed_ = false;
};
