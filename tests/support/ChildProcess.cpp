#include "support/ChildProcess.h"

#include "support/Headless.h"

#include "Utils/Utf8Path.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

// A POSIX child is forked under `timeout`; a Windows child is made with CreateProcessW in a job.
#ifdef _WIN32
#include "System/WindowsHeaders.h"

#include <cwchar>
#include <map>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
std::string gameDirectory(const std::string& name)
{
    const fs::path dir = fs::absolute(pathFromUtf8(scratchDirectory(name)));
#ifdef _WIN32
    // The C++ library of mingw-w64 makes no symbolic links: a copy of the data instead.
    fs::copy(fs::absolute("data"), dir / "data", fs::copy_options::recursive);
#else
    fs::create_directory_symlink(fs::absolute("data"), dir / "data");
#endif
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

int ChildProcess::exitStatus() const { return WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1; }

#else

namespace {

std::wstring wide(const std::string& utf8) { return pathFromUtf8(utf8).wstring(); }

// One argument quoted so that the C runtime and CommandLineToArgvW read it back as it was.
std::wstring quoted(const std::wstring& word)
{
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return word;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled and the quote escaped; elsewhere they stand as they are.
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

// Windows compares the names of environment variables without regard to case.
using CaselessLess
    = decltype([](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });

// This process's environment with the changes made, as a block of "NAME=value" strings.
std::wstring environmentBlock(const Environment& changes)
{
    std::map<std::wstring, std::wstring, CaselessLess> variables;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring text(entry);
        const size_t equals = text.find(L'=', 1); // names such as "=C:" begin with "="
        if (equals != std::wstring::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    FreeEnvironmentStringsW(block);
    for (const auto& [name, value] : changes)
        value ? void(variables[wide(name)] = wide(*value)) : void(variables.erase(wide(name)));
    std::wstring result;
    for (const auto& [name, value] : variables)
        result += name + L"=" + value + L'\0';
    return result + L'\0';
}

HANDLE inheritableFile(const std::string& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
        FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

ChildProcess::ChildProcess(
    const std::vector<std::string>& command, const std::string& directory, const Environment& environment)
    : outPath_(utf8FromPath(fs::absolute(pathFromUtf8(directory)) / pathFromUtf8(command.at(0)).filename()))
{
    std::wstring line;
    for (const std::string& word : command)
        line += (line.empty() ? L"" : L" ") + quoted(wide(word));
    const HANDLE out = inheritableFile(outPath_ + ".out"), err = inheritableFile(outPath_ + ".err");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup, startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE), startup.hStdOutput = out, startup.hStdError = err;
    std::wstring variables = environmentBlock(environment);
    // The child belongs to a job that ends with this program, as the process group does elsewhere.
    job_ = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    PROCESS_INFORMATION started{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED,
            variables.data(), wide(directory).c_str(), &startup, &started)) {
        AssignProcessToJobObject(job_, started.hProcess);
        ResumeThread(started.hThread);
        CloseHandle(started.hThread);
        process_ = started.hProcess;
    } else {
        status_ = 127; // as a shell reports a program it cannot start
    }
    CloseHandle(out), CloseHandle(err);
}

ChildProcess::~ChildProcess()
{
    if (running())
        TerminateProcess(process_, 1);
    if (process_ != nullptr)
        CloseHandle(process_);
    CloseHandle(job_);
}

bool ChildProcess::running()
{
    DWORD code = 0;
    if (!status_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(process_, &code))
        status_ = static_cast<int>(code);
    return !status_;
}

// A crash ends the program with an exception code (0xC0000005 and the like): reported as a signal is.
int ChildProcess::exitStatus() const { return static_cast<uint32_t>(*status_) >= 0xC0000000u ? -1 : *status_; }

#endif

int ChildProcess::wait(double seconds, const std::function<bool()>& stopWhen)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running() && std::chrono::steady_clock::now() < until && !(stopWhen && stopWhen()))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return running() ? -1 : exitStatus();
}

std::string ChildProcess::output() const { return readFile(outPath_ + ".out"); }

std::string ChildProcess::errors() const { return readFile(outPath_ + ".err"); }

ChildRun runChild(const std::vector<std::string>& command, const std::string& directory, const Environment& environment)
{
    ChildProcess child(command, directory, environment);
    const int status = child.wait(300);
    return {status, child.output(), child.errors()};
}
