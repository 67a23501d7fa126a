#include "crashdumpwriter.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cxxabi.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <mutex>
#include <semaphore.h>
#include <sys/syscall.h>
#include <typeinfo>
#include <ucontext.h>
#include <unistd.h>

namespace {

// ---- Prepared names ---------------------------------------------------------

struct Prepared
{
    char dumpFolder[CrashDumpWriter::kMaxPath];
    char messageLog[CrashDumpWriter::kMaxPath];
    char actionLog[CrashDumpWriter::kMaxPath];
    char version[CrashDumpWriter::kMaxNamePart];
    char possibleId[CrashDumpWriter::kMaxNamePart];
};

// Two copies: a setter fills the one not in use and then switches, so a
// crash on another thread always reads a complete set.
Prepared g_prepared[2];
std::atomic<int> g_activePrepared{ 0 };
std::mutex g_setterMutex; // setters only; never taken on the crash path

std::atomic<std::int64_t> g_actionTimeOffsetMs{ 0 };
std::atomic<long> g_localOffsetSecs{ 0 };
std::atomic<long> g_logClockOffsetSecs{ 8 * 3600 };
// Tests: every write of a dump fails as on a full disk.
std::atomic<bool> g_failWrites{ false };

const Prepared &prepared()
{
    return g_prepared[g_activePrepared.load(std::memory_order_acquire)];
}

void copyText(char *to, std::size_t size, const char *from)
{
    std::size_t length = from ? std::strlen(from) : 0;
    if (length >= size)
        length = size - 1;
    if (length)
        std::memcpy(to, from, length);
    to[length] = '\0';
}

template <typename Change>
void changePrepared(Change change)
{
    std::lock_guard<std::mutex> lock(g_setterMutex);
    const int active = g_activePrepared.load(std::memory_order_relaxed);
    Prepared &next = g_prepared[1 - active];
    next = g_prepared[active];
    change(next);
    g_activePrepared.store(1 - active, std::memory_order_release);
}

// ---- Async-signal-safe formatting -------------------------------------------

// Writes value in decimal, at least width digits (zero-padded), one
// character at a time through put.
template <typename Put>
void writeDecimal(std::int64_t value, int width, Put put)
{
    char digits[24];
    std::uint64_t v = value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
    int n = 0;
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    while (n < width && n < 24)
        digits[n++] = '0';
    if (value < 0)
        put('-');
    while (n)
        put(digits[--n]);
}

// Buffered writes to one file descriptor, formatted without the C library's
// stdio (neither locks nor allocation).
class Out
{
public:
    // dump: the dump file itself, whose writes the test seam can fail.
    explicit Out(int fd, bool dump = false)
        : m_fd(fd)
        , m_dump(dump)
    {
    }
    ~Out() { flush(); }

    Out &text(const char *s)
    {
        while (s && *s)
            put(*s++);
        return *this;
    }
    Out &text(const char *s, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i)
            put(s[i]);
        return *this;
    }
    // At least width digits, zero-padded.
    Out &dec(std::int64_t value, int width = 0)
    {
        writeDecimal(value, width, [this](char c) { put(c); });
        return *this;
    }
    Out &hex(std::uint64_t value, int width = 16)
    {
        static const char kDigits[] = "0123456789abcdef";
        char digits[16];
        int n = 0;
        do {
            digits[n++] = kDigits[value & 0xf];
            value >>= 4;
        } while (value && n < 16);
        while (n < width && n < 16)
            digits[n++] = '0';
        text("0x");
        while (n)
            put(digits[--n]);
        return *this;
    }
    void flush()
    {
        std::size_t done = 0;
        while (done < m_used && !m_failed) {
            const ssize_t written = m_dump && g_failWrites.load() ? (errno = ENOSPC, -1)
                                                        : ::write(m_fd, m_buffer + done, m_used - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                m_error = written < 0 ? errno : EIO;
                m_failed = true;
                break;
            }
            done += std::size_t(written);
        }
        m_used = 0;
    }
    // A write failed (a full disk, say): the rest of the file is missing.
    bool failed() const { return m_failed; }
    int error() const { return m_error; }

private:
    void put(char c)
    {
        if (m_used == sizeof(m_buffer))
            flush();
        m_buffer[m_used++] = c;
    }

