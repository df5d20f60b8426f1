#pragma once
// Appends to a caller's buffer without ever passing its end.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace ziromail {

class BoundedWriter {
public:
    BoundedWriter(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {}

    void Put(std::string_view text) {
        std::size_t n = std::min(text.size(), Room());
        if (n) std::memcpy(out_ + length_, text.data(), n);
        length_ += n;
    }
    bool EndsWith(std::string_view text) const {
        return length_ >= text.size() && std::string_view(out_ + length_ - text.size(), text.size()) == text;
    }
    void StepBack(std::size_t n) { length_ -= std::min(n, length_); }
    // For coders that write straight into the buffer.
    char* Cursor() { return out_ + length_; }
    std::size_t Room() const { return capacity_ - length_; }
    void Advance(std::size_t n) { length_ += std::min(n, Room()); }
    std::size_t Length() const { return length_; }

private:
    char* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

}  // namespace ziromail
