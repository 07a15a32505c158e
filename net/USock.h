// This machine's IPv4 addresses, which the server's player reads out to the opponent.
#pragma once
#include <QString>

// Every IPv4 address of every interface, loopback included, in the order the system gives, joined by
// commas; empty when the system lists none.
QString GetLocalIPAddresses();
