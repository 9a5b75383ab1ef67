#pragma once

#include <QStringList>
#include <QTextStream>

namespace kirvan {

// kirvan-tool watch --server HOST:PORT [--prefix P] [--user U] [--tls CA] [--json] [--count N]:
// a monitoring station's console. Prints the events of the workstations under the prefix
// (default "kirvan/+", every workstation of the default prefixes) as they come, each once, as the
// journal line or as the JSON message; the link's state goes to `err`. The password of --user is
// taken from the environment variable KIRVAN_MQTT_PASSWORD. Runs until SIGINT, SIGTERM or SIGHUP,
// or until N events have been printed.
int runWatchCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace kirvan
