// The end-to-end harness: fresh folders, file helpers, and one run of the
// built program with its output captured.

#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test {

std::string make_dir()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/hazard-sim-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    return pattern;
}

void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream f(path, std::ios::binary);
    f << bytes;
}

std::string read_file(const std::string &path)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return "<none>";
    if (!S_ISREG(st.st_mode))
        return "<not a file>";
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return "<none>";
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Reads a pipe to its end.
static std::string drain(int fd)
{
    std::string text;
    char buf[65536];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<size_t>(n));
    close(fd);
    return text;
}

run_result run_in(const std::string &dir, const char *console)
{
    run_result r{};
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        std::abort();
    pid_t pid = fork();
    if (pid == 0) {
        int fd = console != nullptr ? open(console, O_WRONLY) : out[1];
        if (fd < 0)
            _exit(127);
        dup2(fd, 1);
        dup2(err[1], 2);
        for (int p : {out[0], out[1], err[0], err[1]})
            close(p);
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        alarm(10); // a run that hangs is killed and shows as status -1
        execl(HAZARD_SIM_BIN, "hazard-sim", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    r.out = drain(out[0]); // the error stream holds a line at most
    r.err = drain(err[0]);
    int ws = 0;
    struct rusage ru {};
    wait4(pid, &ws, 0, &ru);
    r.peak_kb = ru.ru_maxrss;
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    r.analysis = read_file(dir + "/analiza_hazard.txt");
    r.schedule = read_file(dir + "/eliminare_hazard.txt");
    return r;
}

void remove_dir(const std::string &dir)
{
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

run_result run_with(const input &config, const input &program)
{
    std::string dir = make_dir();
    if (config)
        write_file(dir + "/config.txt", *config);
    if (program)
        write_file(dir + "/program.txt", *program);
    run_result r = run_in(dir);
    remove_dir(dir);
    return r;
}

} // namespace test
