#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "base/Errors.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"
#include "support/TempFolder.h"

namespace {

const char* const Name = "Mireva@Osvar";

std::string LittleEndian(uint32_t value)
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A literal with its embedded zero bytes (the terminating one left out).
template <size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

// A message as it travels: the payload's length, then the payload.
std::string Framed(const std::string& payload)
{
    return LittleEndian(static_cast<uint32_t>(payload.size())) + payload;
}

// Serves one connection of server on a thread, answering as the running copy
// does, and keeps the message it read.
class TServeOnce {
public:
    explicit TServeOnce(TInstanceServer& server)
        : fThread([this, &server] { Run(server); })
    {
    }
    ~TServeOnce()
    {
        fStop = true;
        if (fThread.joinable())
            fThread.join();
    }
    THandOver Message()
    {
        if (fThread.joinable())
            fThread.join();
        return fMessage;
    }
    bool Completed() const { return fCompleted; }

private:
    void Run(TInstanceServer& server)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::unique_ptr<TInstanceConnection> connection;
        while (!fStop && std::chrono::steady_clock::now() < deadline) {
            if (!connection) {
                pollfd waiting {server.Handle(), POLLIN, 0};
                if (::poll(&waiting, 1, 20) > 0)
                    connection = server.Accept();
                continue;
            }
            pollfd waiting {connection->Handle(), POLLIN, 0};
            if (::poll(&waiting, 1, 20) <= 0)
                continue;
            const auto state = connection->ReadAvailable();
            if (state == TInstanceConnection::TReadState::rsWaiting)
                continue;
            fCompleted = state == TInstanceConnection::TReadState::rsComplete;
            fMessage = connection->Message();
            connection->Answer();
            return;
        }
    }

    std::atomic<bool> fStop = false;
    std::atomic<bool> fCompleted = false;
    THandOver fMessage;
    std::thread fThread;
};

// A raw client that writes exactly the bytes a test gives.
int ConnectRaw(const std::string& folder)
{
    const std::string path = folder + Name;
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return -1;
    return fd;
}

// Reads from a connection until it leaves rsWaiting or a deadline passes.
TInstanceConnection::TReadState ReadUntilSettled(TInstanceConnection& connection)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    auto state = connection.ReadAvailable();
    while (state == TInstanceConnection::TReadState::rsWaiting && std::chrono::steady_clock::now() < deadline) {
        pollfd waiting {connection.Handle(), POLLIN, 0};
        ::poll(&waiting, 1, 20);
        state = connection.ReadAvailable();
    }
    return state;
}

std::unique_ptr<TInstanceConnection> AcceptWithin(TInstanceServer& server)
{
    pollfd waiting {server.Handle(), POLLIN, 0};
    if (::poll(&waiting, 1, 5000) <= 0)
        return nullptr;
    return server.Accept();
}

}  // namespace

// --- message format --------------------------------------------------------

struct TEncodeCase {
    const char* Name;
    THandOver Message;
    std::string Bytes;
};

class HandOverEncodingTest : public ::testing::TestWithParam<TEncodeCase> {};