    int m_fd;
    bool m_dump;
    char m_buffer[2048];
    std::size_t m_used = 0;
    bool m_failed = false;
    int m_error = 0;
};

// Formats into a fixed character array; reports overflow instead of cutting.
class Text
{
public:
    Text(char *buffer, std::size_t size)
        : m_buffer(buffer)
        , m_size(size)
    {
        if (m_size)
            m_buffer[0] = '\0';
    }
    Text &add(const char *s)
    {
        while (s && *s)
            put(*s++);
        return *this;
    }
    Text &add(const char *s, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i)
            put(s[i]);
        return *this;
    }
    Text &dec(std::int64_t value, int width = 0)
    {
        writeDecimal(value, width, [this](char c) { put(c); });
        return *this;
    }
    // Length written, or 0 when it did not fit.
    std::size_t finish() const { return m_overflow || !m_size ? 0 : m_used; }

private:
    void put(char c)
    {
        if (m_used + 1 >= m_size) {
            m_overflow = true;
            return;
        }
        m_buffer[m_used++] = c;
        m_buffer[m_used] = '\0';
    }

    char *m_buffer;
    std::size_t m_size;
    std::size_t m_used = 0;
    bool m_overflow = false;
};

struct CivilTime
{
    std::int64_t year;
    int month, day, hour, minute, second;
};

// Days-to-date conversion of the proleptic Gregorian calendar (no tables,
// no time-zone files: usable in a signal handler).
CivilTime civilTime(std::int64_t seconds)
{
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    CivilTime t;
    t.day = int(dayOfYear - (153 * mp + 2) / 5 + 1);
    t.month = int(mp < 10 ? mp + 3 : mp - 9);
    t.year = yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0);
    t.hour = int(rest / 3600);
    t.minute = int(rest / 60 % 60);
    t.second = int(rest % 60);
    return t;
}

std::int64_t nowMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

const char *signalName(int signalNumber)
{
    switch (signalNumber) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    case SIGABRT: return "SIGABRT";
    case SIGSYS: return "SIGSYS";
    default: return "signal";
    }
}

const int kFatalSignals[] = { SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGSYS };

// ---- Modules ----------------------------------------------------------------

// A copy of /proc/self/maps, read when a dump is written.
char g_maps[1 << 20];
std::size_t g_mapsLength = 0;

void readMaps()
{
    g_mapsLength = 0;
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    for (;;) {
        if (g_mapsLength == sizeof(g_maps))
            break;
        const ssize_t got = ::read(fd, g_maps + g_mapsLength, sizeof(g_maps) - g_mapsLength);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        g_mapsLength += std::size_t(got);
    }
    ::close(fd);
}

std::uint64_t parseHex(const char *&p, const char *end)
{
    std::uint64_t value = 0;
    for (; p < end; ++p) {
        const char c = *p;
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            break;
        value = value * 16 + std::uint64_t(digit);
    }
    return value;
}

struct MapLine
{
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::uint64_t offset = 0;
    const char *path = nullptr; // not terminated; pathLength characters
    std::size_t pathLength = 0;
};

// Walks the copied maps line by line.
bool nextMapLine(std::size_t &position, MapLine &line)
{
    while (position < g_mapsLength) {
        const char *begin = g_maps + position;
        const char *stop = static_cast<const char *>(std::memchr(begin, '\n', g_mapsLength - position));
        const char *lineEnd = stop ? stop : g_maps + g_mapsLength;
        position = std::size_t(lineEnd - g_maps) + 1;

        const char *p = begin;
        line = MapLine();
        line.start = parseHex(p, lineEnd);
        if (p >= lineEnd || *p != '-')
            continue;
        ++p;
        line.end = parseHex(p, lineEnd);
        // " perms offset dev inode   path"
        auto skipBlanks = [&p, lineEnd] {
            while (p < lineEnd && *p == ' ')
                ++p;
        };
        auto skipToken = [&p, lineEnd] {
            while (p < lineEnd && *p != ' ')
                ++p;
        };
        skipBlanks();
        skipToken(); // permissions
        skipBlanks();
        line.offset = parseHex(p, lineEnd);
        skipToken();
        skipBlanks();
        skipToken(); // device
        skipBlanks();
        skipToken(); // inode
        skipBlanks();
        line.path = p;
        line.pathLength = std::size_t(lineEnd - p);
        return true;
    }
    return false;
}

