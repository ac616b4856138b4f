#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

#include "net/net_protocol.h"
#include "net/testing/net_node.h"

extern char** environ;

namespace {

constexpr const char* kPortVariable = "SKYVARN_NET_CHILD_PORT";

} // namespace

// Runs only inside the child process that the next test starts.
TEST(NetChildProcess, Client)
{
    const char* port = std::getenv(kPortVariable);
    if (port == nullptr)
        GTEST_SKIP() << "the client half of NetAcrossProcesses";
    net_node_c child;
    child.manager.Connect((std::string("127.0.0.1:") + port).c_str(), nullptr);
    ASSERT_TRUE(RunUntil({&child}, [&] { return child.HasHeard(net_connected); }));
    child.manager.SendJoinRequest("Child");
    ASSERT_TRUE(RunUntil({&child}, [&] { return child.PlayerNames() == std::vector<std::string>({"Hal", "Child"}); }));
    child.manager.SendChat("hello from another process");
    ASSERT_TRUE(RunUntil({&child}, [&] { return child.HasHeard(net_chat_line); }));
    EXPECT_EQ(child.Heard(net_chat_line)[0].String(2), "hello from another process");
    child.manager.Close();
}

TEST(NetAcrossProcesses, HostServesAClientInAnotherProcess)
{
    net_node_c host;
    ASSERT_TRUE(HostAndJoin(host, "Hal"));
    const std::string exe = "/proc/self/exe";
    std::vector<std::string> arguments = {exe, "--gtest_filter=NetChildProcess.Client"};
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        environment.push_back(*entry);
    environment.push_back(std::string(kPortVariable) + "=" + std::to_string(host.Port()));
    std::vector<char*> argv, envp;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    for (auto& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, exe.c_str(), nullptr, nullptr, argv.data(), envp.data()), 0);

    int status = -1;
    const bool ended = RunUntil({&host}, [&] { return waitpid(child, &status, WNOHANG) == child; });
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    ASSERT_TRUE(ended);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const auto joins = host.Heard(net_join_request);
    ASSERT_EQ(joins.size(), 2u);
    EXPECT_EQ(joins[1].sender_name, "Child");
    ASSERT_EQ(host.Heard(net_chat_line).size(), 1u);
    EXPECT_EQ(host.Heard(net_chat_line)[0].U16(), 0x9EC3);
    // The child left; the host drops its player.
    ASSERT_TRUE(RunUntil({&host}, [&] { return host.manager.FindPlayer(0x9EC3) == nullptr; }));
    EXPECT_NE(host.Port(), 0);
}