TEST_P(HandOverEncodingTest, EncodesAndDecodesBack)
{
    const TEncodeCase& row = GetParam();
    const std::string bytes = EncodeHandOver(row.Message);
    EXPECT_EQ(bytes, row.Bytes);
    if (!row.Message.HasArguments())
        return;
    const std::optional<THandOver> decoded = DecodeHandOverPayload(std::string_view(bytes).substr(4));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->WorkingFolder, row.Message.WorkingFolder);
    EXPECT_EQ(decoded->Args, row.Message.Args);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HandOverEncodingTest,
    ::testing::Values(
        TEncodeCase{"NoArgumentsSendsZeroLength", {"/home/u/", {"/usr/bin/mireva"}}, LittleEndian(0)},
        TEncodeCase{"NothingAtAllSendsZeroLength", {"/home/u/", {}}, LittleEndian(0)},
        TEncodeCase{"OnePath",
                    {"/w/", {"mireva", "a.jpg"}},
                    Framed(Bytes("/w/\0mireva\0a.jpg\0"))},
        TEncodeCase{"SwitchesAndMultibyteNames",
                    {"/漫画/", {"m", "-s", "設定.lys", "第1巻"}},
                    Framed(Bytes("/漫画/\0m\0-s\0設定.lys\0第1巻\0"))},
        TEncodeCase{"EmptyArgumentSurvives",
                    {"/w/", {"m", "", "x"}},
                    Framed(Bytes("/w/\0m\0\0x\0"))}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TPayloadCase {
    const char* Name;
    std::string Payload;
};

class HandOverBadPayloadTest : public ::testing::TestWithParam<TPayloadCase> {};

TEST_P(HandOverBadPayloadTest, IsRefused)
{
    EXPECT_FALSE(DecodeHandOverPayload(GetParam().Payload).has_value());
}

INSTANTIATE_TEST_SUITE_P(Rows, HandOverBadPayloadTest,
                         ::testing::Values(TPayloadCase{"Empty", ""}, TPayloadCase{"NotTerminated", Bytes("/w/\0m\0x")},
                                           TPayloadCase{"OnlyWorkingFolder", Bytes("/w/\0")},
                                           TPayloadCase{"NoZeroAtAll", "/w/"}),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- the lock ---------------------------------------------------------------

TEST(InstanceLock, SecondHolderWaitsUntilTheFirstReleases)
{
    TTempFolder folder;
    TInstanceLock first(folder.Path(), Name);
    TInstanceLock second(folder.Path(), Name);
    ASSERT_TRUE(first.TryAcquire());
    EXPECT_FALSE(second.TryAcquire());
    EXPECT_EQ(folder.Read(std::string(Name) + ".lock"), std::to_string(::getpid()) + "\n");
    first.Release();
    EXPECT_TRUE(second.TryAcquire());
}

TEST(InstanceLock, LinkInPlaceOfTheLockFileIsRefused)
{
    TTempFolder folder;
    const std::string elsewhere = folder.Write("elsewhere", "keep");
    ASSERT_EQ(::symlink(elsewhere.c_str(), folder.File(std::string(Name) + ".lock").c_str()), 0);
    TInstanceLock lock(folder.Path(), Name);
    EXPECT_THROW(lock.TryAcquire(), EFileError);
    EXPECT_EQ(folder.Read("elsewhere"), "keep");
}

TEST(InstanceLock, HolderIsVerifiedAgainstTheKernelsLockTable)
{
    TTempFolder folder;
    TInstanceLock holder(folder.Path(), Name);
    TInstanceLock asker(folder.Path(), Name);
    EXPECT_EQ(asker.VerifiedHolder(), 0) << "nobody holds the lock";
    ASSERT_TRUE(holder.TryAcquire());
    EXPECT_EQ(asker.VerifiedHolder(), ::getpid());
    // A number in the file that is not the holder's is never trusted.
    folder.Write(std::string(Name) + ".lock", "1\n");
    EXPECT_EQ(asker.VerifiedHolder(), 0);
    folder.Write(std::string(Name) + ".lock", "garbage");
    EXPECT_EQ(asker.VerifiedHolder(), 0);
}

TEST(InstanceLock, KillRefusesOurselvesAndInit)
{
    EXPECT_FALSE(KillInstance(::getpid()));
    EXPECT_FALSE(KillInstance(1));
    EXPECT_FALSE(KillInstance(0));
}

// --- the socket -------------------------------------------------------------

TEST(InstanceSocket, HandOverArrivesAndIsAnswered)
{
    TTempFolder folder;
    TInstanceServer server(folder.Path(), Name);
    TServeOnce serve(server);
    const THandOver sent{"/home/ユーザー/", {"/usr/bin/mireva", "-s", "a b.lys", "本/"}};
    EXPECT_EQ(SendHandOver(folder.Path(), Name, sent, 5000), THandOverResult::hrDelivered);
    const THandOver received = serve.Message();
    EXPECT_TRUE(serve.Completed());
    EXPECT_EQ(received.WorkingFolder, sent.WorkingFolder);
    EXPECT_EQ(received.Args, sent.Args);
}

TEST(InstanceSocket, StartWithoutArgumentsArrivesEmpty)
{
    TTempFolder folder;
    TInstanceServer server(folder.Path(), Name);
    TServeOnce serve(server);
    EXPECT_EQ(SendHandOver(folder.Path(), Name, THandOver{"/w/", {"mireva"}}, 5000), THandOverResult::hrDelivered);
    const THandOver received = serve.Message();
    EXPECT_TRUE(serve.Completed());
    EXPECT_FALSE(received.HasArguments());
    EXPECT_TRUE(received.WorkingFolder.empty());
}

TEST(InstanceSocket, NobodyListening)
{
    TTempFolder folder;
    EXPECT_EQ(SendHandOver(folder.Path(), Name, THandOver{"/w/", {"m", "x"}}, 500), THandOverResult::hrNoListener);
}

TEST(InstanceSocket, ListenerThatNeverAnswersTimesOut)
{
    TTempFolder folder;
    TInstanceServer server(folder.Path(), Name);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendHandOver(folder.Path(), Name, THandOver{"/w/", {"m", "x"}}, 300), THandOverResult::hrNoAnswer);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
}

TEST(InstanceSocket, StaleSocketOfACrashedCopyIsReplaced)
{
    TTempFolder folder;
    { TInstanceServer crashed(folder.Path(), Name); }
    // A crash leaves the file behind; make one by hand.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (folder.Path() + Name).c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(PathExists(folder.File(Name)));
    TInstanceServer server(folder.Path(), Name);
    TServeOnce serve(server);
    EXPECT_EQ(SendHandOver(folder.Path(), Name, THandOver{"/w/", {"m", "x"}}, 5000), THandOverResult::hrDelivered);
}

TEST(InstanceSocket, FileInPlaceOfTheSocketIsNotDeleted)
{
    TTempFolder folder;
    folder.Write(Name, "not a socket");
    EXPECT_THROW(TInstanceServer(folder.Path(), Name), EFileError);
    EXPECT_EQ(folder.Read(Name), "not a socket");
}

struct TRawCase {
    const char* Name;
    std::string Bytes;
    bool CloseAfter;
    TInstanceConnection::TReadState Expected;
};

class InstanceConnectionTest : public ::testing::TestWithParam<TRawCase> {};

TEST_P(InstanceConnectionTest, ReadsOrRefuses)
{
    const TRawCase& row = GetParam();
    TTempFolder folder;
    TInstanceServer server(folder.Path(), Name);
    const int client = ConnectRaw(folder.Path());
    ASSERT_GE(client, 0);
    std::unique_ptr<TInstanceConnection> connection = AcceptWithin(server);
    ASSERT_TRUE(connection);
    // Byte by byte, so the reader meets every split of the length and the
    // payload.
    for (char c : row.Bytes) {
        ASSERT_EQ(::send(client, &c, 1, MSG_NOSIGNAL), 1);
        if (connection->ReadAvailable() != TInstanceConnection::TReadState::rsWaiting)
            break;
    }
    if (row.CloseAfter)
        ::shutdown(client, SHUT_WR);
    EXPECT_EQ(ReadUntilSettled(*connection), row.Expected);
    ::close(client);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InstanceConnectionTest,
    ::testing::Values(
        TRawCase{"WholeMessage", Framed(Bytes("/w/\0m\0x\0")), false,
                 TInstanceConnection::TReadState::rsComplete},
        TRawCase{"ZeroLength", LittleEndian(0), false, TInstanceConnection::TReadState::rsComplete},
        TRawCase{"LengthBeyondTheLimit", LittleEndian(MaxHandOverSize + 1), false,
                 TInstanceConnection::TReadState::rsFailed},
        TRawCase{"SenderGoneMidLength", Bytes("\x08\x00"), true, TInstanceConnection::TReadState::rsFailed},
        TRawCase{"SenderGoneMidPayload", LittleEndian(8) + "/w/", true, TInstanceConnection::TReadState::rsFailed},
        TRawCase{"PayloadWithoutArguments", Framed(Bytes("/w/\0")), false,
                 TInstanceConnection::TReadState::rsFailed}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- the whole rule ---------------------------------------------------------

TEST(SingleInstance, FirstStartListensSecondHandsOver)
{
    TTempFolder folder;
    TSingleInstance first(folder.Path(), Name, {2000, 2000});
    ASSERT_EQ(first.Start(THandOver{"/w/", {"m"}}, nullptr), TInstanceRole::irFirst);
    ASSERT_NE(first.Server(), nullptr);

    TServeOnce serve(*first.Server());
    TSingleInstance second(folder.Path(), Name, {2000, 2000});
    bool asked = false;
    EXPECT_EQ(second.Start(THandOver{"/x/", {"m", "-f", "p.jpg"}}, [&] { return asked = true; }),
              TInstanceRole::irHandedOver);
    EXPECT_FALSE(asked);
    EXPECT_EQ(second.Server(), nullptr);
    EXPECT_EQ(serve.Message().Args, (std::vector<std::string>{"m", "-f", "p.jpg"}));
}

TEST(SingleInstance, HungCopyAndTheUserSaysNo)
{
    TTempFolder folder;
    TSingleInstance first(folder.Path(), Name);
    ASSERT_EQ(first.Start(THandOver{}, nullptr), TInstanceRole::irFirst);
    // Nobody serves the first copy's socket: it hangs.
    TSingleInstance second(folder.Path(), Name, {300, 300});
    int asked = 0;
    EXPECT_EQ(second.Start(THandOver{"/w/", {"m"}}, [&] { ++asked; return false; }), TInstanceRole::irEnded);
    EXPECT_EQ(asked, 1);
}

TEST(SingleInstance, HungCopyInOurOwnProcessIsNeverKilled)
{
    TTempFolder folder;
    TSingleInstance first(folder.Path(), Name);
    ASSERT_EQ(first.Start(THandOver{}, nullptr), TInstanceRole::irFirst);
    TSingleInstance second(folder.Path(), Name, {300, 300});
    EXPECT_EQ(second.Start(THandOver{"/w/", {"m"}}, [] { return true; }), TInstanceRole::irEnded);
}

TEST(SingleInstance, LockFreedButSocketLeftBehindStartsFresh)
{
    TTempFolder folder;
    {
        TInstanceServer leftover(folder.Path(), Name);
    }
    TSingleInstance start(folder.Path(), Name, {300, 300});
    EXPECT_EQ(start.Start(THandOver{"/w/", {"m"}}, nullptr), TInstanceRole::irFirst);
}

// Two real processes: a child is the running copy.
class SingleInstanceProcesses : public ::testing::Test {
protected:
    // Starts a child that becomes the first copy; answer says whether it
    // serves hand-overs (and reports them on the pipe) or hangs.
    void StartChild(bool answer)
    {
        ASSERT_EQ(::pipe(fPipe), 0);
        fChild = ::fork();
        ASSERT_GE(fChild, 0);
        if (fChild == 0) {
            ::close(fPipe[0]);
            TSingleInstance running(fFolder.Path(), Name);
            const bool first = running.Start(THandOver{}, nullptr) == TInstanceRole::irFirst;
            const char ready = first ? 'R' : 'X';
            [[maybe_unused]] ssize_t n = ::write(fPipe[1], &ready, 1);
            if (!first)
                ::_exit(3);
            if (!answer) {
                for (;;)
                    ::pause();
            }
            pollfd waiting {running.Server()->Handle(), POLLIN, 0};
            ::poll(&waiting, 1, 10000);
            std::unique_ptr<TInstanceConnection> connection = running.Server()->Accept();
            if (connection && ReadUntilSettled(*connection) == TInstanceConnection::TReadState::rsComplete) {
                connection->Answer();
                const std::string arg = connection->Message().Args.back();
                n = ::write(fPipe[1], arg.data(), arg.size());
            }
            ::_exit(0);
        }
        ::close(fPipe[1]);
        char ready = 0;
        ASSERT_EQ(::read(fPipe[0], &ready, 1), 1);
        ASSERT_EQ(ready, 'R');
    }

    void TearDown() override
    {
        if (fChild > 0) {
            ::kill(fChild, SIGKILL);
            ::waitpid(fChild, nullptr, 0);
        }
        if (fPipe[0] >= 0)
            ::close(fPipe[0]);
    }

    // Waits at most a few seconds for the child to end; its wait status.
    int ChildStatus()
    {
        for (int i = 0; i < 250; ++i) {
            int status = 0;
            if (::waitpid(fChild, &status, WNOHANG) == fChild) {
                fChild = -1;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

    TTempFolder fFolder;
    pid_t fChild = -1;
    int fPipe[2] = {-1, -1};
};

TEST_F(SingleInstanceProcesses, SecondProcessHandsOverItsArguments)
{
    StartChild(true);
    TSingleInstance second(fFolder.Path(), Name, {5000, 2000});
    EXPECT_EQ(second.Start(THandOver{"/w/", {"m", "第2巻.zip"}}, nullptr), TInstanceRole::irHandedOver);
    char got[64] = {};
    ASSERT_GT(::read(fPipe[0], got, sizeof got - 1), 0);
    EXPECT_STREQ(got, "第2巻.zip");
    const int status = ChildStatus();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(SingleInstanceProcesses, HungProcessIsKilledWhenTheUserAgrees)
{
    StartChild(false);
    TSingleInstance second(fFolder.Path(), Name, {300, 5000});
    int asked = 0;
    EXPECT_EQ(second.Start(THandOver{"/w/", {"m", "x"}}, [&] { ++asked; return true; }), TInstanceRole::irFirst);
    EXPECT_EQ(asked, 1);
    ASSERT_NE(second.Server(), nullptr);
    const int status = ChildStatus();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}
