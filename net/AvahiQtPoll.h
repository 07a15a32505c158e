// Avahi's client library on the Qt event loop: its AvahiPoll interface (watch a descriptor, call back at a
// time) made of QSocketNotifier and QTimer, so that discovery needs no thread and no polling of its own.
#pragma once
#include <avahi-common/watch.h>

class AvahiQtPoll {
public:
    AvahiQtPoll();
    AvahiQtPoll(const AvahiQtPoll&) = delete;
    AvahiQtPoll& operator=(const AvahiQtPoll&) = delete;
    const AvahiPoll* Api() const { return &FApi; }

private:
    AvahiPoll FApi{};
};