bool samePath(const MapLine &a, const MapLine &b)
{
    return a.pathLength == b.pathLength && a.pathLength && !std::memcmp(a.path, b.path, a.pathLength);
}

// The module of an address and the address relative to the module's load
// base (its first mapping), the value addr2line takes for a shared object
// or a position-independent executable.
bool findModule(std::uint64_t address, MapLine &module, std::uint64_t &relative)
{
    std::size_t position = 0;
    MapLine line;
    bool found = false;
    while (nextMapLine(position, line)) {
        if (address >= line.start && address < line.end) {
            module = line;
            found = true;
            break;
        }
    }
    if (!found || !module.pathLength || module.path[0] != '/')
        return false;
    std::uint64_t base = module.start - module.offset;
    position = 0;
    while (nextMapLine(position, line)) {
        if (samePath(line, module) && line.offset == 0) {
            base = line.start;
            break;
        }
    }
    relative = address - base;
    return true;
}

// ---- Machine state ----------------------------------------------------------

std::uint64_t programCounter(const void *userContext)
{
    if (!userContext)
        return 0;
    const ucontext_t *uc = static_cast<const ucontext_t *>(userContext);
#if defined(__x86_64__)
    return std::uint64_t(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return std::uint64_t(uc->uc_mcontext.pc);
#else
    (void)uc;
    return 0;
#endif
}

void writeRegisters(Out &out, const void *userContext)
{
    out.text("registers:\n");
    if (!userContext) {
        out.text("  not recorded\n");
        return;
    }
    const ucontext_t *uc = static_cast<const ucontext_t *>(userContext);
#if defined(__x86_64__)
    static const struct
    {
        const char *name;
        int index;
    } kRegisters[] = {
        { "rip", REG_RIP }, { "rsp", REG_RSP }, { "rbp", REG_RBP }, { "rax", REG_RAX },
        { "rbx", REG_RBX }, { "rcx", REG_RCX }, { "rdx", REG_RDX }, { "rsi", REG_RSI },
        { "rdi", REG_RDI }, { "r8", REG_R8 },   { "r9", REG_R9 },   { "r10", REG_R10 },
        { "r11", REG_R11 }, { "r12", REG_R12 }, { "r13", REG_R13 }, { "r14", REG_R14 },
        { "r15", REG_R15 }, { "eflags", REG_EFL },
    };
    int column = 0;
    for (const auto &reg : kRegisters) {
        out.text("  ").text(reg.name).text(" ").hex(std::uint64_t(uc->uc_mcontext.gregs[reg.index]));
        if (++column == 4) {
            out.text("\n");
            column = 0;
        }
    }
    if (column)
        out.text("\n");
#elif defined(__aarch64__)
    out.text("  pc ").hex(uc->uc_mcontext.pc).text("  sp ").hex(uc->uc_mcontext.sp).text("\n");
    for (int i = 0; i < 31; ++i) {
        out.text("  x").dec(i).text(" ").hex(uc->uc_mcontext.regs[i]);
        if (i % 4 == 3 || i == 30)
            out.text("\n");
    }
#else
    (void)uc;
    out.text("  not recorded on this processor\n");
#endif
}

const int kMaxFrames = 128;

// Frames from the handler's own backtrace, starting at the interrupted
// instruction when it can be found (the frames above it are the handler's).
void writeBacktrace(Out &out, void *const *frames, int count, const void *userContext)
{
    const std::uint64_t pc = programCounter(userContext);
    int first = 0;
    for (int i = 0; i < count; ++i) {
        if (pc && std::uint64_t(reinterpret_cast<std::uintptr_t>(frames[i])) == pc) {
            first = i;
            break;
        }
    }
    out.text("backtrace:\n");
    if (count <= 0)
        out.text("  not recorded\n");
    for (int i = first; i < count; ++i) {
        const std::uint64_t address = std::uint64_t(reinterpret_cast<std::uintptr_t>(frames[i]));
        out.text("  #").dec(i - first).text(" ").hex(address);
        MapLine module;
        std::uint64_t relative = 0;
        if (findModule(address, module, relative))
            out.text(" ").text(module.path, module.pathLength).text(" +").hex(relative, 1);
        else
            out.text(" ?");
        out.text("\n");
    }
}

// ---- Dump file --------------------------------------------------------------

char g_exceptionType[512];
char g_exceptionWhat[1024];
std::atomic<bool> g_haveException{ false };

struct DumpState
{
    const char *kind = "";
    std::int64_t seconds = 0;
    long pid = 0;
    long writerTid = 0;
    long stackTid = 0; // the thread whose stack is shown
    const CrashSignalContext *signal = nullptr;
    const void *userContext = nullptr;
    void *const *frames = nullptr;
    int frameCount = 0;
    const char *note = nullptr;
};

// 0, or the errno of the write that failed.
int writeDumpBody(int fd, const DumpState &state)
{
    const Prepared &names = prepared();
    readMaps();
    Out out(fd, true);
    out.text("Lessonry dump 1\n");
    out.text("kind: ").text(state.kind).text("\n");
    out.text("version: ").text(names.version).text("\n");
    out.text("possible id: ").text(names.possibleId).text("\n");
    out.text("pid: ").dec(state.pid).text("\n");
    out.text("writer thread: ").dec(state.writerTid).text("\n");
    out.text("time: ").dec(state.seconds).text("\n");
    if (state.signal) {
        const int number = state.signal->signalNumber;
        out.text("signal: ").dec(number).text(" ").text(signalName(number)).text("\n");
        if (state.signal->info) {
            out.text("code: ").dec(state.signal->info->si_code).text("\n");
            out.text("fault address: ")
                .hex(std::uint64_t(reinterpret_cast<std::uintptr_t>(state.signal->info->si_addr)))
                .text("\n");
        }
    } else {
        out.text("signal: none\n");
    }
    if (g_haveException.load(std::memory_order_acquire)) {
        out.text("exception: ").text(g_exceptionType).text("\n");
        if (g_exceptionWhat[0])
            out.text("what: ").text(g_exceptionWhat).text("\n");
    }
    if (state.note)
        out.text("note: ").text(state.note).text("\n");
    out.text("thread: ").dec(state.stackTid).text("\n");
    writeRegisters(out, state.userContext);
    writeBacktrace(out, state.frames, state.frameCount, state.userContext);
    out.text("modules:\n");
    out.text(g_maps, g_mapsLength);
    if (g_mapsLength && g_maps[g_mapsLength - 1] != '\n')
        out.text("\n");
    out.text("end\n");
    out.flush();
    return out.failed() ? out.error() : 0;
}

// The hidden name a dump is written under until it is whole: "." before
// its file name and ".part" after it, so nothing takes it for a dump (the
// upload sends "velmo_*") while it is being written.
bool dumpTempPath(char *out, std::size_t size, const char *path)
{
    const char *slash = std::strrchr(path, '/');
    const std::size_t folderLength = slash ? std::size_t(slash - path + 1) : 0;
    Text text(out, size);
    text.add(path, folderLength).add(".").add(path + folderLength).add(".part");
    return text.finish() != 0;
}

// Writes the dump under its hidden name, then gives it its own name: a
// dump cut short (a full disk) leaves no file behind. 0, or an errno.
int writeWholeDump(const char *path, const DumpState &state)
{
    char tempPath[CrashDumpWriter::kMaxPath + CrashDumpWriter::kMaxNamePart * 3 + 8];
    if (!dumpTempPath(tempPath, sizeof(tempPath), path))
        return ENAMETOOLONG;
    const int fd = ::open(tempPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = writeDumpBody(fd, state);
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(tempPath, path) != 0)
        error = errno;
    if (error)
        ::unlink(tempPath);
    return error;
}

// One line of the message log, in the logger's own layout; tail (when
// given) closes the line after the detail.
void appendLogLine(const char *message, const char *detail, std::int64_t detailNumber, bool withNumber,
                   const char *tail = nullptr)
{
    const Prepared &names = prepared();
    if (!names.messageLog[0])
        return;
    const int fd = ::open(names.messageLog, O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    const std::int64_t ms = nowMilliseconds();
    const CivilTime t = civilTime(ms / 1000 + g_logClockOffsetSecs.load());
    {
        Out out(fd);
        out.text("\n").dec(ms).text(" ");
        out.dec(t.year, 4).dec(t.month, 2).dec(t.day, 2).text(" ");
        out.dec(t.hour, 2).text(":").dec(t.minute, 2).text(":").dec(t.second, 2).text(".").dec(ms % 1000, 3);
        out.text(" - E - ").dec(std::int64_t(pthread_self())).text(" - CrashDumpWriter::writeCrashDump:0 - ");
        out.text(message);
        if (detail)
            out.text(detail);
        if (withNumber)
            out.dec(detailNumber);
        if (tail)
            out.text(tail);
        out.text("\n");
    }
    ::close(fd);
}

void appendCrashRecord(const char *dumpName)
{
    const Prepared &names = prepared();
    appendLogLine("actionError -> actionName:app_crash, actionInfo:{dumpFileName:", dumpName, 0, false, "}");
    if (!names.actionLog[0])
        return;
    const int fd = ::open(names.actionLog, O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    {
        Out out(fd);
        out.text("\nerror,1,").text(names.version).text(",").dec(nowMilliseconds() + g_actionTimeOffsetMs.load());
        out.text(",app_crash,{dumpFileName:").text(dumpName).text("}");
    }
    ::close(fd);
}

// Joins folder and name into out; false when it does not fit.
bool joinPath(char *out, std::size_t size, const char *folder, const char *name)
{
    Text text(out, size);
    text.add(folder);
    const std::size_t folderLength = std::strlen(folder);
    if (folderLength && folder[folderLength - 1] != '/')
        text.add("/");
    text.add(name);
    return text.finish() != 0;
}

// ---- Crash handling ---------------------------------------------------------

CrashDumpWriter::CrashFilter g_filter = nullptr;
std::atomic<long> g_crashingThread{ 0 };
void *g_crashFrames[kMaxFrames];
alignas(16) char g_alternateStack[64 * 1024];
std::terminate_handler g_previousTerminate = nullptr;
bool g_installed = false;

void onFatalSignal(int signalNumber, siginfo_t *info, void *userContext)
{
    const long self = CrashDumpWriter::currentThreadId();
    long expected = 0;
    if (!g_crashingThread.compare_exchange_strong(expected, self)) {
        if (expected == self) {
            // A second fault while writing: give up on the dump.
            signal(signalNumber, SIG_DFL);
            raise(signalNumber);
            return;
        }
        // Another thread is writing the one dump of this process; it ends
        // the process when it is done.
        for (;;)
            pause();
    }

    CrashSignalContext context;
    context.signalNumber = signalNumber;
    context.info = info;
    context.userContext = userContext;
    if (g_filter)
        g_filter(&context);
    else
        CrashDumpWriter::writeCrashDump(&context);

    // End as the process would have without us: the default action of the
    // signal, raised again for one that was sent rather than caused by the
    // instruction (which faults again when the handler returns).
    struct sigaction defaultAction;
    std::memset(&defaultAction, 0, sizeof(defaultAction));
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigaction(signalNumber, &defaultAction, nullptr);
    if (!info || info->si_code <= 0 || signalNumber == SIGABRT)
        raise(signalNumber);
}

void onTerminate()
{
    if (std::exception_ptr current = std::current_exception()) {
        const std::type_info *type = abi::__cxa_current_exception_type();
        copyText(g_exceptionType, sizeof(g_exceptionType), type ? type->name() : "unknown");
        try {
            std::rethrow_exception(current);
        } catch (const std::exception &exception) {
            copyText(g_exceptionWhat, sizeof(g_exceptionWhat), exception.what());
        } catch (...) {
            g_exceptionWhat[0] = '\0';
        }
        g_haveException.store(true, std::memory_order_release);
    }
    if (g_previousTerminate)
        g_previousTerminate();
    std::abort();
}

// ---- Freeze capture ---------------------------------------------------------

// Captured on the watched thread by its signal handler, read by the
// watchdog after the handler has posted the semaphore.
struct Capture
{
    void *frames[kMaxFrames];
    int frameCount = 0;
    ucontext_t context;
    long tid = 0;
};

enum CaptureState { Idle = 0, Requested = 1, Filling = 2 };

Capture g_capture;
std::atomic<int> g_captureState{ Idle };
sem_t g_captureDone;
std::atomic<bool> g_haveWatchedThread{ false };
pthread_t g_watchedThread;
std::atomic<long> g_watchedTid{ 0 };
std::mutex g_frozenMutex; // one freeze dump at a time; normal context only

int captureSignal()
{
    return SIGRTMIN + 3;
}

void onCaptureSignal(int, siginfo_t *, void *userContext)
{
    const int savedErrno = errno;
    int expected = Requested;
    if (g_captureState.compare_exchange_strong(expected, Filling)) {
        g_capture.frameCount = backtrace(g_capture.frames, kMaxFrames);
        std::memcpy(&g_capture.context, userContext, sizeof(ucontext_t));
        g_capture.tid = CrashDumpWriter::currentThreadId();
        sem_post(&g_captureDone);
    }
    errno = savedErrno;
}

bool waitCapture(int timeoutMs)
{
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += timeoutMs / 1000;
    deadline.tv_nsec += long(timeoutMs % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    for (;;) {
        if (sem_timedwait(&g_captureDone, &deadline) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

// Asks the watched thread for its stack; true when it answered in time.
bool captureWatchedThread(int timeoutMs)
{
    if (!g_haveWatchedThread.load(std::memory_order_acquire))
        return false;
    while (sem_trywait(&g_captureDone) == 0) {
    }
    g_captureState.store(Requested);
    if (pthread_kill(g_watchedThread, captureSignal()) != 0) {
        g_captureState.store(Idle);
        return false;
    }
    if (waitCapture(timeoutMs)) {
        g_captureState.store(Idle);
        return true;
    }
    int expected = Requested;
    if (g_captureState.compare_exchange_strong(expected, Idle))
        return false;
    // The handler started just now: give it a moment to finish.
    const bool done = waitCapture(1000);
    if (done)
        g_captureState.store(Idle);
    return done;
}

} // namespace

void CrashDumpWriter::setDumpFolder(const char *folder)
{
    changePrepared([folder](Prepared &p) { copyText(p.dumpFolder, sizeof(p.dumpFolder), folder); });
}

const char *CrashDumpWriter::dumpFolder()
{
    return prepared().dumpFolder;
}

void CrashDumpWriter::setVersion(const char *version)
{
    changePrepared([version](Prepared &p) { copyText(p.version, sizeof(p.version), version); });
}

void CrashDumpWriter::setPossibleId(const char *possibleId)
{
    changePrepared([possibleId](Prepared &p) { copyText(p.possibleId, sizeof(p.possibleId), possibleId); });
}

void CrashDumpWriter::setLogFiles(const char *messageLogPath, const char *actionLogPath)
{
    changePrepared([=](Prepared &p) {
        copyText(p.messageLog, sizeof(p.messageLog), messageLogPath);
        copyText(p.actionLog, sizeof(p.actionLog), actionLogPath);
    });
}

void CrashDumpWriter::setLogClockOffset(long seconds)
{
    g_logClockOffsetSecs.store(seconds);
}

void CrashDumpWriter::setActionTimeOffset(std::int64_t milliseconds)
{
    g_actionTimeOffsetMs.store(milliseconds);
}

void CrashDumpWriter::refreshLocalTimeOffset()
{
    const time_t now = time(nullptr);
    struct tm local;
    if (localtime_r(&now, &local))
        g_localOffsetSecs.store(local.tm_gmtoff);
}

long CrashDumpWriter::localTimeOffset()
{
    return g_localOffsetSecs.load();
}

bool CrashDumpWriter::install(CrashFilter filter)
{
    std::lock_guard<std::mutex> lock(g_setterMutex);
    g_filter = filter;
    if (g_installed)
        return true;

    // The first backtrace loads the unwinder, which allocates: do it here
    // rather than in a handler.
    void *warmUp[4];
    backtrace(warmUp, 4);
    sem_init(&g_captureDone, 0, 0);

    stack_t alternate;
    std::memset(&alternate, 0, sizeof(alternate));
    alternate.ss_sp = g_alternateStack;
    alternate.ss_size = sizeof(g_alternateStack);
    bool ok = sigaltstack(&alternate, nullptr) == 0;

    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_sigaction = &onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kFatalSignals)
        ok = sigaction(signalNumber, &action, nullptr) == 0 && ok;

    struct sigaction capture;
    std::memset(&capture, 0, sizeof(capture));
    capture.sa_sigaction = &onCaptureSignal;
    capture.sa_flags = SA_SIGINFO | SA_RESTART | SA_ONSTACK;
    sigemptyset(&capture.sa_mask);
    ok = sigaction(captureSignal(), &capture, nullptr) == 0 && ok;

    g_previousTerminate = std::set_terminate(&onTerminate);
    g_installed = true;
    return ok;
}

void CrashDumpWriter::watchCurrentThread()
{
    g_watchedThread = pthread_self();
    g_watchedTid.store(currentThreadId());
    g_haveWatchedThread.store(true, std::memory_order_release);
}

long CrashDumpWriter::currentThreadId()
{
    return long(syscall(SYS_gettid));
}

std::size_t CrashDumpWriter::formatDumpName(char *out, std::size_t size, const char *kind,
                                            std::int64_t secondsSinceEpoch, long localOffsetSecs, long pid,
                                            long tid)
{
    const Prepared &names = prepared();
    const CivilTime t = civilTime(secondsSinceEpoch + localOffsetSecs);
    Text text(out, size);
    text.add("velmo_").add(kind).add("_").add(names.version).add("_").add(names.possibleId).add("_");
    text.dec(secondsSinceEpoch).add("_");
    text.dec(t.year, 4).add("-").dec(t.month, 2).add("-").dec(t.day, 2).add("-");
    text.dec(t.hour, 2).add("-").dec(t.minute, 2).add("-").dec(t.second, 2);
    text.add("_").dec(pid).add("_").dec(tid).add(".dmp");
    return text.finish();
}

int CrashDumpWriter::writeCrashDump(const CrashSignalContext *context, char *pathOut, std::size_t pathSize)
{
    const int savedErrno = errno;
    const Prepared &names = prepared();
    appendLogLine("program crashes!!zumixoUnhandledExceptionFilter", nullptr, 0, false);

    DumpState state;
    state.kind = "crash";
    state.seconds = nowMilliseconds() / 1000;
    state.pid = long(getpid());
    state.writerTid = currentThreadId();
    state.stackTid = state.writerTid;
    state.signal = context;
    state.userContext = context ? context->userContext : nullptr;

    static char name[CrashDumpWriter::kMaxNamePart * 3];
    static char path[CrashDumpWriter::kMaxPath + sizeof(name)];
    if (!names.dumpFolder[0] || !formatDumpName(name, sizeof(name), state.kind, state.seconds,
                                                g_localOffsetSecs.load(), state.pid, state.writerTid)
        || !joinPath(path, sizeof(path), names.dumpFolder, name)) {
        appendLogLine("CreateFile failed.err:", nullptr, ENAMETOOLONG, true);
        errno = savedErrno;
        return ENAMETOOLONG;
    }
    appendLogLine("dumpFilePath:", path, 0, false);

    state.frameCount = backtrace(g_crashFrames, kMaxFrames);
    state.frames = g_crashFrames;
    const int error = writeWholeDump(path, state);
    if (error) {
        appendLogLine("CreateFile failed.err:", nullptr, error, true);
        errno = savedErrno;
        return error;
    }

    appendCrashRecord(name);
    if (pathOut && pathSize)
        copyText(pathOut, pathSize, path);
    errno = savedErrno;
    return 0;
}

int CrashDumpWriter::writeFrozenDump(const char *path, int captureTimeoutMs)
{
    std::lock_guard<std::mutex> lock(g_frozenMutex);
    DumpState state;
    state.kind = "frozen";
    state.seconds = nowMilliseconds() / 1000;
    state.pid = long(getpid());
    state.writerTid = currentThreadId();
    state.stackTid = g_watchedTid.load();
    if (captureWatchedThread(captureTimeoutMs)) {
        state.userContext = &g_capture.context;
        state.frames = g_capture.frames;
        state.frameCount = g_capture.frameCount;
        state.stackTid = g_capture.tid;
    } else {
        state.note = "the watched thread's stack could not be captured";
    }
    return writeWholeDump(path, state);
}

void CrashDumpWriter::failWritesForTests(bool fail)
{
    g_failWrites.store(fail);
}
