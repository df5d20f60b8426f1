#pragma once
// Pieces of the SMTP dialogue that need no session.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tcp_socket.h"

namespace ziromail {

// Sends until every byte is gone: 0, or -1 as soon as a send fails or stalls beyond `timeout`.
int SendAll(platform::TcpSocket& socket, const char* data, std::size_t length, platform::Milliseconds timeout);

// AUTH LOGIN's line for a user name or password: base64 on one line, then CRLF.
std::string EncodeCredential(const char* bytes, std::size_t length);

// The addresses of a recipient list separated by "," or ";", untrimmed; empty
// segments are kept (two separators in a row, or one at the end).
std::vector<std::string_view> SplitRecipients(std::string_view list);

// Text that would end a command line early and start another.
bool HasLineBreak(std::string_view text);

}  // namespace ziromail
