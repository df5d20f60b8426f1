#include "mail/api/session_table.h"

#include <map>
#include <mutex>

namespace ziromail {

namespace {

// Hosts call from one thread; the lock only keeps a careless host from corrupting the map.
std::mutex tableLock;
std::map<int, std::unique_ptr<SmtpSession>> table;
int handleCounter = 1;

}  // namespace

int SessionTable::Add(std::unique_ptr<SmtpSession> session) {
    std::lock_guard guard(tableLock);
    int handle = handleCounter++;
    table.emplace(handle, std::move(session));
    return handle;
}

SmtpSession* SessionTable::Find(int handle) {
    std::lock_guard guard(tableLock);
    auto it = table.find(handle);
    return it == table.end() ? nullptr : it->second.get();
}

std::unique_ptr<SmtpSession> SessionTable::Take(int handle) {
    std::lock_guard guard(tableLock);
    auto node = table.extract(handle);
    return node.empty() ? nullptr : std::move(node.mapped());
}

SessionTable& Sessions() {
    static SessionTable sessions;
    return sessions;
}

}  // namespace ziromail
