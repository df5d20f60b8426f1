#include "update/unzdll/extract_messages.h"

#include "common/gbk_text.h"
#include "update/unzdll/unzdll.h"

namespace unzdll {
namespace {

std::string Join(std::string_view a, std::string_view b) { return std::string(a).append(b); }

// The methods other ZIP writers use, by their number in the format's list.
std::string MethodName(unsigned method) {
    const char* name = nullptr;
    switch (method) {
    case 1: name = "Shrink"; break;
    case 6: name = "Implode"; break;
    case 9: name = "Deflate64"; break;
    case 12: name = "BZip2"; break;
    case 14: name = "LZMA"; break;
    case 93: name = "Zstandard"; break;
    case 95: name = "XZ"; break;
    case 98: name = "PPMd"; break;
    }
    const std::string number = std::to_string(method);
    return name ? std::string(name) + " (" + number + ")" : number;
}

}  // namespace

std::string ArchiveMessage(ArchiveProblem problem, std::string_view archive) {
    switch (problem) {
    case ArchiveProblem::CannotOpen: return Join("无法打开压缩文件 ", archive);
    case ArchiveProblem::NotZip: return Join(archive, " 不是 ZIP 压缩文件，或其目录已损坏");
    case ArchiveProblem::MultiDisk: return Join(archive, " 是分卷压缩文件，无法解压");
    }
    return std::string(archive);
}

std::string EntryMessage(int code, std::string_view name, unsigned method) {
    switch (code) {
    case UNZ_ERR_METHOD: return Join(name, "：不支持的压缩方法 " + MethodName(method) + "，未解压");
    case UNZ_ERR_ENCRYPTED: return Join(name, "：文件已加密，未解压");
    case UNZ_ERR_ZIP64: return Join(name, "：ZIP64 格式，未解压");
    case UNZ_ERR_CRC: return Join(name, "：CRC 校验错误，未解压");
    case UNZ_ERR_DATA: return Join(name, "：数据已损坏或不完整，未解压");
    case UNZ_ERR_UNSAFE_NAME: return Join(name, "：路径指向目标文件夹之外或是链接，已拒绝");
    case UNZ_ERR_WRITE: return Join(name, "：无法写入文件或创建文件夹");
    default: return Join(name, "：未解压");
    }
}

std::string UnreadableNameMessage(std::string_view name) { return Join(name, "：文件名无法识别，已拒绝"); }

std::string ExtractedMessage(std::string_view name) { return Join("已解压 ", name); }

std::string KeptMessage(std::string_view name) { return Join(name, "：文件已存在，未替换"); }

std::string CommandMessage() { return "解压命令无效"; }

std::string MemoryMessage() { return "内存不足，解压中止"; }

void TruncateGbk(std::string& text, size_t limit) {
    if (text.size() > limit) text.resize(common::GbkPrefixLength(text, limit));
}

}  // namespace unzdll
