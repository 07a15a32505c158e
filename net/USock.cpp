// The address list comes from QNetworkInterface, which has no limit on the number of interfaces.
#include "USock.h"

#include <QNetworkInterface>
#include <QStringList>

QString GetLocalIPAddresses() {
    QStringList addresses;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const QList<QNetworkAddressEntry> entries = iface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) addresses << entry.ip().toString();
        }
    }
    return addresses.join(QLatin1Char(','));
}
