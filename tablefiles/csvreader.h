#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads CSV records one at a time, in constant memory: plain fields and RFC 4180 quoted fields
// (doubled quotes inside, line breaks inside), LF or CRLF line ends. Blank lines are skipped.
// The fields of a line without quotes are views into the read buffer; only quoted fields are
// copied.
class CsvReader {
  public:
    // A physical line longer than this makes the input unreadable; it bounds the memory. Its
    // line end and the byte order mark before the first line do not count.
    static constexpr std::size_t MaxRecordBytes = 1 << 20;

    // Stores up to `size` bytes at `data` and returns how many: fewer when no more are ready
    // (as from a pipe), 0 at the end of the input, -1 on an error (errno set).
    using Source = std::function<std::ptrdiff_t(char* data, std::size_t size)>;

    // Reads a file descriptor. `beforeWait`, when given, runs whenever the next read would
    // wait for input (a pipe or a terminal with nothing ready), so that a program on the
    // other end can see every answer to what it has written before it writes more.
    static Source descriptorSource(int fd, std::function<void()> beforeWait = {});

    enum class Status { Record, End, Error };

    // Only the text of the first `keptFields` fields of a record is kept; later ones are
    // counted, so that a line of a million commas costs no more than a short one.
    explicit CsvReader(Source source, std::size_t keptFields = 64);

    // Reads the next record. On Error, errorText() says why (a read error or an over-long line).
    Status next();

    std::size_t fieldCount() const { return count_; }
    // The text of a field, valid until the next call of next(); empty beyond the kept fields.
    std::string_view field(std::size_t index) const {
        return index < count_ && index < keptFields_ ? fields_[index] : std::string_view();
    }

    // The first `count` fields (or all, when there are fewer) exactly as the input has them,
    // commas between, when the record is one line without a quote or a CR: the same texts as
    // field() joined by commas, with nothing that needs quoting in a CSV output. Nothing for
    // any other record, or when `count` is more than the kept fields.
    std::optional<std::string_view> plainFields(std::size_t count) const;

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
    std::size_t countedBytes(std::string_view line) const;
    void lineTooLong(long line);
    void splitPlain(std::string_view line);
    void parseQuoted(std::string_view line);
    std::string& newField();

    Source source_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    std::string carry_;  // a line that crosses the end of the buffer

    std::size_t keptFields_;
    std::vector<std::string_view> fields_;  // keptFields_ views, valid up to count_
    std::size_t count_ = 0;
    bool plain_ = false;  // the record is one line without quotes or CRs

    // Records with quotes are unquoted into these, whatever line they came from.
    std::vector<std::string> owned_;  // reused: the strings keep their capacity
    std::string dropped_;             // receives the fields past keptFields_, then is cleared
    std::string* current_ = nullptr;  // the field being read
    State state_ = State::FieldStart;

    bool badQuoting_ = false;
    long lineNumber_ = 0;
    long recordLine_ = 0;
    bool firstLine_ = true;
    std::size_t recordBytes_ = 0;
    std::string errorText_;
};
