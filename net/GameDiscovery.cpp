// Avahi client, browser, resolvers and the entry group, all driven from the Qt event loop.
#include "GameDiscovery.h"

#include "ProgramStart.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-client/publish.h>
#include <avahi-common/address.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

#include <QCoreApplication>
#include <QPointer>
#include <net/if.h>

#include <QSysInfo>
#include <cstdio>
#include <cstring>
#include <utility>

struct GameDiscoveryCallbacks {
    static void Client(AvahiClient* c, AvahiClientState State, void* Self) {
        auto* d = static_cast<GameDiscovery*>(Self);
        // The first report comes from inside avahi_client_new, before FClient is set.
        d->FClient = c;
        d->ClientState(State);
    }
    static void Group(AvahiEntryGroup*, AvahiEntryGroupState State, void* Self) {
        static_cast<GameDiscovery*>(Self)->GroupState(State);
    }
    static void Browse(AvahiServiceBrowser*, AvahiIfIndex Interface, AvahiProtocol Protocol,
                       AvahiBrowserEvent Event, const char* Name, const char* Type, const char* Domain,
                       AvahiLookupResultFlags, void* Self) {
        static_cast<GameDiscovery*>(Self)->Browsed(Interface, Protocol, Event, Name, Type, Domain);
    }
    static void Resolve(AvahiServiceResolver* r, AvahiIfIndex Interface, AvahiProtocol Protocol,
                        AvahiResolverEvent Event, const char* Name, const char*, const char*, const char*,
                        const AvahiAddress* Address, uint16_t Port, AvahiStringList* Txt,
                        AvahiLookupResultFlags, void* Self) {
        if (Event == AVAHI_RESOLVER_FOUND && Address) {
            char text[AVAHI_ADDRESS_STR_MAX + IF_NAMESIZE + 1];
            avahi_address_snprint(text, AVAHI_ADDRESS_STR_MAX, Address);
            // A link-local IPv6 address is of use only with the interface it was seen on.
            char interfaceName[IF_NAMESIZE];
            if (Address->proto == AVAHI_PROTO_INET6 && std::strncmp(text, "fe80:", 5) == 0 &&
                if_indextoname(static_cast<unsigned>(Interface), interfaceName))
                std::snprintf(text + std::strlen(text), IF_NAMESIZE + 1, "%%%s", interfaceName);
            QMap<QString, QString> txt;
            for (AvahiStringList* i = Txt; i; i = avahi_string_list_get_next(i)) {
                char* key = nullptr;
                char* value = nullptr;
                if (avahi_string_list_get_pair(i, &key, &value, nullptr) == 0) {
                    txt.insert(QString::fromUtf8(key), value ? QString::fromUtf8(value) : QString());
                    avahi_free(key);
                    avahi_free(value);
                }
            }
            static_cast<GameDiscovery*>(Self)->Resolved(Interface, Protocol, Name, text, Port, txt);
        }
        avahi_service_resolver_free(r);
    }
};

namespace {

QString InstanceKey(int Interface, int Protocol, const char* Domain) {
    return QStringLiteral("%1/%2/%3").arg(Interface).arg(Protocol).arg(QString::fromUtf8(Domain));
}

} // namespace

GameDiscovery::GameDiscovery(QObject* parent) : QObject(parent) {
    // Reaching the daemon takes round trips over the system bus, which the window need not wait for: the
    // search starts once it is on screen. An advertisement asked for before then is made when it starts.
    AfterFirstPaint([self = QPointer<GameDiscovery>(this)] {
        if (self && !self->FClient) self->Start();
    });
}

GameDiscovery::~GameDiscovery() {
    // Freeing the client frees its browser, resolvers and entry group with it.
    if (FClient) avahi_client_free(FClient);
}

void GameDiscovery::Start() {
    int error = 0;
    // Without a daemon the client waits for one instead of failing.
    AvahiClient* c =
        avahi_client_new(FPoll.Api(), AVAHI_CLIENT_NO_FAIL, GameDiscoveryCallbacks::Client, this, &error);
    if (!c) {
        // Said once per run: a machine without the system bus or daemon simply finds no games.
        static bool told = false;
        if (!std::exchange(told, true)) qInfo("gambitron: no game discovery: %s", avahi_strerror(error));
        return;
    }
    FClient = c;
}

