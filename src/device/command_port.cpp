#include "device/command_port.h"

namespace tessaron::device {

Status CommandPort::send(const FeatureFrame& frame) {
    const FrameBytes bytes = frame.bytes();
    if (trace_) trace_->report(TraceDirection::Sent, "frame", bytes);
    return channel_.sendFeature(bytes);
}

Result<FrameBytes> CommandPort::fetch() {
    auto reply = channel_.getFeature();
    if (trace_) {
        if (reply) {
            trace_->report(TraceDirection::Received, "reply", *reply);
        } else {
            trace_->note("reply failed: " + reply.error().english);
        }
    }
    return reply;
}

Status CommandPort::writePage(const Page& page) {
    if (trace_) trace_->report(TraceDirection::Sent, "page", page);
    return channel_.writePage(page);
}

Result<Page> CommandPort::readPage() {
    auto page = channel_.readPage(kPageReadTimeout);
    if (trace_) {
        if (page) {
            trace_->report(TraceDirection::Received, "page", *page);
        } else {
            trace_->note("page read failed: " + page.error().english);
        }
    }
    return page;
}

}  // namespace tessaron::device
