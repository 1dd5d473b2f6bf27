#include "support/ChildProcess.h"

#include "support/Headless.h"

#include "Utils/Utf8Path.h"

#include <filesystem>
#include <fstream>
#include <regex>

// Children are POSIX processes: the programs that start them do not run under Windows (scripts/windows.sh).
#ifndef _WIN32
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
std::string gameDirectory(const std::string& name)
{
    const fs::path dir = fs::absolute(pathFromUtf8(scratchDirectory(name)));
    fs::create_directory_symlink(fs::absolute("data"), dir / "data");
    return utf8FromPath(dir);
}

std::string writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(pathFromUtf8(path), std::ios::binary) << text;
    return path;
}

std::string jsonField(const std::string& json, const std::string& name)
{
    std::smatch match;
    return std::regex_search(json, match, std::regex("\"" + name + "\":\"?([-a-z0-9.]+)")) ? match[1].str() : "";
}

#ifndef _WIN32

ChildProcess::ChildProcess(
    const std::vector<std::string>& command, const std::string& directory, const Environment& environment)
    : outPath_(utf8FromPath(fs::absolute(pathFromUtf8(directory)) / pathFromUtf8(command.at(0)).filename()))
{
    std::vector<std::string> words{"timeout", "-s", "KILL", "600"};
    words.insert(words.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ != 0)
        return;
    setpgid(0, 0);
    if (chdir(directory.c_str()) != 0)
        _exit(126);
    for (const auto& [name, value] : environment)
        value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    dup2(open((outPath_ + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    dup2(open((outPath_ + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
}

ChildProcess::~ChildProcess()
{
    if (running())
        kill(-pid_, SIGKILL); // timeout and the program: the process group timeout leads
    waitpid(pid_, nullptr, 0);
}

bool ChildProcess::running()
{
    int status = 0;
    if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_)
        status_ = status;
    return !status_;
}

int ChildProcess::wait(double seconds, const std::function<bool()>& stopWhen)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running() && std::chrono::steady_clock::now() < until && !(stopWhen && stopWhen()))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return !running() && WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1;
}

std::string ChildProcess::output() const { return readFile(outPath_ + ".out"); }

std::string ChildProcess::errors() const { return readFile(outPath_ + ".err"); }

ChildRun runChild(const std::vector<std::string>& command, const std::string& directory, const Environment& environment)
{
    ChildProcess child(command, directory, environment);
    const int status = child.wait(300);
    return {status, child.output(), child.errors()};
}
#endif
