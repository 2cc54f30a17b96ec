#include "support.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

std::string CorpusDir() { return FOVI_CORPUS; }

TempDir::TempDir()
{
    std::string templ = (fs::temp_directory_path() / "fovi-test-XXXXXX").string();
    if (!mkdtemp(templ.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const
{
    fs::path p = fs::path(path_) / name;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    return p.string();
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int RunSelfInLocale(const std::string& locale, const std::string& filter, const std::string& marker)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        const std::string name = var.substr(0, var.find('='));
        // Neither the parent's locale nor its test-runner settings (an XML report of the
        // child would overwrite the parent's).
        if (name != "LC_ALL" && name != "LC_COLLATE" && name != "LANG" && name != "LANGUAGE" &&
            name.rfind("GTEST_", 0) != 0)
            env.push_back(var);
    }
    env.push_back("LC_ALL=" + locale);
    env.push_back(marker + "=" + locale);
    std::vector<char*> envp;
    for (auto& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string exe = "/proc/self/exe", arg = "--gtest_filter=" + filter;
    char* argv[] = {exe.data(), arg.data(), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

struct Watchdog::State {
    std::mutex mutex;
    std::condition_variable done;
    bool left = false;
    std::thread thread;
};

Watchdog::Watchdog(const std::string& what, int seconds) : state_(new State)
{
    state_->thread = std::thread([s = state_, what, seconds] {
        std::unique_lock lock(s->mutex);
        if (!s->done.wait_for(lock, std::chrono::seconds(seconds), [s] { return s->left; })) {
            std::fprintf(stderr, "FAILED: %s did not end within %d s\n", what.c_str(), seconds);
            std::fflush(stderr);
            std::_Exit(1);
        }
    });
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->left = true;
    }
    state_->done.notify_one();
    state_->thread.join();
    delete state_;
}

#include "forms.h"

AppScope::AppScope() : app_(new TApplication) {}
AppScope::~AppScope() { delete app_; }
