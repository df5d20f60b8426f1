#include "update/trust/trust_problems.h"

namespace update::trust {
namespace {

const char* KeyFileText(TrustProblem problem) {
    switch (problem) {
    case TrustProblem::KeyFileUnreadable: return "无法读取";
    case TrustProblem::NoKey: return "没有 PUBLIC KEY 公钥块";
    case TrustProblem::NotPublicKeyBlock: return "不是 PUBLIC KEY 公钥块（私钥或证书不能作为公钥）";
    case TrustProblem::BrokenBlock: return "公钥块的开始行与结束行不成对";
    case TrustProblem::KeyNotBase64: return "公钥块不是 Base64 文本";
    case TrustProblem::NotPublicKeyInfo: return "公钥块不是 SubjectPublicKeyInfo 结构";
    case TrustProblem::NotEcKey: return "公钥不是 ECDSA 公钥";
    case TrustProblem::NotP256: return "公钥不在 P-256 (prime256v1) 曲线上";
    case TrustProblem::PointNotUncompressed: return "公钥的点不是未压缩形式";
    default: return nullptr;
    }
}

const char* ManifestText(TrustProblem problem) {
    switch (problem) {
    case TrustProblem::SignatureMissing: return "更新清单没有签名";
    case TrustProblem::SignatureNotBase64: return "更新清单的签名不是一行 Base64 文本";
    case TrustProblem::SignatureMalformed: return "更新清单的签名不是 DER 编码的 ECDSA P-256 签名";
    case TrustProblem::NotSignedByTrustedKey: return "更新清单的签名不是受信任的密钥对这份清单所作";
    case TrustProblem::SerialMissing: return "已签名的更新清单缺少 serial 序号";
    case TrustProblem::SerialMalformed: return "更新清单的 serial 序号不是十进制数";
    case TrustProblem::SerialOlder: return "更新清单的 serial 序号低于已接受过的序号";
    case TrustProblem::ExpiryMalformed: return "更新清单的 expires 时间不是 YYYY-MM-DDThh:mm:ssZ 格式";
    case TrustProblem::Expired: return "更新清单已过期";
    case TrustProblem::SizeMissing: return "更新包条目缺少 size 大小";
    case TrustProblem::SizeMalformed: return "更新包条目的 size 大小不是十进制数";
    case TrustProblem::DigestMissing: return "更新包条目缺少 sha256 摘要";
    case TrustProblem::DigestMalformed: return "更新包条目的 sha256 摘要不是 64 位十六进制数";
    case TrustProblem::PackageNotReceived: return "更新包没有完整下载";
    case TrustProblem::PackageSizeDiffers: return "下载的更新包大小与清单不符";
    case TrustProblem::PackageDigestDiffers: return "下载的更新包 SHA-256 摘要与清单不符";
    case TrustProblem::HashFailed: return "无法计算 SHA-256 摘要";
    default: return nullptr;
    }
}

}  // namespace

std::string TrustProblemText(TrustProblem problem, std::size_t keyBlock) {
    if (const char* text = KeyFileText(problem)) {
        std::string shown = std::string(kTrustedKeysFile) + "：";
        if (keyBlock > 0) shown += "第 " + std::to_string(keyBlock) + " 块";
        return shown + text;
    }
    if (problem == TrustProblem::AcceptedSerialUnreadable)
        return std::string(kAcceptedSerialFile) + "：无法读取，或不是十进制数";
    if (const char* text = ManifestText(problem)) return text;
    return {};
}

}  // namespace update::trust
