#include "tablefiles/csvreader.h"

#include <cerrno>
#include <cstring>

namespace {
constexpr std::size_t BufferBytes = 1 << 20;
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
}  // namespace

CsvReader::CsvReader(std::FILE* stream, std::size_t keptFields)
    : stream_(stream), buffer_(BufferBytes), keptFields_(keptFields) {}

bool CsvReader::fill() {
    if (eof_) return false;
    const std::size_t n = std::fread(buffer_.data(), 1, buffer_.size(), stream_);
    begin_ = 0;
    end_ = n;
    if (n == 0) {
        eof_ = true;
        if (std::ferror(stream_)) {
            errorText_ = std::strerror(errno ? errno : EIO);
            return false;
        }
    }
    return n > 0;
}

// Returns the next physical line without its line end; false at the end of the input or on an
// error (errorText_ set).
bool CsvReader::readLine(std::string_view& line) {
    carry_.clear();
    bool any = false;
    for (;;) {
        if (begin_ == end_ && !fill()) {
            if (!errorText_.empty()) return false;
            if (!any) return false;
            line = carry_;
            break;
        }
        any = true;
        const char* start = buffer_.data() + begin_;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
        if (newline != nullptr) {
            const std::size_t length = static_cast<std::size_t>(newline - start);
            begin_ += length + 1;
            if (carry_.empty()) {
                line = std::string_view(start, length);
            } else {
                carry_.append(start, length);
                line = carry_;
            }
            break;
        }
        carry_.append(start, end_ - begin_);
        begin_ = end_;
        if (carry_.size() > MaxRecordBytes) {
            errorText_ = "line " + std::to_string(lineNumber_ + 1) + " is longer than 1 MiB";
            return false;
        }
    }
    ++lineNumber_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (firstLine_) {
        firstLine_ = false;
        if (line.substr(0, Utf8Bom.size()) == Utf8Bom) line.remove_prefix(Utf8Bom.size());
    }
    if (line.size() > MaxRecordBytes) {
        errorText_ = "line " + std::to_string(lineNumber_) + " is longer than 1 MiB";
        return false;
    }
    return true;
}

std::string& CsvReader::newField() {
    if (count_ < keptFields_) {
        if (count_ == fields_.size()) fields_.emplace_back();
        current_ = &fields_[count_];
    } else {
        current_ = &dropped_;
    }
    ++count_;
    current_->clear();
    return *current_;
}

CsvReader::Status CsvReader::next() {
    count_ = 0;
    badQuoting_ = false;
    state_ = State::FieldStart;
    recordBytes_ = 0;
    std::string_view line;
    do {
        if (!readLine(line)) return errorText_.empty() ? Status::End : Status::Error;
    } while (line.empty());
    recordLine_ = lineNumber_;
    parse(line);
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
        parse(line);
    }
    return Status::Record;
}

// Continues the current record with one physical line. Leaves state_ at Quoted when the line
// ends inside a quoted field.
void CsvReader::parse(std::string_view line) {
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
