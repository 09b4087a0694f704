// Seconds the model scanner and the fuzzy scanner take for one long line (a
// comment and a name, 4, 16 and 64 MiB). Both scan in time linear in the
// length: each figure about four times the one before it. Prints, asserts
// nothing; the readers' own limits are lifted for the run.
#include "FuzzyParser.h"
#include "Scanner.h"

#include "ErrorReporter.h"
#include "ModuleRegistry.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class QuietSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char*, const char*) override {}
    [[noreturn]] void endProcess(int exitCode) override { std::_Exit(exitCode); }
};

FILE* streamOf(const std::string& bytes)
{
    FILE* f = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), f);
    rewind(f);
    return f;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double scanModel(const std::string& text)
{
    FILE* f = streamOf(text);
    auto start = std::chrono::steady_clock::now();
    kytfil = f;
    if (scanreset() == 0) {
        while (mdllex() != 0) {
        }
        ModuleRegistryFree();
    }
    double s = secondsSince(start);
    kytfil = nullptr;
    fclose(f);
    return s;
}

double scanFuzzy(const std::string& text, size_t limit)
{
    FILE* f = streamOf(text);
    auto start = std::chrono::steady_clock::now();
    FuzzyLineSource source(f, false, 1, limit);
    FuzzyCheckParser parser;
    parser.setInput(&source);
    parser.parse();
    parser.setInput(nullptr);
    double s = secondsSince(start);
    fclose(f);
    return s;
}

} // namespace

int main()
{
    static QuietSink sink;
    setErrorSink(&sink);
    const size_t sizes[] = {4u << 20, 16u << 20, 64u << 20};
    const size_t limit = 256u << 20;
    setModelTextLimit(limit);
    printf("%-8s %12s %12s %12s %12s\n", "MiB", "model //", "model name", "fuzzy #", "fuzzy NAME");
    for (size_t n : sizes) {
        std::string body(n, 'a');
        double modelComment = scanModel("// " + body + "\nx\n");
        double modelName = scanModel("x" + body + "\n");
        double fuzzyRemark = scanFuzzy("# " + body + "\n", limit);
        double fuzzyName = scanFuzzy("x" + body + "\n", limit);
        printf("%-8zu %12.3f %12.3f %12.3f %12.3f\n", n >> 20, modelComment, modelName, fuzzyRemark, fuzzyName);
    }
    return 0;
}
