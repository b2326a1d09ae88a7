#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Collects output in a large buffer and writes it in big blocks. Remembers a write failure so
// that the caller can report it once at the end.
class OutputBuffer {
  public:
    explicit OutputBuffer(std::FILE* stream);
    ~OutputBuffer();

    void append(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= FlushBytes) flush();
    }
    void append(char c) { buffer_.push_back(c); }

    // Appends a CSV field, quoted (RFC 4180) when it holds a comma, a quote or a line break.
    void appendCsvField(std::string_view field);

    // Writes what is buffered; false once any write has failed.
    bool flush();

    bool failed() const { return failed_; }

  private:
    static constexpr std::size_t FlushBytes = 1 << 20;

    std::FILE* stream_;
    std::string buffer_;
    bool failed_ = false;
};
