#include "test_support.h"

#include <cstdio>

namespace tessaron::device::testing {

namespace {

std::string hex(std::uint8_t b) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

int gapAfterSend(std::uint8_t code) {
    switch (code) {
        case 0x01:
        case 0x04:
        case 0x08:
        case 0x0E:
            return 10;
        case 0x09:
        case 0x14:
            return 20;
        case 0x0D:
            return 50;
        case 0x11:
            return 1;
        case 0x12:
        case 0x92:
            return 5;
        case 0x13:
            return 300;
        case 0x80:
        case 0x81:
        case 0x84:
        case 0x88:
            return 10;
        case 0x89:
            return 5;
        case 0x94:
            return 1;
        default:
            return 0;
    }
}

int gapAfterFetch(std::uint8_t code) {
    switch (code) {
        case 0x80:
        case 0x81:
        case 0x84:
            return 10;
        case 0x94:
            return 1;
        case 0x92:
            return 5;
        default:
            return 0;
    }
}

}  // namespace

std::vector<std::string> summary(const std::vector<Op>& log) {
    std::vector<std::string> out;
    for (const auto& op : log) {
        switch (op.kind) {
            case OpKind::Send:
                out.push_back("S" + hex(op.frame[1]));
                break;
            case OpKind::Fetch:
                out.push_back("f");
                break;
            case OpKind::Write:
                out.push_back("w");
                break;
            case OpKind::Read:
                out.push_back("r");
                break;
            case OpKind::AckWait:
                out.push_back("ack");
                break;
        }
    }
    return out;
}

std::chrono::milliseconds minimumGapAfter(const std::vector<Op>& log, std::size_t i) {
    // The command in force and the number of pages moved since it was sent.
    std::uint8_t code = 0;
    std::size_t pages = 0;
    for (std::size_t k = 0; k <= i; ++k) {
        if (log[k].kind == OpKind::Send) {
            code = log[k].frame[1];
            pages = 0;
        } else if (log[k].kind == OpKind::Write || log[k].kind == OpKind::Read) {
            ++pages;
        }
    }
    int ms = 0;
    switch (log[i].kind) {
        case OpKind::Send:
            ms = gapAfterSend(code);
            break;
        case OpKind::Fetch:
            ms = gapAfterFetch(code);
            break;
        case OpKind::Write:
            if (code == 0x0D && pages == 8) ms = 60;
            if (code == 0x12) ms = 5;
            break;
        case OpKind::Read:
            if (code == 0x92) ms = 5;
            break;
        case OpKind::AckWait:
            break;
    }
    return std::chrono::milliseconds(ms);
}

long firstTooSoon(const std::vector<Op>& log) {
    for (std::size_t i = 0; i + 1 < log.size(); ++i) {
        if (log[i + 1].at - log[i].at < minimumGapAfter(log, i)) return static_cast<long>(i);
    }
    return -1;
}

}  // namespace tessaron::device::testing
