// The console runner with every variable-step method and DASSL on the decay
// example: x' = -x, x(0) = 1, a record every 0.1, QUIT at 1.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Console {
    int status;
    std::string out;
};

Console kytsim(const std::string& arguments)
{
    const std::string command =
        "'" KYTSIM_PATH "' '" KYT_EXAMPLES_DIR "/decay.kyt' " + arguments + " 2>&1";
    Console c{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return c;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        c.out += buffer;
    const int raw = pclose(pipe);
    c.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return c;
}

std::string lastLine(const std::string& text)
{
    const size_t end = text.find_last_not_of('\n');
    if (end == std::string::npos)
        return "";
    const size_t newline = text.rfind('\n', end);
    const size_t start = newline == std::string::npos ? 0 : newline + 1;
    return text.substr(start, end + 1 - start);
}

} // namespace

// Reference: the analytic value e^-1.
TEST(KytsimMethods, DecayEndsAtEToTheMinusOneWithMethods2To7And9)
{
    for (int method : {2, 3, 4, 5, 6, 7, 9}) {
        SCOPED_TRACE("IALG " + std::to_string(method));
        const Console c =
            kytsim("--IALG " + std::to_string(method) + " --RELERR 1e-6 --ABSERR 1e-6");
        EXPECT_EQ(0, c.status) << c.out;
        double t = 0, x = 0;
        ASSERT_EQ(2, sscanf(lastLine(c.out).c_str(), "%lf %lf", &t, &x)) << c.out;
        EXPECT_EQ(1.0, t);
        EXPECT_NEAR(std::exp(-1.0), x, 1e-4);
    }
}

// RELERR 0 cannot drive an error control: the run ends at once.
TEST(KytsimMethods, RelErrZeroEndsWithTheParameterMessage)
{
    const Console c = kytsim("--IALG 6 --RELERR 0");
    EXPECT_EQ(4, c.status);
    EXPECT_NE(std::string::npos, c.out.find("Fehler aufgrund falscher Simulationsparameter!"))
        << c.out;
}
