#include "overlay/ChildProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lumaroll {

namespace {

// The executable file that name stands for: name itself when it holds a '/',
// else the first executable regular file of that name in the PATH of
// environment ("/bin:/usr/bin" without one; an empty entry is the working
// folder). Empty when there is none.
std::string findProgram(const std::string& name, const std::vector<std::string>& environment)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return name;
    std::string path = "/bin:/usr/bin";
    for (const std::string& variable : environment) {
        if (variable.rfind("PATH=", 0) == 0)
            path = variable.substr(5);
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string dir = end > start ? path.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + name;
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return std::string();
}

} // namespace

std::vector<std::string> currentEnvironment()
{
    std::vector<std::string> variables;
    for (char** v = environ; v && *v; ++v)
        variables.push_back(*v);
    return variables;
}

ProgramRun runProgram(const std::vector<std::string>& argv, CapturedStream stream, std::size_t maxBytes,
                      const std::vector<std::string>& environment)
{
    ProgramRun run;
    if (argv.empty())
        return run;
    const std::string program = findProgram(argv[0], environment);
    if (program.empty())
        return run;
    int pipeFds[2];
    // Close-on-exec, so that programs started by other threads never hold this pipe open.
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return run;
    const int target = stream == CapturedStream::Output ? STDOUT_FILENO : STDERR_FILENO;
    const int other = stream == CapturedStream::Output ? STDERR_FILENO : STDOUT_FILENO;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], target);
    posix_spawn_file_actions_addopen(&actions, other, "/dev/null", O_WRONLY, 0);
    // Nothing else: a program that outlives us (a dialog, a stalled query)
    // must not keep our log or a caller's pipe open.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    std::vector<char*> args, variables;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& v : environment)
        variables.push_back(const_cast<char*>(v.c_str()));
    variables.push_back(nullptr);

    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), variables.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return run;
    }
    run.started = true;

    char buffer[4096];
    while (run.text.size() <= maxBytes) {
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0)
            run.text.append(buffer, std::size_t(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    if (run.text.size() > maxBytes)
        run.text.resize(maxBytes);
    // A program still writing now finds its output gone and ends.
    close(pipeFds[0]);

    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited == pid && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    return run;
}

std::string firstLine(const std::string& text)
{
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return line;
}

} // namespace lumaroll
