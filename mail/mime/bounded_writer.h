#pragma once
// Appends to a caller's buffer without ever passing its end; or, made without a
// buffer, only counts. The same rendering code thus both sizes and writes a part.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string_view>

namespace ziromail {

class BoundedWriter {
public:
    // Counts what would be written.
    BoundedWriter() : out_(nullptr), capacity_(std::numeric_limits<std::size_t>::max()) {}
    BoundedWriter(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {}

    void Put(std::string_view text) {
        std::size_t n = std::min(text.size(), Room());
        if (out_ && n) std::memcpy(out_ + length_, text.data(), n);
        length_ += n;
        RememberTail(text);
    }
    // Whether the output ends with `text` (at most two bytes when counting). A
    // counter does not see what coders write straight into the buffer, so after
    // that it answers no: a count then never falls short of what is written.
    bool EndsWith(std::string_view text) const {
        if (!out_) return text.size() <= tailLength_ && std::string_view(tail_ + 2 - text.size(), text.size()) == text;
        return length_ >= text.size() && std::string_view(out_ + length_ - text.size(), text.size()) == text;
    }
    void StepBack(std::size_t n) {
        length_ -= std::min(n, length_);
        tailLength_ = 0;
    }
    // For coders that write straight into the buffer; null when counting, which
    // coders take as "count only" (see ContentCoder::Encode).
    char* Cursor() { return out_ ? out_ + length_ : nullptr; }
    std::size_t Room() const { return capacity_ - length_; }
    void Advance(std::size_t n) {
        length_ += std::min(n, Room());
        if (n) tailLength_ = 0;
    }
    std::size_t Length() const { return length_; }

private:
    void RememberTail(std::string_view text) {
        for (char c : text.substr(text.size() - std::min<std::size_t>(text.size(), 2))) {
            tail_[0] = tail_[1];
            tail_[1] = c;
            tailLength_ = std::min<std::size_t>(tailLength_ + 1, 2);
        }
    }

    char* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    char tail_[2] = {};  // the last bytes put, when counting
    std::size_t tailLength_ = 0;
};

}  // namespace ziromail
