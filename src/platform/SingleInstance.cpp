#include "platform/SingleInstance.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"

namespace {

using TClock = std::chrono::steady_clock;

void PutLength(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t GetLength(const std::string& in)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<uint8_t>(in[static_cast<size_t>(i)])) << (8 * i);
    return value;
}

int RemainingMs(TClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

sockaddr_un SocketAddress(const std::string& path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    // The kernel keeps at most 107 bytes of a socket path; a longer one
    // would silently name another socket.
    if (path.size() >= sizeof address.sun_path)
        throw EFileError(SystemErrorText(path, ENAMETOOLONG));
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

void CloseQuietly(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

uid_t ProcessOwner(pid_t pid, bool* exists)
{
    struct stat st {};
    const std::string path = "/proc/" + std::to_string(pid);
    *exists = ::stat(path.c_str(), &st) == 0;
    return st.st_uid;
}

}  // namespace

std::string EncodeHandOver(const THandOver& message)
{
    std::string out;
    if (!message.HasArguments()) {
        PutLength(out, 0);
        return out;
    }
    std::string payload = message.WorkingFolder;
    payload += '\0';
    for (const std::string& arg : message.Args) {
        payload += arg;
        payload += '\0';
    }
    PutLength(out, static_cast<uint32_t>(payload.size()));
    return out + payload;
}

std::optional<THandOver> DecodeHandOverPayload(std::string_view payload)
{
    if (payload.empty() || payload.back() != '\0')
        return std::nullopt;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < payload.size()) {
        const size_t end = payload.find('\0', start);
        parts.emplace_back(payload.substr(start, end - start));
        start = end + 1;
    }
    if (parts.size() < 2)
        return std::nullopt;
    THandOver message;
    message.WorkingFolder = std::move(parts.front());
    message.Args.assign(std::make_move_iterator(parts.begin() + 1), std::make_move_iterator(parts.end()));
    return message;
}

// ---------------------------------------------------------------------------

TInstanceLock::TInstanceLock(const std::string& folder, const std::string& name)
    : fPath(JoinPath(folder, name + ".lock"))
{
}

TInstanceLock::~TInstanceLock()
{
    Release();
}

bool TInstanceLock::TryAcquire()
{
    if (fFd >= 0)
        return true;
    int fd = ::open(fPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw EFileError(SystemErrorText(fPath, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        CloseQuietly(fd);
        throw EFileError(SystemErrorText(fPath, EPERM));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        CloseQuietly(fd);
        return false;
    }
    // The lock counts even when the number cannot be written; only the kill
    // of a hung copy needs it, and that then refuses.
    const std::string pid = std::to_string(::getpid()) + "\n";
    [[maybe_unused]] const bool written =
        ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
    fFd = fd;
    return true;
}

void TInstanceLock::Release()
{
    if (fFd < 0)
        return;
    // Clear the number first, so that nobody kills a process that merely
    // reused it after we ended.
    [[maybe_unused]] const int cleared = ::ftruncate(fFd, 0);
    ::flock(fFd, LOCK_UN);
    CloseQuietly(fFd);
}

pid_t TInstanceLock::VerifiedHolder() const
{
    int fd = ::open(fPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    struct stat st {};
    const bool haveStat = ::fstat(fd, &st) == 0;
    CloseQuietly(fd);
    if (n <= 0 || !haveStat)
        return 0;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    if (pid <= 1 || end == text || (*end != '\n' && *end != '\0'))
        return 0;

    // The kernel's table of locks names the process that holds a lock on
    // this very file ("1: FLOCK  ADVISORY  WRITE <pid> <maj>:<min>:<inode> ...").
    char key[64];
    std::snprintf(key, sizeof key, "%02x:%02x:%lu", ::major(st.st_dev), ::minor(st.st_dev),
                  static_cast<unsigned long>(st.st_ino));
    std::ifstream locks("/proc/locks");
    std::string line;
    bool confirmed = false;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, advisory, mode, holder, file;
        fields >> number >> kind;
        if (kind == "->")  // a waiter, not a holder
            continue;
        fields >> advisory >> mode >> holder >> file;
        if (kind == "FLOCK" && file == key && holder == std::to_string(pid)) {
            confirmed = true;
            break;
        }
    }
    if (!confirmed)
        return 0;
    bool exists = false;
    if (ProcessOwner(static_cast<pid_t>(pid), &exists) != ::geteuid() || !exists)
        return 0;
    return static_cast<pid_t>(pid);
}

// ---------------------------------------------------------------------------

TInstanceConnection::TInstanceConnection(int fd)
    : fFd(fd)
{
}

TInstanceConnection::~TInstanceConnection()
{
    CloseQuietly(fFd);
}

TInstanceConnection::TReadState TInstanceConnection::ReadAvailable()
{
    if (fState != TReadState::rsWaiting)
        return fState;
    char chunk[4096];
    for (;;) {
        const size_t want = fHaveLength ? fLength - (fBuffer.size()) : 4 - fBuffer.size();
        if (want == 0)
            break;
        const ssize_t n = ::recv(fFd, chunk, std::min(want, sizeof chunk), 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return fState;
            return fState = TReadState::rsFailed;
        }
        if (n == 0)
            return fState = TReadState::rsFailed;
        fBuffer.append(chunk, static_cast<size_t>(n));
        if (!fHaveLength && fBuffer.size() == 4) {
            fLength = GetLength(fBuffer);
            fBuffer.clear();
            fHaveLength = true;
            if (fLength > MaxHandOverSize)
                return fState = TReadState::rsFailed;
        }
    }
    if (fLength == 0) {
        fMessage = THandOver{};
        return fState = TReadState::rsComplete;
    }
    std::optional<THandOver> message = DecodeHandOverPayload(fBuffer);
    fBuffer.clear();
    if (!message)
        return fState = TReadState::rsFailed;
    fMessage = std::move(*message);
    return fState = TReadState::rsComplete;
}

bool TInstanceConnection::Answer()
{
    std::string answer;
    PutLength(answer, 1);
    return ::send(fFd, answer.data(), answer.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(answer.size());
}

// ---------------------------------------------------------------------------

TInstanceServer::TInstanceServer(const std::string& folder, const std::string& name)
    : fPath(JoinPath(folder, name))
{
    const sockaddr_un address = SocketAddress(fPath);
    struct stat st {};
    if (::lstat(fPath.c_str(), &st) == 0) {
        // Only a socket left by an earlier copy may go; anything else under
        // this name is not ours to delete.
        if (!S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid())
            throw EFileError(SystemErrorText(fPath, EEXIST));
        ::unlink(fPath.c_str());
    }
    fFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fFd < 0)
        throw EFileError(SystemErrorText(fPath, errno));
    if (::bind(fFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fFd, 16) != 0) {
        const int error = errno;
        CloseQuietly(fFd);
        throw EFileError(SystemErrorText(fPath, error));
    }
    ::chmod(fPath.c_str(), 0600);
}

TInstanceServer::~TInstanceServer()
{
    if (fFd >= 0) {
        CloseQuietly(fFd);
        ::unlink(fPath.c_str());
    }
}

std::unique_ptr<TInstanceConnection> TInstanceServer::Accept()
{
    for (;;) {
        const int fd = ::accept4(fFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return nullptr;
        }
        ucred peer {};
        socklen_t size = sizeof peer;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid())
            return std::make_unique<TInstanceConnection>(fd);
        ::close(fd);
    }
}

// ---------------------------------------------------------------------------

THandOverResult SendHandOver(const std::string& folder, const std::string& name, const THandOver& message,
                             int timeoutMs)
{
    const TClock::time_point deadline = TClock::now() + std::chrono::milliseconds(timeoutMs);
    const sockaddr_un address = SocketAddress(JoinPath(folder, name));
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return THandOverResult::hrNoListener;
    // A copy that stopped accepting leaves connect and send waiting for
    // room; the send timeout bounds both.
    timeval limit {};
    limit.tv_sec = timeoutMs / 1000;
    limit.tv_usec = (timeoutMs % 1000) * 1000;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        CloseQuietly(fd);
        if (error == EAGAIN || error == EINPROGRESS || error == ETIMEDOUT)
            return THandOverResult::hrNoAnswer;
        return THandOverResult::hrNoListener;
    }
    const std::string bytes = EncodeHandOver(message);
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = errno;
            CloseQuietly(fd);
            return error == EAGAIN || error == EWOULDBLOCK ? THandOverResult::hrNoAnswer : THandOverResult::hrBroken;
        }
        sent += static_cast<size_t>(n);
    }
    std::string answer;
    while (answer.size() < 4) {
        pollfd waiting {fd, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            CloseQuietly(fd);
            return THandOverResult::hrNoAnswer;
        }
        char chunk[4];
        const ssize_t n = ::recv(fd, chunk, 4 - answer.size(), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            CloseQuietly(fd);
            return THandOverResult::hrBroken;
        }
        answer.append(chunk, static_cast<size_t>(n));
    }
    CloseQuietly(fd);
    return GetLength(answer) == 1 ? THandOverResult::hrDelivered : THandOverResult::hrBroken;
}

