// Finding network play: linked in (the tests), or the module next to the program or where it is installed.
#include "NetworkPlay.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

#include <dlfcn.h>

NetworkPlay* NetworkPlay::Load(TChessBrd& Board, NetworkGameHost& Host, GameDiscovery& Discovery,
                               QObject* Parent, QString& Error) {
    auto make = reinterpret_cast<MakeNetworkPlayFunction>(dlsym(RTLD_DEFAULT, MakeNetworkPlayName));
    if (!make) {
        const QString here = QCoreApplication::applicationDirPath();
        const QString file = QStringLiteral(GAMBITRON_NETPLAY_FILE);
        QStringList failures;
        for (const QString& path :
             {here + QStringLiteral("/" GAMBITRON_NETPLAY_DIR "/") + file, here + u'/' + file}) {
            QLibrary module(path);
            // Every symbol bound now: a module that does not fit this program fails here, not in a game.
            module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
            if (module.load())
                make = reinterpret_cast<MakeNetworkPlayFunction>(module.resolve(MakeNetworkPlayName));
            if (make) break;
            failures << module.errorString();
        }
        if (!make) {
            Error = failures.join(QStringLiteral("; "));
            return nullptr;
        }
    }
    return make(Board, Host, Discovery, Parent);
}