void GameDiscovery::ClientState(int State) {
    switch (State) {
    case AVAHI_CLIENT_S_RUNNING:
        if (!FBrowser)
            FBrowser = avahi_service_browser_new(FClient, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, ServiceType,
                                                 nullptr, static_cast<AvahiLookupFlags>(0),
                                                 GameDiscoveryCallbacks::Browse, this);
        if (FWantPublished && !FGroup) CreateGroup();
        break;
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_S_REGISTERING:
        // The host name is being settled; the advertisement is made again once it is.
        if (FGroup) avahi_entry_group_reset(FGroup);
        break;
    case AVAHI_CLIENT_CONNECTING:
    case AVAHI_CLIENT_FAILURE:
        // The daemon went away: what it told us no longer holds, and its objects are gone with it.
        FBrowser = nullptr;
        FGroup = nullptr;
        FInstances.clear();
        if (!FGames.isEmpty()) {
            FGames.clear();
            emit GamesChanged();
        }
        if (FPublished) {
            FPublished = false;
            emit PublishedChanged();
        }
        if (State == AVAHI_CLIENT_FAILURE && FClient) {
            avahi_client_free(FClient);
            FClient = nullptr;
            QMetaObject::invokeMethod(
                this, [this] { Start(); }, Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
}

void GameDiscovery::Publish(quint16 Port, bool ServerWhite) {
    FWantPublished = true;
    FPort = Port;
    FServerWhite = ServerWhite;
    if (FName.isEmpty())
        FName = //: The name this game is announced under on the local network; %1 is the computer's name.
            tr("Gambitron на %1").arg(QSysInfo::machineHostName());
    if (FGroup) avahi_entry_group_reset(FGroup);
    if (FClient && avahi_client_get_state(FClient) == AVAHI_CLIENT_S_RUNNING) CreateGroup();
}

void GameDiscovery::Withdraw() {
    FWantPublished = false;
    if (FGroup) avahi_entry_group_reset(FGroup);
    if (FPublished) {
        FPublished = false;
        emit PublishedChanged();
    }
}

void GameDiscovery::CreateGroup() {
    if (!FGroup) FGroup = avahi_entry_group_new(FClient, GameDiscoveryCallbacks::Group, this);
    if (!FGroup) return;
    const QByteArray side = QByteArrayLiteral("side=") + (FServerWhite ? "white" : "black");
    const QByteArray version = "version=" + QCoreApplication::applicationVersion().toUtf8();
    int r = AVAHI_ERR_COLLISION;
    // A name another copy already uses gets a number, "Gambitron на host #2", until it is free.
    for (int tries = 0; r == AVAHI_ERR_COLLISION && tries < 20; ++tries) {
        r = avahi_entry_group_add_service(FGroup, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                          static_cast<AvahiPublishFlags>(0), FName.toUtf8().constData(),
                                          ServiceType, nullptr, nullptr, FPort, side.constData(),
                                          version.constData(), nullptr);
        if (r == AVAHI_ERR_COLLISION) {
            char* other = avahi_alternative_service_name(FName.toUtf8().constData());
            FName = QString::fromUtf8(other);
            avahi_free(other);
        }
    }
    if (r < 0 || avahi_entry_group_commit(FGroup) < 0)
        qInfo("gambitron: the game is not advertised: %s", avahi_strerror(avahi_client_errno(FClient)));
}

void GameDiscovery::GroupState(int State) {
    if (State == AVAHI_ENTRY_GROUP_ESTABLISHED) {
        FPublished = true;
        emit PublishedChanged();
    } else if (State == AVAHI_ENTRY_GROUP_COLLISION) {
        char* other = avahi_alternative_service_name(FName.toUtf8().constData());
        FName = QString::fromUtf8(other);
        avahi_free(other);
        avahi_entry_group_reset(FGroup);
        CreateGroup();
    }
}

void GameDiscovery::Browsed(int Interface, int Protocol, int Event, const char* Name, const char* Type,
                            const char* Domain) {
    if (Event == AVAHI_BROWSER_NEW) {
        // The resolver frees itself once it has answered.
        avahi_service_resolver_new(FClient, Interface, Protocol, Name, Type, Domain, AVAHI_PROTO_UNSPEC,
                                   static_cast<AvahiLookupFlags>(0), GameDiscoveryCallbacks::Resolve, this);
    } else if (Event == AVAHI_BROWSER_REMOVE) {
        Forget(InstanceKey(Interface, Protocol, Domain), QString::fromUtf8(Name));
    }
}

void GameDiscovery::Resolved(int Interface, int Protocol, const char* Name, const char* Address, quint16 Port,
                             const QMap<QString, QString>& Txt) {
    Game game;
    game.Name = QString::fromUtf8(Name);
    game.Address = QString::fromLatin1(Address);
    game.Port = Port;
    game.Side = Txt.value(QStringLiteral("side"));
    game.Version = Txt.value(QStringLiteral("version"));
    FInstances[game.Name].insert(InstanceKey(Interface, Protocol, "local"));
    const auto known = FGames.constFind(game.Name);
    if (known != FGames.cend() && known->Address == game.Address && known->Port == game.Port &&
        known->Side == game.Side)
        return;
    FGames.insert(game.Name, game);
    emit GamesChanged();
}

void GameDiscovery::Forget(const QString& Instance, const QString& Name) {
    auto instances = FInstances.find(Name);
    if (instances == FInstances.end()) return;
    instances->remove(Instance);
    if (!instances->isEmpty()) return;
    FInstances.erase(instances);
    if (FGames.remove(Name)) emit GamesChanged();
}

bool GameDiscovery::Find(const QString& Name, Game& Found) const {
    const auto it = FGames.constFind(Name);
    if (it == FGames.cend()) return false;
    Found = *it;
    return true;
}
