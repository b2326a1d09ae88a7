#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Reads CSV records one at a time from a stream, in constant memory: plain fields and RFC 4180
// quoted fields (doubled quotes inside, line breaks inside), LF or CRLF line ends. Blank lines
// are skipped.
class CsvReader {
  public:
    // A physical line longer than this makes the input unreadable; it bounds the memory.
    static constexpr std::size_t MaxRecordBytes = 1 << 20;

    enum class Status { Record, End, Error };

    // Only the text of the first `keptFields` fields of a record is kept; later ones are
    // counted, so that a line of a million commas costs no more than a short one.
    explicit CsvReader(std::FILE* stream, std::size_t keptFields = 64);

    // Reads the next record. On Error, errorText() says why (a read error or an over-long line).
    Status next();

    std::size_t fieldCount() const { return count_; }
    // The text of a field; empty beyond the kept fields.
    const std::string& field(std::size_t index) const {
        return index < fields_.size() ? fields_[index] : noText_;
    }

    // The record had a quote where none may stand (inside a plain field, or text after a closing
    // quote) or a quoted field still open at the end of the input.
    bool badQuoting() const { return badQuoting_; }

    // The line the record began on, counted from 1.
    long line() const { return recordLine_; }

    const std::string& errorText() const { return errorText_; }

  private:
    enum class State { FieldStart, Plain, Quoted, QuoteInQuoted };

    bool readLine(std::string_view& line);
    bool fill();
    void parse(std::string_view line);
    std::string& newField();

    std::FILE* stream_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    std::string carry_;  // a line that crosses the end of the buffer

    std::size_t keptFields_;
    std::vector<std::string> fields_;  // reused: the strings keep their capacity
    std::string dropped_;              // receives the fields past keptFields_, then is cleared
    std::string* current_ = nullptr;   // the field being read
    const std::string noText_;
    std::size_t count_ = 0;
    State state_ = State::FieldStart;
    bool badQuoting_ = false;
    long lineNumber_ = 0;
    long recordLine_ = 0;
    bool firstLine_ = true;
    std::size_t recordBytes_ = 0;
    std::string errorText_;
};
