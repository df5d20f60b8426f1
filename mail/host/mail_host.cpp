// A host that binds the mail library by name and sends one mail, printing the
// handle and every status the library reports. Exit code 0 when the job ended
// with status 0.
//
//   ziromail-host --library NAME --server HOST --port N --user U --password P
//                 [--sender S] [--to LIST] [--cc LIST | --cc-hex HEX] [--subject TEXT | --subject-hex HEX]
//                 [--html-file FILE] [--attach PATH]... [--attach-hex HEX]...
//
// The -hex forms carry bytes that a command line would not pass unchanged.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/shared_library.h"
#include "mail/ziromail.h"

namespace {

struct Options {
    std::string library, server, user, password, sender, to, cc, subject, htmlFile;
    int port = 25;
    std::vector<std::string> attachments;
};

struct Api {
    decltype(&InitSmtp) initSmtp;
    decltype(&MailUserBind) mailUserBind;
    decltype(&SetMailOption) setMailOption;
    decltype(&SendMail) sendMail;
};

std::atomic<int> finalStatus{1};
std::atomic<bool> finished{false};

void ZIROMAIL_CALLBACK OnStatus(int status, int userValue) {
    std::printf("status %d user %d\n", status, userValue);
    std::fflush(stdout);
    if (status != MailStatusStarted) {
        finalStatus = status;
        finished = true;
    }
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i], value = argv[i + 1];
        if (key == "--library") options.library = value;
        else if (key == "--server") options.server = value;
        else if (key == "--port") options.port = std::atoi(value.c_str());
        else if (key == "--user") options.user = value;
        else if (key == "--password") options.password = value;
        else if (key == "--sender") options.sender = value;
        else if (key == "--to") options.to = value;
        else if (key == "--cc") options.cc = value;
        else if (key == "--cc-hex") options.cc = FromHex(value);
        else if (key == "--subject") options.subject = value;
        else if (key == "--subject-hex") options.subject = FromHex(value);
        else if (key == "--html-file") options.htmlFile = value;
        else if (key == "--attach") options.attachments.push_back(value);
        else if (key == "--attach-hex") options.attachments.push_back(FromHex(value));
        else return false;
    }
    return argc % 2 == 1 && !options.library.empty();
}

template <typename T>
bool Bind(void* library, const char* name, T& slot) {
    slot = reinterpret_cast<T>(platform::LibrarySymbol(library, name));
    if (!slot) std::printf("missing export %s\n", name);
    return slot != nullptr;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool WaitForFinalStatus(std::chrono::seconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!finished && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return finished;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: see the head of mail_host.cpp\n");
        return 2;
    }
    void* library = platform::LoadLibraryByName(options.library);
    Api api{};
    if (!library || !Bind(library, "InitSmtp", api.initSmtp) || !Bind(library, "MailUserBind", api.mailUserBind) ||
        !Bind(library, "SetMailOption", api.setMailOption) || !Bind(library, "SendMail", api.sendMail)) {
        std::printf("cannot bind %s\n", options.library.c_str());
        return 2;
    }
    int handle = api.initSmtp(options.server.c_str(), options.port, 7);
    std::printf("handle %d\n", handle);
    api.mailUserBind(handle, options.user.c_str(), options.password.c_str());
    api.setMailOption(handle, MailOptionSender, options.sender.c_str());
    api.setMailOption(handle, MailOptionTo, options.to.c_str());
    api.setMailOption(handle, MailOptionCc, options.cc.c_str());
    for (const std::string& path : options.attachments) api.setMailOption(handle, MailOptionAttachment, path.c_str());
    std::string html = options.htmlFile.empty() ? std::string("<html><body>hello</body></html>") : ReadFile(options.htmlFile);
    int result = api.sendMail(handle, options.subject.c_str(), html.c_str(), &OnStatus);
    std::printf("SendMail returned %d\n", result);
    if (!WaitForFinalStatus(std::chrono::seconds(120))) {
        std::printf("no final status\n");
        return 3;
    }
    return finalStatus == MailStatusOk ? 0 : 1;
}
