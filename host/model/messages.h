// The host's message log: what plug-ins sent with fxMessageSend and what the host itself reports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "korrin_host_services.h"

namespace vhost {

struct Message {
    KorrinItem item = 0;
    std::string source;
    int32_t code = 0;
    std::string text;
    std::string kind;
};

struct MessageLog {
    std::vector<Message> entries;
    void add(KorrinItem item, std::string source, int32_t code, std::string text, std::string kind) {
        entries.push_back(Message{item, std::move(source), code, std::move(text), std::move(kind)});
    }
    // Messages the simulated host reports about itself (unknown expressions, unimplemented services).
    // Contract: clients and tests tell the host's own messages by this source and kind.
    void host(std::string text) { add(0, "host", 0, std::move(text), "Host"); }
};

}  // namespace vhost
