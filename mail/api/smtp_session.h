#pragma once
// The settings of one send job, as the exports fill them in.
#include <string>
#include <vector>

#include "mail/smtp/smtp_client.h"

namespace ziromail {

struct SmtpSession {
    SmtpSession(std::string serverName, int serverPort, int hostValue)
        : port(serverPort), userValue(hostValue), server(std::move(serverName)) {}
    virtual ~SmtpSession() = default;

    int port;
    int userValue;  // handed back to the host with every status
    std::string server;
    std::string userName;  // AUTH LOGIN user, also the From header
    std::string password;
    std::string sender;  // MAIL FROM only
    std::string toList;  // "," or ";" between addresses; also the To header
    std::string ccList;
    std::string subject;
    std::string htmlBody;
    std::vector<std::string> attachments;  // full paths, in the order added
    SmtpTimeouts timeouts;
};

}  // namespace ziromail
