#pragma once

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// Changes to a child's environment: a value sets the variable, nullopt unsets it.
using Environment = std::vector<std::pair<std::string, std::optional<std::string>>>;

// A program run as a child in a directory under `timeout -s KILL 600` (on Windows in a job that ends
// with its owner), so that it never outlives a test that dies (its process group is killed when the
// owner goes); its output goes to PROGRAM.out and .err. The words are UTF-8 on every platform.
class ChildProcess {
public:
    ChildProcess(
        const std::vector<std::string>& command, const std::string& directory, const Environment& environment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits until the program ends and returns its exit status, or until `stopWhen` holds or the time is up
    // and returns -1 (it runs on until the owner goes). A program ended by a signal gives -1 as well.
    int wait(double seconds, const std::function<bool()>& stopWhen = {});
    std::string output() const;
    std::string errors() const;

private:
    bool running();
    int exitStatus() const; // of a program that has ended
#ifdef _WIN32
    void* process_ = nullptr; // HANDLEs
    void* job_ = nullptr;
#else
    pid_t pid_ = -1;
#endif
    std::optional<int> status_;
    std::string outPath_;
};

struct ChildRun {
    int status = -1;
    std::string out, err;
};

// Runs the command to its end (killed, with status -1, after five minutes).
ChildRun runChild(
    const std::vector<std::string>& command, const std::string& directory, const Environment& environment = {});

// A fresh scratch directory (an absolute path) with a link to the repository's data, to run the game in.
std::string gameDirectory(const std::string& name);

// Writes the text to the file and returns its path.
std::string writeFile(const std::string& path, const std::string& text);

// A number or word field of a flat JSON object such as the simulator's summary ("" if absent).
std::string jsonField(const std::string& json, const std::string& name);
