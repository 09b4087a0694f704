// Net and pattern files: number texts, pattern file names, the write-back of
// a trained net into the file it was read from, failed writes, and pattern
// files that read back.
#include "NNTestSupport.h"

#include "NetFiles.h"
#include "TextLines.h"

#include <cmath>
#include <csignal>
#include <limits>
#include <sys/fsuid.h>
#include <sys/resource.h>

using namespace nntest;

namespace {

TEST(NetNumberText, EveryNumberReadsBackAsOneNumberToken)
{
    const struct {
        double v;
        const char* text;
        double back;
    } cases[] = {
        {0.0, "0.", 0.0},
        {0.5, "0.5", 0.5},
        {-0.25, "-0.25", -0.25},
        {1e20, "1.e20", 1e20},
        {-2.5e-7, "-2.5e-7", -2.5e-7},
        {123456.78901234567, "123456.78901235", 123456.78901235},
        {std::numeric_limits<double>::quiet_NaN(), "1000000.", 1e6},
        {-std::numeric_limits<double>::infinity(), "-1000000.", -1e6},
    };
    for (const auto& c : cases) {
        String t = netNumber(c.v);
        EXPECT_STREQ(t.text(), c.text);
        netScannerSetInput(t.text(), strlen(t.text()));
        EXPECT_EQ(nnyylook(), 257) << c.text;
        EXPECT_EQ(nnyylook(), 0) << c.text;
        netScannerSetInput(nullptr, 0);
        EXPECT_DOUBLE_EQ(netTextToReal(t.text()), c.back);
    }
}

TEST(PatternFileNames, NamePartUpToItsFirstPointThenPat)
{
    const struct {
        const char* fileName;
        const char* pattern;
    } cases[] = {
        {"C:\\KYT\\CIRCUITS\\xor.net", "xor.pat"},
        {"xor", "xorpat"},
        {"xor.net", "xor.pat"},
        {"D:\\nets\\a.b.net", "a.pat"},
        {"nets/unix.net", "unix.pat"},
        {nullptr, "pat"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(patternFileName(c.fileName).text(), c.pattern) << (c.fileName ? c.fileName : "null");
}

// --- Write-back ---------------------------------------------------------------

class NetWriteBack : public ::testing::Test {
protected:
    void SetUp() override
    {
        netPath = scratch.file("xor.net");
        original = readFileBytes(fixturePath("xor.net"));
        writeFileBytes(netPath, original);
    }
    NeuralNet* loadTrained()
    {
        NeuralNet* net = loadNetFile(netPath);
        EXPECT_NE(net, nullptr);
        if (!net)
            return nullptr;
        EXPECT_TRUE(loadPatterns(net, fixturePath("xor.pat")));
        FakePlot plot;
        NetTrain(net, &plot);
        return net;
    }
    ScratchDir scratch;
    std::string netPath;
    std::string original;
    SinkScope errors;
};

TEST_F(NetWriteBack, OnlyTheTrainedValuesChange)
{
    NetFakeHost::attach();
    std::unique_ptr<NeuralNet> net(loadTrained());
    net->cycles = 183;
    ASSERT_TRUE(NetFileIO(net.get()));
    const std::string written = readFileBytes(netPath);

    std::vector<std::string> before = linesOf(original), after = linesOf(written);
    ASSERT_EQ(before.size(), after.size());
    bool inNeurons = false, inConnections = false;
    int neuronRows = 0, connectionRows = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        const std::string& b = before[i];
        const std::string& a = after[i];
        if (b == "NEURONPARAMETER")
            inNeurons = true;
        if (b.empty() || b == "LAYERPARAMETER")
            inNeurons = false;
        if (b.rfind("CYCLES:", 0) == 0) {
            EXPECT_EQ(a, "CYCLES: 183");
        } else if (b.rfind("LEARNPARAMETER:", 0) == 0) {
            EXPECT_EQ(a, std::string("LEARNPARAMETER: ") + netNumber(net->learningRate).text());
        } else if (inNeurons && !b.empty() && b[0] >= '1' && b[0] <= '9') {
            // Everything up to the bias field stays, also the row without blanks.
            size_t bar = b.rfind('|');
            EXPECT_EQ(a.substr(0, bar + 1), b.substr(0, bar + 1)) << b;
            ++neuronRows;
        } else if (inConnections) {
            ++connectionRows;
        } else {
            EXPECT_EQ(a, b) << "line " << i + 1;
        }
        if (b == "Source | Targets")
            inConnections = true;
    }
    EXPECT_EQ(neuronRows, 5);
    EXPECT_EQ(connectionRows, 4);
    // The rows in their written form.
    std::string row3 = std::string("3     | 5 : ") + netNumber(net->getWeight(2, 4)).text() + "  ";
    EXPECT_NE(written.find(row3 + "\n"), std::string::npos) << written;
    EXPECT_TRUE(NetFakeHost::messages().empty());
}

TEST_F(NetWriteBack, NoFileOfTheFileNameTextAppears)
{
    std::unique_ptr<NeuralNet> net(loadTrained());
    ASSERT_TRUE(NetFileIO(net.get()));
    EXPECT_EQ(listDirectory(scratch.path()), std::vector<std::string>{"xor.net"});
    EXPECT_FALSE(fileExists("C:/KYT/CIRCUITS/xor.net"));
    EXPECT_FALSE(fileExists(scratch.file("C:/KYT/CIRCUITS/xor.net")));
}

TEST_F(NetWriteBack, ReadingBackGivesTheTrainedNet)
{
    std::unique_ptr<NeuralNet> net(loadTrained());
    ASSERT_TRUE(NetFileIO(net.get()));
    std::unique_ptr<NeuralNet> again(loadNetFile(netPath));
    ASSERT_NE(again, nullptr);
    auto close14 = [](double a, double b) { return std::fabs(a - b) <= 1e-13 * std::max(1.0, std::fabs(b)); };
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(close14(again->neurons[i].bias, net->neurons[i].bias)) << i;
        for (int j = 0; j < 5; ++j) {
            EXPECT_TRUE(close14(again->getWeight(i, j), net->getWeight(i, j))) << i << "->" << j;
            EXPECT_EQ(again->isConnected(i, j), net->isConnected(i, j));
        }
    }
    EXPECT_TRUE(close14(again->learningRate, net->learningRate));
    // Written twice from the same reading, the file is the same.
    ASSERT_TRUE(NetFileIO(net.get()));
    const std::string once = readFileBytes(netPath);
    ASSERT_TRUE(NetFileIO(net.get()));
    EXPECT_EQ(readFileBytes(netPath), once);
}

TEST_F(NetWriteBack, LineEndsAndPermissionsOfTheFileStay)
{
    std::string crlf;
    for (char c : original) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    writeFileBytes(netPath, crlf);
    chmod(netPath.c_str(), 0640);
    std::unique_ptr<NeuralNet> net(loadTrained());
    ASSERT_NE(net, nullptr);
    ASSERT_TRUE(NetFileIO(net.get()));
    const std::string written = readFileBytes(netPath);
    size_t rows = written.find("Source | Targets\r\n");
    ASSERT_NE(rows, std::string::npos);
    for (size_t p = written.find('\n'); p != std::string::npos; p = written.find('\n', p + 1))
        EXPECT_EQ(written[p - 1], '\r') << "at " << p;
    struct stat st;
    ASSERT_EQ(stat(netPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(NetWriteBack, ANeuronWithoutConnectionsGetsNoRow)
{
    std::unique_ptr<NeuralNet> net(loadNetFile(netPath));
    ASSERT_NE(net, nullptr);
    net->setConnection(1, 2, 0.0);
    net->setConnection(1, 3, 0.0);
    ASSERT_TRUE(NetFileIO(net.get()));
    std::unique_ptr<NeuralNet> again(loadNetFile(netPath));
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(again->isConnected(1, 2));
    EXPECT_TRUE(again->isConnected(0, 2));
    EXPECT_EQ(readFileBytes(netPath).find("\n2     "), std::string::npos);
}

// Makes every write into dir fail for this process: a read-only directory,
// and for root a file-system user that is not root.
class ReadOnlyDirectory {
public:
    explicit ReadOnlyDirectory(const std::string& dir) : dir_(dir)
    {
        chmod(dir_.c_str(), 0555);
        if (geteuid() == 0) {
            oldFsuid_ = setfsuid(65534);
            switched_ = true;
        }
        std::string probe = dir_ + "/probe";
        FILE* f = fopen(probe.c_str(), "w");
        effective_ = f == nullptr;
        if (f) {
            fclose(f);
            unlink(probe.c_str());
        }
    }
    ~ReadOnlyDirectory()
    {
        if (switched_)
            setfsuid(oldFsuid_);
        chmod(dir_.c_str(), 0755);
    }
    bool effective() const { return effective_; }

private:
    std::string dir_;
    int oldFsuid_ = 0;
    bool switched_ = false;
    bool effective_ = false;
};

TEST_F(NetWriteBack, InAReadOnlyDirectoryTheFileStaysAndTheHostIsTold)
{
    NetFakeHost::attach();
    std::unique_ptr<NeuralNet> net(loadTrained());
    bool written;
    {
        ReadOnlyDirectory readOnly(scratch.path());
        if (!readOnly.effective())
            GTEST_SKIP() << "this process can write into a read-only directory";
        written = NetFileIO(net.get());
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readFileBytes(netPath), original);
    EXPECT_EQ(listDirectory(scratch.path()), std::vector<std::string>{"xor.net"});
    ASSERT_EQ(NetFakeHost::messages().size(), 1u);
    EXPECT_EQ(NetFakeHost::levels()[0], 1);
    EXPECT_EQ(NetFakeHost::messages()[0],
              "Speichern der Datei\n" + netPath + "\nmißlungen!\n(Sind die Rechte dazu vorhanden?)");
}

TEST_F(NetWriteBack, AWriteThatFailsHalfwayLeavesNoTemporaryFile)
{
    NetFakeHost::attach();
    std::unique_ptr<NeuralNet> net(loadTrained());
    // A file-size limit below the file's size fails the write after the
    // temporary file was made.
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 100;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = NetFileIO(net.get());
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(readFileBytes(netPath), original);
    EXPECT_EQ(listDirectory(scratch.path()), std::vector<std::string>{"xor.net"});
    ASSERT_EQ(NetFakeHost::messages().size(), 1u);
    EXPECT_NE(NetFakeHost::messages()[0].find(netPath), std::string::npos);
}

// --- Pattern files ------------------------------------------------------------------

TEST_F(NetWriteBack, APatternFileReadsBackWithItsPatterns)
{
    std::unique_ptr<NeuralNet> net(loadNetFile(netPath));
    ASSERT_NE(net, nullptr);
    ASSERT_TRUE(loadPatterns(net.get(), fixturePath("xor.pat")));
    const std::string patPath = scratch.file("xor.pat");
    ASSERT_TRUE(PatternFileWrite(net.get(), patPath.c_str(), "C:\\KYT\\CIRCUITS"));
    const std::string text = readFileBytes(patPath);
    EXPECT_EQ(text.rfind("Patternfile\nFILENAME: C:\\KYT\\CIRCUITS\nFILETYPE: Inclusive_Sollwert\nNOOFPATTERN: 4\n\n"
                         "NETPARAMETER\n\nINPUTNEURONS: 2\nOUTPUTNEURONS: 1\nHIDDENNEURONS: 2\n\nPATTERN 1\n"
                         "INPUT:            0. 0. \nOUTPUT_REF:      0.     \nOUTPUT:       ",
                         0),
              0u)
        << text;

    std::unique_ptr<NeuralNet> other(loadNetFile(netPath));
    ASSERT_TRUE(loadPatterns(other.get(), patPath));
    ASSERT_EQ(other->patternCount, 4);
    for (int p = 0; p < 4; ++p) {
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(other->getInputPattern(i, p), net->getInputPattern(i, p));
        EXPECT_EQ(other->getReferenceOutput(0, p), net->getReferenceOutput(0, p));
    }
}

TEST_F(NetWriteBack, ANetWithoutHiddenNeuronsWritesAnEmptyHiddenList)
{
    std::string text = replaceOnce(original, "HIDDENLAYER: 1", "HIDDENLAYER: 0");
    text = replaceOnce(text, "HIDDENNEURONS: 2", "HIDDENNEURONS: 0");
    writeFileBytes(netPath, text);
    std::unique_ptr<NeuralNet> net(loadNetFile(netPath));
    ASSERT_NE(net, nullptr);
    ASSERT_EQ(net->n, 3);
    net->patternCount = 2;
    net->makePatterns();
    net->setInputPattern(0, 1, 1.0);
    net->setReferenceOutput(0, 1, 0.25);
    const std::string patPath = scratch.file("flat.pat");
    ASSERT_TRUE(PatternFileWrite(net.get(), patPath.c_str(), "C:\\KYT"));
    EXPECT_NE(readFileBytes(patPath).find("HIDDENACTIVATION:\n\nPATTERN 2"), std::string::npos);
    std::unique_ptr<NeuralNet> other(loadNetFile(netPath));
    ASSERT_TRUE(loadPatterns(other.get(), patPath));
    EXPECT_EQ(other->patternCount, 2);
    EXPECT_EQ(other->getInputPattern(0, 1), 1.0);
    EXPECT_EQ(other->getReferenceOutput(0, 1), 0.25);
}

TEST_F(NetWriteBack, APatternFileThatCannotBeWrittenIsReported)
{
    NetFakeHost::attach();
    std::unique_ptr<NeuralNet> net(loadNetFile(netPath));
    const std::string patPath = scratch.file("missing/xor.pat");
    EXPECT_FALSE(PatternFileWrite(net.get(), patPath.c_str(), "C:\\KYT"));
    ASSERT_EQ(NetFakeHost::messages().size(), 1u);
    EXPECT_NE(NetFakeHost::messages()[0].find(patPath), std::string::npos);
}


// --- Write-back for any layout ---------------------------------------------

// The tokens of a net file, line by line: a "COMMENT:" line is one token, a
// "|" is a token of its own.
std::vector<std::vector<std::string>> tokenLines(const std::string& text)
{
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line : linesOf(text)) {
        std::vector<std::string> tokens;
        if (line.rfind("COMMENT:", 0) == 0) {
            tokens.push_back(line);
        } else {
            std::string word;
            for (char c : line) {
                if (c == ' ' || c == '|') {
                    if (!word.empty())
                        tokens.push_back(word);
                    word.clear();
                    if (c == '|')
                        tokens.push_back("|");
                } else {
                    word += c;
                }
            }
            if (!word.empty())
                tokens.push_back(word);
        }
        lines.push_back(tokens);
    }
    return lines;
}

// How a generated net file lays out its tokens.
struct NetLayout {
    const char* what;
    const char* wordGap;   // between two tokens that are not "|"
    const char* barGap;    // on either side of a "|"
    const char* lineEnd;
    bool numberEndsLine;   // a line end after every number
    const char* lineTail;  // after the last token of a line
};

bool isNumberToken(const std::string& t)
{
    return !t.empty() && t.find_first_not_of("-.0123456789e") == std::string::npos;
}

std::string layOut(const std::vector<std::vector<std::string>>& lines, const NetLayout& l)
{
    std::string out;
    for (const std::vector<std::string>& tokens : lines) {
        for (size_t i = 0; i < tokens.size(); ++i) {
            const std::string& t = tokens[i];
            if (i > 0) {
                const std::string& before = tokens[i - 1];
                if (before == "|" || t == "|")
                    out += l.barGap;
                else if (!(l.numberEndsLine && isNumberToken(before)))
                    out += l.wordGap;
            }
            out += t;
            if (l.numberEndsLine && isNumberToken(t) && i + 1 < tokens.size())
                out += l.lineEnd;
        }
        // The comment runs to the end of its line: it needs a line feed.
        bool comment = !tokens.empty() && tokens[0].rfind("COMMENT:", 0) == 0;
        if (!comment)
            out += l.lineTail;
        out += comment && std::string(l.lineEnd).find('\n') == std::string::npos ? "\n" : l.lineEnd;
    }
    return out;
}

const NetLayout netLayouts[] = {
    {"blanks", " ", " ", "\n", false, ""},
    {"no blanks: bars alone, values on lines of their own", "\n", "", "\n", true, ""},
    {"tabs", "\t", "\t", "\n", false, "\t"},
    {"CRLF", " ", " ", "\r\n", false, ""},
    {"CRLF, tight bars, blanks at line ends", " ", "", "\r\n", false, "   "},
    {"values at line ends", "\n", " ", "\n", true, ""},
    {"one line end only after the comment", " ", " ", " ", false, ""},
};

// Values a training run could leave, none of them in the file before:
// positive where the file is negative and the other way round, and longer.
void retrain(NeuralNet* net)
{
    net->cycles = 123456;
    net->learningRate = 0.0625;
    for (int i = 0; i < net->n; ++i) {
        net->neurons[i].bias = (i % 2 ? -1.0 : 1.0) * (1.5 + i / 64.0);
        for (int j = 0; j < net->n; ++j)
            if (net->isConnected(i, j))
                net->setWeight(i, j, (j % 2 ? 1.0 : -1.0) * (0.75 + i / 8.0 + j / 128.0));
    }
}

// The parts of a net the write-back puts into the file, and what they sit
// among.
void expectSameNet(const NeuralNet& a, const NeuralNet& b)
{
    EXPECT_EQ(a.cycles, b.cycles);
    EXPECT_EQ(a.learningRate, b.learningRate);
    EXPECT_EQ(a.errorLimit, b.errorLimit);
    EXPECT_EQ(a.momentum, b.momentum);
    EXPECT_EQ(a.hiddenLayers, b.hiddenLayers);
    ASSERT_EQ(a.n, b.n);
    for (int i = 0; i < a.n; ++i) {
        EXPECT_EQ(a.neurons[i].bias, b.neurons[i].bias) << i;
        EXPECT_EQ(a.neurons[i].activationGain, b.neurons[i].activationGain) << i;
        for (int j = 0; j < a.n; ++j) {
            EXPECT_EQ(a.isConnected(i, j), b.isConnected(i, j)) << i << "->" << j;
            EXPECT_EQ(a.getWeight(i, j), b.getWeight(i, j)) << i << "->" << j;
        }
    }
}

// Trains (in effect) the net of text, writes it back, reads it again and
// writes that back unchanged: the second file reads as the trained net and
// the third one has the second one's bytes.
void expectWriteBackReadsBack(const std::string& path, const std::string& text)
{
    writeFileBytes(path, text);
    std::unique_ptr<NeuralNet> net(loadNetFile(path));
    ASSERT_NE(net, nullptr) << text;
    retrain(net.get());
    ASSERT_TRUE(NetFileIO(net.get()));
    const std::string once = readFileBytes(path);
    std::unique_ptr<NeuralNet> again(loadNetFile(path));
    ASSERT_NE(again, nullptr) << once;
    expectSameNet(*again, *net);
    ASSERT_TRUE(NetFileIO(again.get()));
    EXPECT_EQ(readFileBytes(path), once);
}

TEST_F(NetWriteBack, EveryLayoutReadsBackAsTheTrainedNet)
{
    const std::vector<std::vector<std::string>> lines = tokenLines(original);
    for (const NetLayout& layout : netLayouts) {
        SCOPED_TRACE(layout.what);
        const std::string text = layOut(lines, layout);
        // The layout itself reads as the fixture does.
        std::unique_ptr<NeuralNet> fixture(loadNetFile(fixturePath("xor.net")));
        NeuralNet laidOut;
        ASSERT_EQ(parseNet(&laidOut, text), 0) << text;
        expectSameNet(laidOut, *fixture);
        expectWriteBackReadsBack(netPath, text);
    }
}

// Values that touch the next word in the file: the scanner ends a number at
// a "-" that follows it and begins one at a "-" after a keyword, so these
// files read; a new value without the "-" would join the word beside it.
TEST_F(NetWriteBack, ANewValueNeverJoinsTheWordBesideIt)
{
    const struct {
        const char* what;
        const char* from;
        const char* to;
    } cases[] = {
        {"cycles before the next keyword", "CYCLES: 5000\nERRORLIMIT:", "CYCLES: 5000-ERRORLIMIT:"},
        {"rate right after its keyword", "LEARNPARAMETER: 0.5", "LEARNPARAMETER:-0.5"},
        {"last bias before LAYERPARAMETER", "0.05\n\nLAYERPARAMETER", "0.05-LAYERPARAMETER"},
        {"a row of no neuron right after the header", "Source | Targets\n", "Source | Targets-|3 : 0.5\n"},
        {"last weight at the very end of the file", "| 5 : -0.5  \n", "| 5 : -0.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = replaceOnce(original, c.from, c.to);
        ASSERT_NE(text, original);
        expectWriteBackReadsBack(netPath, text);
    }
}

TEST_F(NetWriteBack, AnUnchangedNetIsWrittenBackByteForByte)
{
    // Training runs of one session after another: each reads the file the
    // one before wrote.
    std::unique_ptr<NeuralNet> first(loadTrained());
    ASSERT_TRUE(NetFileIO(first.get()));
    const std::string trained = readFileBytes(netPath);
    for (int run = 0; run < 3; ++run) {
        std::unique_ptr<NeuralNet> net(loadNetFile(netPath));
        ASSERT_NE(net, nullptr);
        ASSERT_TRUE(NetFileIO(net.get()));
        EXPECT_EQ(readFileBytes(netPath), trained) << "run " << run;
    }
    // The rows keep the form the fixture has, blanks at the end included.
    EXPECT_NE(trained.find("\n4     | 5 : " + std::string(netNumber(first->getWeight(3, 4)).text()) + "  \n"),
              std::string::npos)
        << trained;
}

} // namespace
