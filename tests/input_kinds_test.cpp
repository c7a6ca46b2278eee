// Input names that are not regular files: a folder, a link to an endless
// device, a named pipe. Each counts as a file that cannot be opened, and
// none makes the run hang; a link to a regular file reads as that file.

#include "harness.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string config_failed = "Eroare deschidere fisier de configurare !\n";
const std::string program_failed = test::reading_config + test::config_values(5, 2) +
                                   "Eroare deschidere fisier de instructiuni !\n";

enum class kind { folder, zero_device_link, null_device_link, named_pipe };

struct kind_case {
    const char *name;
    const char *file; // the input that is not a regular file
    kind made;
    std::string out;
    int status;
};

void PrintTo(const kind_case &c, std::ostream *os) { *os << c.name; }

const kind_case cases[] = {
    {"ConfigIsAFolder", "config.txt", kind::folder, config_failed, 3},
    {"ConfigLinksToEndlessDevice", "config.txt", kind::zero_device_link, config_failed, 3},
    {"ConfigLinksToNullDevice", "config.txt", kind::null_device_link, config_failed, 3},
    {"ConfigIsANamedPipe", "config.txt", kind::named_pipe, config_failed, 3},
    {"ProgramIsAFolder", "program.txt", kind::folder, program_failed, 1},
    {"ProgramLinksToEndlessDevice", "program.txt", kind::zero_device_link, program_failed, 1},
    {"ProgramLinksToNullDevice", "program.txt", kind::null_device_link, program_failed, 1},
    {"ProgramIsANamedPipe", "program.txt", kind::named_pipe, program_failed, 1},
};

class NotARegularFile : public testing::TestWithParam<kind_case> {};

TEST_P(NotARegularFile, CountsAsMissing)
{
    const kind_case &c = GetParam();
    std::string dir = test::make_dir();
    test::write_file(dir + "/config.txt", "5\n2\n");
    test::write_file(dir + "/program.txt", "LD R1,R2\nADD R3,R1,R4\n");
    std::string path = dir + "/" + c.file;
    ASSERT_EQ(unlink(path.c_str()), 0);
    switch (c.made) {
    case kind::folder:
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        break;
    case kind::zero_device_link:
        ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
        break;
    case kind::null_device_link:
        ASSERT_EQ(symlink("/dev/null", path.c_str()), 0);
        break;
    case kind::named_pipe:
        ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
        break;
    }
    test::run_result r = test::run_in(dir);
    test::remove_dir(dir);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.analysis, "");
    EXPECT_EQ(r.schedule, "");
}

INSTANTIATE_TEST_SUITE_P(Inputs, NotARegularFile, testing::ValuesIn(cases), test::by_name());

TEST(InputKinds, LinksToRegularFilesAreRead)
{
    std::string dir = test::make_dir();
    test::write_file(dir + "/real-config", "3\n2\n");
    test::write_file(dir + "/real-program", "LD R1,R2\nADD R3,R1,R4\n");
    ASSERT_EQ(symlink("real-config", (dir + "/config.txt").c_str()), 0);
    ASSERT_EQ(symlink("real-program", (dir + "/program.txt").c_str()), 0);
    test::run_result r = test::run_in(dir);
    test::remove_dir(dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Performanta structurii pipe-line = 80.00%"), std::string::npos) << r.out;
}

} // namespace
