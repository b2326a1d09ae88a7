#include "tablefiles/csvreader.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {
constexpr std::size_t BufferBytes = 1 << 20;
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
}  // namespace

CsvReader::Source CsvReader::descriptorSource(int fd, std::function<void()> beforeWait) {
    return
        [fd, beforeWait = std::move(beforeWait)](char* data, std::size_t size) -> std::ptrdiff_t {
            if (beforeWait) {
                // A regular file is always ready: no extra work there.
                pollfd ready{fd, POLLIN, 0};
                int n;
                do {
                    n = ::poll(&ready, 1, 0);
                } while (n < 0 && errno == EINTR);
                if (n == 0) beforeWait();
            }
            for (;;) {
                const ssize_t n = ::read(fd, data, size);
                if (n >= 0 || errno != EINTR) return n;
            }
        };
}

CsvReader::CsvReader(Source source, std::size_t keptFields)
    : source_(std::move(source)),
      buffer_(BufferBytes),
      keptFields_(keptFields),
      fields_(keptFields),
      owned_(keptFields) {}

bool CsvReader::fill() {
    if (eof_) return false;
    const std::ptrdiff_t n = source_(buffer_.data(), buffer_.size());
    if (n > 0) {
        begin_ = 0;
        end_ = static_cast<std::size_t>(n);
        return true;
    }
    const int error = errno;
    eof_ = true;
    if (n < 0) errorText_ = std::strerror(error ? error : EIO);
    return false;
}

// The bytes of a line that count against the limit: neither the CR of a CR LF nor the byte
// order mark of the first line. Of a line still being read it is the least the whole line can
// count, as its last CR may yet turn out to be part of the line end. Either way the count is
// the same wherever the buffer's edges fall.
std::size_t CsvReader::countedBytes(std::string_view line) const {
    std::size_t n = line.size();
    if (firstLine_ && line.starts_with(Utf8Bom)) n -= Utf8Bom.size();
    if (line.ends_with('\r')) --n;
    return n;
}

void CsvReader::lineTooLong(long line) {
    errorText_ = "line " + std::to_string(line) + " is longer than 1 MiB";
}

// Returns the next physical line without its line end; false at the end of the input or on an
// error (errorText_ set).
bool CsvReader::readLine(std::string_view& line) {
    carry_.clear();
    bool carried = false;
    for (;;) {
        if (begin_ == end_ && !fill()) {
            if (!errorText_.empty() || !carried) return false;
            line = carry_;
            break;
        }
        const char* start = buffer_.data() + begin_;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
        if (newline != nullptr) {
            const std::size_t length = static_cast<std::size_t>(newline - start);
            begin_ += length + 1;
            if (carried) {
                carry_.append(start, length);
                line = carry_;
            } else {
                line = std::string_view(start, length);
            }
            break;
        }
        carry_.append(start, end_ - begin_);
        carried = true;
        begin_ = end_;
        if (countedBytes(carry_) > MaxRecordBytes) {
            lineTooLong(lineNumber_ + 1);
            return false;
        }
    }
    ++lineNumber_;
    if (countedBytes(line) > MaxRecordBytes) {
        lineTooLong(lineNumber_);
        return false;
    }
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (firstLine_) {
        firstLine_ = false;
        if (line.starts_with(Utf8Bom)) line.remove_prefix(Utf8Bom.size());
    }
    return true;
}

std::optional<std::string_view> CsvReader::plainFields(std::size_t count) const {
    if (!plain_ || count > keptFields_) return std::nullopt;
    const std::size_t n = std::min(count, count_);
    if (n == 0) return std::string_view();
    const char* first = fields_[0].data();
    const char* last = fields_[n - 1].data() + fields_[n - 1].size();
    return std::string_view(first, static_cast<std::size_t>(last - first));
}

CsvReader::Status CsvReader::next() {
    count_ = 0;
    badQuoting_ = false;
    plain_ = false;
    state_ = State::FieldStart;
    recordBytes_ = 0;
    std::string_view line;
    do {
        if (!readLine(line)) return errorText_.empty() ? Status::End : Status::Error;
    } while (line.empty());
    recordLine_ = lineNumber_;
    if (line.find('"') == std::string_view::npos) {
        splitPlain(line);
        plain_ = line.find('\r') == std::string_view::npos;
        return Status::Record;
    }
    parseQuoted(line);
    while (state_ == State::Quoted) {
        if (!readLine(line)) {
            if (!errorText_.empty()) return Status::Error;
            badQuoting_ = true;  // the input ended inside a quoted field
            break;
        }
        recordBytes_ += line.size() + 1;
        if (recordBytes_ > MaxRecordBytes) {
            errorText_ = "the quoted field opened on line " + std::to_string(recordLine_) +
                         " runs on for more than 1 MiB";
            return Status::Error;
        }
        current_->push_back('\n');
        parseQuoted(line);
    }
    for (std::size_t i = 0; i < count_ && i < keptFields_; ++i) fields_[i] = owned_[i];
    return Status::Record;
}

// A line without quotes: each field is the text between two commas, left where it is.
void CsvReader::splitPlain(std::string_view line) {
    const char* p = line.data();
    const char* const end = p + line.size();
    for (;;) {
        if (count_ == keptFields_) {
            count_ += 1 + static_cast<std::size_t>(std::count(p, end, ','));
            return;
        }
        const char* stop = p;
        while (stop != end && *stop != ',') ++stop;
        fields_[count_++] = std::string_view(p, static_cast<std::size_t>(stop - p));
        if (stop == end) return;
        p = stop + 1;
    }
}

std::string& CsvReader::newField() {
    current_ = count_ < keptFields_ ? &owned_[count_] : &dropped_;
    ++count_;
    current_->clear();
    return *current_;
}

// Continues a record that has quotes with one physical line, unquoting into owned_. Leaves
// state_ at Quoted when the line ends inside a quoted field.
void CsvReader::parseQuoted(std::string_view line) {
    std::string* field = state_ == State::Quoted ? current_ : &newField();
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        switch (state_) {
            case State::FieldStart:
                if (c == '"') {
                    state_ = State::Quoted;
                    break;
                }
                state_ = State::Plain;
                [[fallthrough]];
            case State::Plain: {
                if (c == ',') {
                    field = &newField();
                    state_ = State::FieldStart;
                    break;
                }
                if (c == '"') badQuoting_ = true;
                // Copy the run up to the next comma or quote in one go.
                std::size_t stop = i;
                while (stop < line.size() && line[stop] != ',' && line[stop] != '"') ++stop;
                if (stop == i) stop = i + 1;
                field->append(line.data() + i, stop - i);
                i = stop - 1;
                break;
            }
            case State::Quoted: {
                const std::size_t quote = line.find('"', i);
                const std::size_t stop = quote == std::string_view::npos ? line.size() : quote;
                field->append(line.data() + i, stop - i);
                i = stop;
                if (quote != std::string_view::npos) state_ = State::QuoteInQuoted;
                break;
            }
            case State::QuoteInQuoted:
                if (c == '"') {
                    field->push_back('"');
                    state_ = State::Quoted;
                } else if (c == ',') {
                    field = &newField();
                    state_ = State::FieldStart;
                } else {
                    badQuoting_ = true;
                    field->push_back(c);
                    state_ = State::Plain;
                }
                break;
        }
    }
    if (state_ != State::Quoted) state_ = State::FieldStart;
}
