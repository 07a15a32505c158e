// The watch and timeout objects Avahi asks for. A callback may free its own watch or timeout, so nothing
// of it is touched after the callback returns; the Qt objects inside are deleted later for that reason.
#include "AvahiQtPoll.h"

#include <avahi-common/timeval.h>

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

struct AvahiWatch {
    int Fd = -1;
    AvahiWatchCallback Callback = nullptr;
    void* UserData = nullptr;
    AvahiWatchEvent Happened = static_cast<AvahiWatchEvent>(0);
    QSocketNotifier* Read = nullptr;
    QSocketNotifier* Write = nullptr;
};

struct AvahiTimeout {
    AvahiTimeoutCallback Callback = nullptr;
    void* UserData = nullptr;
    QTimer* Timer = nullptr;
};

namespace {

void Update(AvahiWatch* w, AvahiWatchEvent Events) {
    w->Read->setEnabled(Events & (AVAHI_WATCH_IN | AVAHI_WATCH_HUP | AVAHI_WATCH_ERR));
    w->Write->setEnabled(Events & AVAHI_WATCH_OUT);
}

AvahiWatch* WatchNew(const AvahiPoll*, int Fd, AvahiWatchEvent Events, AvahiWatchCallback Callback,
                     void* UserData) {
    auto* w = new AvahiWatch;
    w->Fd = Fd;
    w->Callback = Callback;
    w->UserData = UserData;
    w->Read = new QSocketNotifier(Fd, QSocketNotifier::Read);
    w->Write = new QSocketNotifier(Fd, QSocketNotifier::Write);
    QObject::connect(w->Read, &QSocketNotifier::activated, w->Read, [w] {
        w->Happened = AVAHI_WATCH_IN;
        w->Callback(w, w->Fd, AVAHI_WATCH_IN, w->UserData);
    });
    QObject::connect(w->Write, &QSocketNotifier::activated, w->Write, [w] {
        w->Happened = AVAHI_WATCH_OUT;
        w->Callback(w, w->Fd, AVAHI_WATCH_OUT, w->UserData);
    });
    Update(w, Events);
    return w;
}

void WatchUpdate(AvahiWatch* w, AvahiWatchEvent Events) {
    Update(w, Events);
}

AvahiWatchEvent WatchGetEvents(AvahiWatch* w) {
    return w->Happened;
}

void WatchFree(AvahiWatch* w) {
    for (QSocketNotifier* n : {w->Read, w->Write}) {
        n->setEnabled(false);
        n->disconnect();
        n->deleteLater();
    }
    delete w;
}

void Arm(AvahiTimeout* t, const struct timeval* When) {
    if (!When) {
        t->Timer->stop();
        return;
    }
    // avahi_age is how long ago When was, in microseconds: negative for a time still to come.
    const AvahiUsec age = avahi_age(When);
    t->Timer->start(static_cast<int>(std::clamp<AvahiUsec>(-age / 1000, 0, 24 * 3600 * 1000)));
}

AvahiTimeout* TimeoutNew(const AvahiPoll*, const struct timeval* When, AvahiTimeoutCallback Callback,
                         void* UserData) {
    auto* t = new AvahiTimeout;
    t->Callback = Callback;
    t->UserData = UserData;
    t->Timer = new QTimer;
    t->Timer->setSingleShot(true);
    QObject::connect(t->Timer, &QTimer::timeout, t->Timer, [t] { t->Callback(t, t->UserData); });
    Arm(t, When);
    return t;
}

void TimeoutUpdate(AvahiTimeout* t, const struct timeval* When) {
    Arm(t, When);
}

void TimeoutFree(AvahiTimeout* t) {
    t->Timer->stop();
    t->Timer->disconnect();
    t->Timer->deleteLater();
    delete t;
}

} // namespace

AvahiQtPoll::AvahiQtPoll() {
    FApi.userdata = this;
    FApi.watch_new = WatchNew;
    FApi.watch_update = WatchUpdate;
    FApi.watch_get_events = WatchGetEvents;
    FApi.watch_free = WatchFree;
    FApi.timeout_new = TimeoutNew;
    FApi.timeout_update = TimeoutUpdate;
    FApi.timeout_free = TimeoutFree;
}
