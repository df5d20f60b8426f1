#pragma once
// Every text, caption, name and path piece the updater shows or builds, in GBK.
namespace update {

// Message boxes.
inline constexpr char kMessageCaption[] = "消息管理器";
inline constexpr char kBadVersion[] = "版本不正确！";
inline constexpr char kRequestFailed[] = "更新请求失败！";
inline constexpr char kAlreadyLatest[] = "您的IM已经是最新版本，不需要升级";
inline constexpr char kOpenScriptFailed[] = "打开升级文件失败";
inline constexpr char kScriptFailed[] = "FAIL";
inline constexpr char kUnpackFailed[] = "解压缩失败";
inline constexpr char kClientExitFailed[] = "主进程退出失败！";
inline constexpr char kZipErrorFormat[] = "Zip error %d:\n%s";
inline constexpr char kClosingClient[] =
    "下载完成，升级程序将关闭IM 进行必要的更新操作，\r\n在更新完成后将会重新运行ZiroIM。";
inline constexpr char kThreadFailed[] = "创建线程失败";
inline constexpr char kPictureFailed[] = "图片加载失败！";
inline constexpr char kCreateThreadError[] = "Create Thread Error!\n";
// The client was stopped and updated but could not be started again.
inline constexpr char kRestartFailed[] = "ZiroIM重新运行失败！";

// Row status texts.
inline constexpr char kDownloading[] = "正在下载...";
inline constexpr char kDownloadDone[] = "下载完成。";
inline constexpr char kInstalling[] = "正在安装更新...";
inline constexpr char kInstallDone[] = "安装更新完成";

// Details of an entry: its version, this, then its description.
inline constexpr char kUpgradeContents[] = "升级内容:\r\n";
inline constexpr char kEntrySeparator[] = "\r\n\r\n";

// Dialog labels.
inline constexpr char kDialogTitle[] = "IM自动升级";
inline constexpr char kListColumnVersion[] = "更新列表";
inline constexpr char kListColumnStatus[] = "更新状态";
inline constexpr char kDetailsLabel[] = "详细信息：";
inline constexpr char kDownloadProgressLabel[] = "下载进度：";
inline constexpr char kInstallProgressLabel[] = "升级进度";
inline constexpr char kDownloadButton[] = "下载";
inline constexpr char kCancelButton[] = "取消";

// Files and folders of the client folder.
inline constexpr char kSettingsFile[] = "imset.ini";
inline constexpr char kSettingsSection[] = "IMSET";
inline constexpr char kSettingsKey[] = "IMSERVER";
inline constexpr char kClientExecutable[] = "ZiroIM2.exe";
inline constexpr char kResFolder[] = "res";
inline constexpr char kInitTip[] = "inittip.bmp";
inline constexpr char kDownloadTip[] = "downloadtip.bmp";
inline constexpr char kUpdateTip[] = "updatetip.bmp";
inline constexpr char kWorkFolder[] = "ziro_update";
inline constexpr char kScriptFile[] = "update-info.xml";
inline constexpr char kBackupFolder[] = "backup";

// The update server (its port is UpdateServices::httpPort).
inline constexpr char kScheme[] = "http://";
inline constexpr char kManifestPath[] = "/im/update.xml";
inline constexpr char kPackagePrefix[] = "/im/";

}  // namespace update