bool KillInstance(pid_t pid)
{
    if (pid <= 1 || pid == ::getpid())
        return false;
    bool exists = false;
    if (ProcessOwner(pid, &exists) != ::geteuid() || !exists)
        return false;
    return ::kill(pid, SIGKILL) == 0;
}

// ---------------------------------------------------------------------------

TSingleInstance::TSingleInstance(std::string folder, std::string name, TInstanceTimeouts timeouts)
    : fFolder(std::move(folder))
    , fName(std::move(name))
    , fTimeouts(timeouts)
    , fLock(fFolder, fName)
{
}

TSingleInstance::~TSingleInstance()
{
    // The socket goes first: a start that finds the lock free must not find
    // our socket still answering nobody.
    fServer.reset();
    fLock.Release();
}

TInstanceRole TSingleInstance::BecomeFirst()
{
    fServer = std::make_unique<TInstanceServer>(fFolder, fName);
    return TInstanceRole::irFirst;
}

TInstanceRole TSingleInstance::Start(const THandOver& message, const std::function<bool()>& askTerminate)
{
    // A copy that is starting up has the lock but may not listen yet, and one
    // that is ending has stopped listening but may still hold the lock: keep
    // trying both ways for as long as a live copy is given to answer.
    const TClock::time_point deadline = TClock::now() + std::chrono::milliseconds(fTimeouts.AnswerMs);
    for (;;) {
        if (fLock.TryAcquire())
            return BecomeFirst();
        const THandOverResult result = SendHandOver(fFolder, fName, message, std::max(RemainingMs(deadline), 1));
        if (result == THandOverResult::hrDelivered)
            return TInstanceRole::irHandedOver;
        if (result == THandOverResult::hrNoAnswer || RemainingMs(deadline) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    if (!askTerminate || !askTerminate())
        return TInstanceRole::irEnded;
    const pid_t holder = fLock.VerifiedHolder();
    if (holder == 0 || !KillInstance(holder))
        return TInstanceRole::irEnded;
    const TClock::time_point released = TClock::now() + std::chrono::milliseconds(fTimeouts.ReleaseMs);
    for (;;) {
        if (fLock.TryAcquire())
            return BecomeFirst();
        if (RemainingMs(released) == 0)
            return TInstanceRole::irEnded;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
