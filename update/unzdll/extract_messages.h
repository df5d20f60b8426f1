#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The GBK texts the message callback receives. Names come in already shown
// as GBK (see DisplayName); codes are the UNZ_ codes of unzdll.h.
namespace unzdll {

enum class ArchiveProblem { CannotOpen, NotZip, MultiDisk };

std::string ArchiveMessage(ArchiveProblem problem, std::string_view archive);
// An entry that was not extracted; `method` is only shown for UNZ_ERR_METHOD.
std::string EntryMessage(int code, std::string_view name, unsigned method = 0);
std::string UnreadableNameMessage(std::string_view name);
std::string ExtractedMessage(std::string_view name);
std::string KeptMessage(std::string_view name);
std::string CommandMessage();
std::string MemoryMessage();

// Cuts GBK text to at most `limit` bytes without splitting a character.
void TruncateGbk(std::string& text, size_t limit);

}  // namespace unzdll
