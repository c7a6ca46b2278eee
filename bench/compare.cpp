// Times hazard-sim against the baseline C program, side by side: both run
// in turn, many times, on the deep example in a scratch folder with the
// console to /dev/null, after a check that both write the same bytes.
// Usage: compare [runs]   (default 500)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path &p)
{
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs `bin` in the current folder with its console to `out`; returns the
// wall time in microseconds.
double run(const char *bin, const char *out)
{
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || dup2(fd, 1) < 0)
            _exit(127);
        execl(bin, bin, static_cast<char *>(nullptr));
        _exit(127);
    }
    int ws = 0;
    waitpid(pid, &ws, 0);
    auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(ws) || WEXITSTATUS(ws) != 0) {
        std::fprintf(stderr, "%s failed\n", bin);
        std::exit(1);
    }
    return std::chrono::duration<double, std::micro>(end - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    int runs = argc > 1 ? std::atoi(argv[1]) : 500;
    char dir[] = "/tmp/hazard-sim-compare-XXXXXX";
    if (runs < 1 || mkdtemp(dir) == nullptr)
        return 1;
    fs::path ex = fs::path(HAZARD_SIM_EXAMPLES) / "deep";
    fs::copy_file(ex / "config.txt", fs::path(dir) / "config.txt");
    fs::copy_file(ex / "program.txt", fs::path(dir) / "program.txt");
    if (chdir(dir) != 0)
        return 1;

    // Both must write the same bytes, or the comparison means nothing.
    const char *names[] = {"console", "analiza_hazard.txt", "eliminare_hazard.txt"};
    std::string first[3];
    run(HAZARD_SIM_BIN, "console");
    for (int k = 0; k < 3; k++)
        first[k] = slurp(names[k]);
    run(BASELINE_BIN, "console");
    for (int k = 0; k < 3; k++) {
        if (slurp(names[k]) != first[k]) {
            std::fprintf(stderr, "baseline and hazard-sim differ in %s\n", names[k]);
            return 1;
        }
    }

    std::vector<double> sim, base;
    for (int i = 0; i < runs; i++) {
        sim.push_back(run(HAZARD_SIM_BIN, "/dev/null"));
        base.push_back(run(BASELINE_BIN, "/dev/null"));
    }
    double ms = median(sim), mb = median(base);
    std::printf("runs of each: %d\n", runs);
    std::printf("hazard-sim median: %.1f us\n", ms);
    std::printf("baseline median:   %.1f us\n", mb);
    std::printf("ratio: %.3f\n", ms / mb);
    fs::remove_all(dir);
    return 0;
}
