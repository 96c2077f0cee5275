#pragma once

// Keeps the viewer to one running copy per user. The first copy holds an
// exclusive lock on "<name>.lock" in the runtime folder and listens on the
// Unix-domain socket "<name>" beside it. A later start finds the lock taken,
// connects, hands over its working folder and command line and ends as soon
// as the running copy answers. A running copy that accepts the connection but
// does not answer may hang: the user is asked whether to end it, and then it
// is killed and the new start goes on as the first copy.
//
// Nothing here knows about windows; platform/qt/InstanceListener.h feeds the
// listening socket into the Qt event loop.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The name of the lock and the socket.
inline constexpr const char* InstanceName = "Mireva@Osvar";
// The longest message a running copy reads; anything longer is dropped.
inline constexpr uint32_t MaxHandOverSize = 1u << 20;

// What a second start hands over: its working folder, so that relative
// arguments mean what the user meant, and its whole command line with the
// program path first. Args holding only the program path (or nothing) means
// "no arguments": the running copy only comes to the front.
struct THandOver {
    std::string WorkingFolder;
    std::vector<std::string> Args;

    bool HasArguments() const { return Args.size() > 1; }
};

// The bytes on the socket: a 32-bit little-endian length, then the working
// folder and every argument, each ended by a zero byte. The length is 0 when
// there are no arguments.
std::string EncodeHandOver(const THandOver& message);
// The payload after the length; nullopt when it is not a zero-terminated list
// of at least the working folder and the program path.
std::optional<THandOver> DecodeHandOverPayload(std::string_view payload);

// The exclusive lock of the first copy. The lock file stays in place when the
// copy ends (removing it would race with a start that just opened it); the
// lock itself is released by the kernel when the holder ends, even by a crash.
class TInstanceLock {
public:
    TInstanceLock(const std::string& folder, const std::string& name);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // True when this object holds the lock now; it then writes our process
    // id into the file. Raises EFileError when the file cannot be opened (a
    // link or a foreign file in its place).
    bool TryAcquire();
    bool Held() const { return fFd >= 0; }
    void Release();

    // The process id the holder wrote, after checking that this process
    // really holds the lock on this file and belongs to us; 0 otherwise.
    // Guards the kill of a hung copy against a stale or forged number.
    pid_t VerifiedHolder() const;

    const std::string& Path() const { return fPath; }

private:
    std::string fPath;
    int fFd = -1;
};

// One connection of a second start to the running copy, read without blocking
// as its bytes arrive.
class TInstanceConnection {
public:
    enum class TReadState { rsWaiting, rsComplete, rsFailed };

    explicit TInstanceConnection(int fd);
    ~TInstanceConnection();
    TInstanceConnection(const TInstanceConnection&) = delete;
    TInstanceConnection& operator=(const TInstanceConnection&) = delete;

    int Handle() const { return fFd; }
    // Reads whatever has arrived. rsComplete: Message() holds the hand-over;
    // rsFailed: the peer went away early or sent a length beyond
    // MaxHandOverSize or a payload that is not a list of arguments.
    TReadState ReadAvailable();
    const THandOver& Message() const { return fMessage; }
    // Sends the answer 1 (the sender waits for it to end). False when the
    // peer is gone.
    bool Answer();

private:
    int fFd = -1;
    std::string fBuffer;
    uint32_t fLength = 0;
    bool fHaveLength = false;
    TReadState fState = TReadState::rsWaiting;
    THandOver fMessage;
};

// The listening socket of the first copy. The caller holds the lock, so a
// socket file left by a crashed copy is removed before binding.
class TInstanceServer {
public:
    // Raises EFileError.
    TInstanceServer(const std::string& folder, const std::string& name);
    ~TInstanceServer();
    TInstanceServer(const TInstanceServer&) = delete;
    TInstanceServer& operator=(const TInstanceServer&) = delete;

    // The non-blocking listening descriptor, for an event loop to watch.
    int Handle() const { return fFd; }
    // A waiting connection, or nullptr when none waits. Connections of other
    // users are closed at once.
    std::unique_ptr<TInstanceConnection> Accept();

private:
    std::string fPath;
    int fFd = -1;
};

enum class THandOverResult {
    hrDelivered,   // the running copy answered 1
    hrNoListener,  // nothing listens (starting, ending, or no copy at all)
    hrNoAnswer,    // connected, but no answer in time: the copy may hang
    hrBroken,      // the connection broke or the answer was not 1
};

// Connects to the running copy and hands over message; waits at most
// timeoutMs for the whole exchange.
THandOverResult SendHandOver(const std::string& folder, const std::string& name, const THandOver& message,
                             int timeoutMs);

// Kills a hung copy (SIGKILL). False when pid is not a process of ours that
// may be killed (ourselves, init, another user's).
bool KillInstance(pid_t pid);

enum class TInstanceRole {
    irFirst,       // this start is the running copy now; Server() listens
    irHandedOver,  // the running copy took the command line; end quietly
    irEnded,       // the user chose not to end a hung copy, or it could not be ended
};

struct TInstanceTimeouts {
    int AnswerMs = 5000;  // a copy that does not answer within this may hang
    int ReleaseMs = 5000;  // how long to wait for the lock after the kill
};

// The whole single-instance rule for one start.
class TSingleInstance {
public:
    TSingleInstance(std::string folder, std::string name = InstanceName, TInstanceTimeouts timeouts = {});
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // askTerminate is called when the running copy does not answer; true
    // means: end it and go on as the first copy.
    TInstanceRole Start(const THandOver& message, const std::function<bool()>& askTerminate);

    // The listening socket after irFirst; nullptr otherwise.
    TInstanceServer* Server() { return fServer.get(); }

private:
    TInstanceRole BecomeFirst();

    std::string fFolder;
    std::string fName;
    TInstanceTimeouts fTimeouts;
    TInstanceLock fLock;
    std::unique_ptr<TInstanceServer> fServer;
};
