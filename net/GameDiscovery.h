// Finding games on the local network without typing: DNS-SD over mDNS through the system's avahi-daemon.
// A listening server advertises "_gambitron._tcp" with its player's side and the program's version in the
// TXT record; every copy browses for such games and keeps the list current as they come and go. Nothing
// of this travels on a game's own connection. Without a running daemon the list stays empty, and it fills
// once the daemon starts.
#pragma once
#include "AvahiQtPoll.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>

struct AvahiClient;
struct AvahiEntryGroup;
struct AvahiServiceBrowser;

class GameDiscovery : public QObject {
    Q_OBJECT
public:
    struct Game {
        QString Name;    // the advertised name, as people pick it
        QString Address; // where it resolved to
        quint16 Port = 0;
        QString Side; // "white" or "black": the server's player
        QString Version;
    };

    explicit GameDiscovery(QObject* parent = nullptr);
    ~GameDiscovery() override;

    // Advertises a game listening on Port whose server plays white or black; replaces an earlier one.
    void Publish(quint16 Port, bool ServerWhite);
    void Withdraw();
    // The name this copy advertises under (the daemon may have given it another to avoid a clash).
    QString PublishedName() const { return FName; }
    bool Published() const { return FPublished; }

    // The games found so far, sorted by name.
    QList<Game> Games() const { return FGames.values(); }
    // The found game of that name; false when there is none.
    bool Find(const QString& Name, Game& Found) const;

    static constexpr const char* ServiceType = "_gambitron._tcp";

signals:
    void GamesChanged();
    void PublishedChanged();

private:
    void Start();
    void ClientState(int State);
    void CreateGroup();
    void GroupState(int State);
    void Browsed(int Interface, int Protocol, int Event, const char* Name, const char* Type,
                 const char* Domain);
    void Resolved(int Interface, int Protocol, const char* Name, const char* Address, quint16 Port,
                  const QMap<QString, QString>& Txt);
    void Forget(const QString& Instance, const QString& Name);

    friend struct GameDiscoveryCallbacks;

    AvahiQtPoll FPoll;
    AvahiClient* FClient = nullptr;
    AvahiServiceBrowser* FBrowser = nullptr;
    AvahiEntryGroup* FGroup = nullptr;
    bool FWantPublished = false;
    bool FPublished = false;
    quint16 FPort = 0;
    bool FServerWhite = true;
    QString FName;
    QMap<QString, Game> FGames;
    // Which interface and protocol instances each name was seen on; a game goes when its last one does.
    QMap<QString, QSet<QString>> FInstances;
};
