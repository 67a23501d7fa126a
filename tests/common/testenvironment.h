#ifndef TESTENVIRONMENT_H
#define TESTENVIRONMENT_H

#include <QString>

// What every test process starts with, before main() runs (this file's
// object is linked into every test executable):
//
// - a dead address: a TCP port on 127.0.0.1 that the test process itself
//   holds bound but never listens on, for its whole life. A connection to
//   it is refused at once, and no other process can take the port, so a
//   test that expects "nobody answers" never reaches someone else's server
//   (a port that was merely free a moment ago may be taken by then);
// - its own servers file, in which every API, web and MQTT address is that
//   dead address, named by LESSONRY_SERVERS_INI. A test that wants a server
//   starts one (LessonService) and points the client at it; when it stops
//   the client is back on the dead address, never on the shipped
//   servers.ini.
namespace TestEnvironment {

quint16 deadPort();
// "http://127.0.0.1:<deadPort>".
QString deadBaseUrl();

// The servers file above.
QString defaultServersIni();
// Points LESSONRY_SERVERS_INI at defaultServersIni() again.
void restoreDefaultServersIni();

} // namespace TestEnvironment

#endif // TESTENVIRONMENT_H
