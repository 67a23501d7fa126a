#ifndef TESTUTIL_H
#define TESTUTIL_H

#include <QString>

namespace TestUtil {

// A TCP port on 127.0.0.1 that was free a moment ago.
quint16 freeTcpPort();

// Folder of the built binaries (the client's installation folder).
QString binDir();

} // namespace TestUtil

#endif // TESTUTIL_H
