// lessonry-fuzz as a libFuzzer target (the clang build): libFuzzer's own
// options and corpus folders, e.g.
//   QT_QPA_PLATFORM=offscreen lessonry-fuzz -max_len=524288 corpus/

#include "fuzztarget.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

namespace {

FuzzTarget *g_target = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: libFuzzer ends the process with exit(), and the
    // board's windows must not outlive their application.
    new QApplication(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false\n*.warning=false\n*.critical=false"));
    g_target = new FuzzTarget; // lives as long as the process
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A receiver that hangs is a finding like a crash.
    if (!g_target->run(QByteArray(reinterpret_cast<const char *>(data), int(size))))
        __builtin_trap();
    return 0;
}
