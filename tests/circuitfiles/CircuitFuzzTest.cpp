// Generated bad input for every reader a circuit steers: mutated circuits go
// through the circuit reader with its embedded library (as a load and as an
// insertion), the block description reader and the icon store. Every input
// must end (with messages at most), leave nothing outside library Local but
// plain block files, and a circuit that reads without any message must read
// back after a save with the same blocks and connections and write the same
// text again.
//
// The seeds are the shipped examples, the golden sample and small circuits
// with embedded blocks; a mutation inserts words the readers care about
// (quotes, comment signs, section markers, names that leave a directory,
// devices), cuts, deletes, doubles, splices and flips bytes. CI runs a fixed
// number of inputs; KYT_FUZZ_RUNS=<n> and KYT_FUZZ_SEED=<s> run more,
// KYT_FUZZ_KEEP=<dir> keeps every input that broke a rule and
// KYT_FUZZ_INPUT=<file> checks one kept input again.
#include "CircuitTextSupport.h"
#include "FileLayer.h"
#include "PlainFileName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const kWords[] = {
    "\"", "\"\"", "/*", "*/", "#", "//", "\n", "\r\n", ";", "$", "=", ",", " ", "\t", "<NUL>",
    "@START_BFL\n", "@END_BFL\n", "@START_BLOCK \"", "@START_BLOCK \"eigen\"\n", "@END_BLOCK\n", "@END_BLOCK",
    "@END_LOCALLIB\n", "../", "..\\", "..", "nul", "CON.blk", "c:", "/dev/zero", "com1", "$ ICONNAME \"",
    "$ ICONNAME \"../x\"\n", "USE ", " AS ", "USE eigen AS q \n$ BLOCKLIB Local\nENDUSE\n", "$ BLOCKLIB ",
    "Local", "Standard", "Nirgends", "ENDUSE\n", "CIRCUIT ", "CIRCUIT a;\n", "ENDCIRCUIT a;\n", "CONNECT ", " TO ",
    "$ INTERPOINTS\n", "$ ENDINTERPOINTS\n", "SAVE ", "$ SIGNAMES\n", "$ ENDSIGNAMES\n", "$ TEXT \"", "BLOCK ",
    "ENDBLOCK\n", "$ WIZARD Laplace \"1\"\n", "$ BLOCKDIM 2 2 6 3\n", "99999999999", "-1", "1e308", "B_1.y",
    "w0", "W12", "@START_BLOCK \"w0aux\"\n",
};

const char* const kEmbeddedCode = "$ WIZARD Laplace \"1/(1+s)\"\nBLOCK E;\nINPUT u;\nOUTPUT y;\nSIM\ny = u;\nENDBLOCK\n";

std::string embeddedSeed(const std::string& code)
{
    return "#----\n@START_BFL\n@END_BFL\n\n@START_BLOCK \"eigen\"\n" + code +
           "@END_BLOCK\n\n@END_LOCALLIB\n#----\n\nCIRCUIT a; # a.kyt\n"
           "USE sprung.blk AS B_1 \n$ BLOCKLIB Standard\nENDUSE\n"
           "USE eigen AS B_2 \n$ BLOCKLIB Local\n$ BLOCKDIM 12 2 6 3\n$ TEXT \"G\"\n$ TEXTALIG 1 1 1 1 \n"
           "$ ICONNAME \"pt1.ico\"\n$ ICONDIM 4 2\n$ ICONALIG 1 1 1\n$ SIGNAMES\n$    \"y\"\n$ ENDSIGNAMES\nENDUSE\n"
           "CONNECT B_1.y TO B_2.u;\n$ INTERPOINTS\n$    8 3\n$ ENDINTERPOINTS\nSAVE  B_2.y;\n\n"
           "ENDCIRCUIT a; # a.kyt\n\n/* BEGIN PARAMETER */\n$ FNAME        nul\n$ IALG         1\n"
           "/* END PARAMETER */\n";
}

std::vector<std::string> seeds()
{
    std::vector<std::string> list = {
        embeddedSeed(kEmbeddedCode),
        embeddedSeed("BLOCK E;\n# ein \"Kommentar\nINPUT u;\nOUTPUT y;\nSIM\n/* offen\ny = u;\nENDBLOCK\n"),
        readFileBytes(kFixtures + "/golden/sample.kyt"),
        readFileBytes(kFixtures + "/golden/sample-plot.kyt"),
        readFileBytes(kFixtures + "/standard/pt1.blk"),
    };
    for (const auto& entry : std::filesystem::directory_iterator(std::string(KYT_SOURCE_DIR) + "/examples"))
        if (entry.path().extension() == ".kyt")
            list.push_back(readFileBytes(entry.path().string()));
    return list;
}

class Mutator {
public:
    Mutator(unsigned seed, const std::vector<std::string>& seedTexts) : rng(seed), corpus(seedTexts) {}

    std::string next()
    {
        std::string text = corpus[pick(corpus.size())];
        int steps = 1 + static_cast<int>(pick(6));
        for (int i = 0; i < steps; ++i)
            mutate(text);
        return text;
    }

private:
    size_t pick(size_t n) { return n ? rng() % n : 0; }
    size_t at(const std::string& text) { return pick(text.size() + 1); }
    // Most changes fall at the start of a line, where markers count.
    size_t lineStart(const std::string& text)
    {
        size_t p = at(text);
        size_t nl = text.rfind('\n', p ? p - 1 : 0);
        return p == 0 || nl == std::string::npos ? 0 : nl + 1;
    }
    void mutate(std::string& text)
    {
        switch (pick(9)) {
        case 0:
        case 1: {
            size_t w = pick(sizeof kWords / sizeof kWords[0]);
            std::string word = w == 14 ? std::string(1, '\0') : std::string(kWords[w]);
            text.insert(pick(2) ? lineStart(text) : at(text), word);
            break;
        }
        case 2:
            if (!text.empty())
                text[pick(text.size())] = static_cast<char>(rng() & 0xFF);
            break;
        case 3: {
            size_t from = at(text);
            text.erase(from, pick(64) + 1);
            break;
        }
        case 4: {
            size_t from = lineStart(text);
            size_t length = pick(text.size() - from + 1);
            text.insert(lineStart(text), text.substr(from, length));
            break;
        }
        case 5: text.resize(at(text)); break;
        case 6: {
            const std::string& other = corpus[pick(corpus.size())];
            text = text.substr(0, lineStart(text)) + other.substr(lineStart(other));
            break;
        }
        case 7: text.insert(at(text), std::string(pick(3000), "x\"#\n"[pick(4)])); break;
        default: {
            // A line doubled: two embedded blocks of one name, two USE
            // statements of one instance.
            size_t from = lineStart(text);
            size_t end = text.find('\n', from);
            if (end != std::string::npos)
                text.insert(from, text.substr(from, end - from + 1));
            break;
        }
        }
    }

    std::mt19937 rng;
    const std::vector<std::string>& corpus;
};

// The writer gives the embedded section whenever Local has an entry, so an
// input's embedded block that no USE names leaves an empty section in the
// first text only.
std::string withoutEmptySection(const std::string& text)
{
    const std::string empty = "@START_BFL\n@END_BFL\n\n@END_LOCALLIB\n";
    size_t at = text.find(empty);
    if (at == std::string::npos)
        return text;
    size_t from = text.rfind("#-", at);
    size_t to = text.find("\n\n", at + empty.size());
    if (from == std::string::npos || to == std::string::npos)
        return text;
    return text.substr(0, from) + text.substr(to + 2);
}

std::string printable(const std::string& text)
{
    std::string out;
    for (char c : text.substr(0, 3000)) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '\n' || (u >= 0x20 && u < 0x7F)) {
            out += c;
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

// The rules every input keeps; the first one it breaks, or empty.
class Checker {
public:
    explicit Checker(const std::string& libraries) : world(libraries) {}

    std::string check(const std::string& text, bool paste, const CircuitReadLimits& limits)
    {
        clearMessages();
        SignalNameRegistry registry;
        sNBase = &registry;
        IconStore icons;
        iconBase = &icons;
        std::string broken = checkCircuit(text, paste, limits);
        if (broken.empty())
            broken = checkLocal();
        if (broken.empty()) {
            // The same bytes as a block description and as an icon file.
            std::string path = world.scratch.write("in.kyt", text);
            CircuitReadLimits previous = setCircuitReadLimits(limits);
            BlockObject block(Point(0, 0), Point(0, 0), path.c_str(), "Standard");
            setCircuitReadLimits(previous);
            icons.loadFile(path.c_str());
        }
        iconBase = &world.icons;
        sNBase = &world.registry;
        return broken;
    }

private:
    void clearMessages()
    {
        world.rec.viewer.calls.clear();
        world.rec.sink.boxes.clear();
    }
    bool quiet() const { return world.rec.viewer.calls.empty() && world.rec.sink.boxes.empty(); }

    std::string checkCircuit(const std::string& text, bool paste, const CircuitReadLimits& limits)
    {
        CircuitModel m;
        if (!paste)
            LocalBlockLibrary().reset();
        std::string path = world.scratch.write("in.kyt", text);
        CircuitReader reader(paste);
        if (!reader.openFile(path.c_str()))
            return "the input did not open";
        // The input meets the limits; what the program writes back is read
        // with its own (a saved text may be longer than what was read).
        CircuitReadLimits previous = setCircuitReadLimits(limits);
        m.readCircuit(reader);
        setCircuitReadLimits(previous);
        reader.closeFile();
        if (paste || !quiet() || reader.failed() || reader.incomplete())
            return std::string();

        // Read without a message: it must read back as it was, but for two
        // things the text does by design: a parameter left without a value
        // is written empty and reads as "unknown", and the words of a plain
        // parameter's value are joined without their blanks.
        for (GraphicObject* o : m.objects) {
            if (o->kind() != 1)
                continue;
            BlockObject* b = static_cast<BlockObject*>(o);
            for (int i = 0; i < b->parameterCount; ++i) {
                std::string value = BlockObject::at(b->parameterValues, i).text();
                if (!(BlockObject::at(b->parameterKinds, i) & kParamText))
                    value.erase(std::remove(value.begin(), value.end(), ' '), value.end());
                BlockObject::store(b->parameterValues, i, value.empty() ? "unknown" : value.c_str());
            }
        }
        const std::string first = world.text(m);
        const std::string before = describe(m);
        m.clear();
        CircuitModel again;
        world.read(again, first);
        if (!quiet())
            return "the saved circuit does not read back without messages: " +
                   (world.rec.viewer.calls.empty() ? world.rec.sink.boxes[0] : world.rec.viewer.calls[0].message);
        if (describe(again) != before)
            return "the saved circuit reads back otherwise:\n" + before + "---\n" + describe(again) +
                   "---- saved ----\n" + printable(first);
        const std::string one = withoutEmptySection(first);
        const std::string two = withoutEmptySection(world.text(again));
        if (two != one) {
            size_t d = 0;
            while (d < one.size() && d < two.size() && one[d] == two[d])
                ++d;
            size_t from = one.rfind('\n', d);
            from = from == std::string::npos ? 0 : from + 1;
            return "the circuit read back writes another text; first:\n" + one.substr(from, 300) +
                   "\n---- then:\n" + two.substr(from, 300);
        }
        ++roundTrips;
        return std::string();
    }

    std::string checkLocal()
    {
        // Library Local holds plain files of plain names, nothing half
        // written; the scratch installation nothing new.
        for (const auto& entry : std::filesystem::directory_iterator(world.scratch.path)) {
            std::string name = entry.path().filename().string();
            if (!entry.is_directory() && name != "kyt.ini" && name != "in.kyt" && name != "out.kyt")
                return "a file appeared beside Local: " + name;
            if (entry.is_directory() && name != "local" && name != "tmp")
                return "a directory appeared beside Local: " + name;
        }
        for (const auto& entry : std::filesystem::directory_iterator(world.scratch.file("local"))) {
            std::string name = entry.path().filename().string();
            if (entry.is_directory() || !isPlainFileName(name.c_str()))
                return "Local holds " + name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".new") == 0 &&
                !std::filesystem::exists(world.scratch.file("local/" + name.substr(0, name.size() - 4))))
                return "a half-written block stayed in Local: " + name;
        }
        return std::string();
    }

public:
    unsigned long roundTrips = 0;

private:
    TextWorld world;
};

unsigned long environmentNumber(const char* name, unsigned long fallback)
{
    const char* value = getenv(name);
    return value && *value ? strtoul(value, nullptr, 10) : fallback;
}

} // namespace

TEST(CircuitFuzz, MutatedCircuitsEndKeepLocalPlainAndReadBack)
{
    const std::string install = std::string(KYT_SOURCE_DIR) + "/install/";
    std::string libraries = "    LIB Standard AT " + kFixtures + "/standard;\n";
    for (const char* lib : {"Allgemein allgemein", "Quellen quellen", "Linear linear", "Regler regler",
                            "Nichtlinear nichtlinear", "Diskret diskret"}) {
        std::string entry = lib;
        size_t blank = entry.find(' ');
        libraries += "    LIB " + entry.substr(0, blank) + " AT " + install + entry.substr(blank + 1) + ";\n";
    }
    const unsigned long runs = environmentNumber("KYT_FUZZ_RUNS", 1500);
    const unsigned long seed = environmentNumber("KYT_FUZZ_SEED", 1);
    const char* keep = getenv("KYT_FUZZ_KEEP");
    const std::vector<std::string> corpus = seeds();
    Mutator mutator(static_cast<unsigned>(seed), corpus);
    Checker checker(libraries);

    // KYT_FUZZ_INPUT=<file> checks that one input (as a load).
    if (const char* one = getenv("KYT_FUZZ_INPUT")) {
        const std::string finding = checker.check(readFileBytes(one), false, kCircuitReadLimits);
        EXPECT_EQ("", finding);
        return;
    }
    unsigned long broken = 0, executed = 0;
    for (unsigned long i = 0; i < runs; ++i, ++executed) {
        const std::string text = mutator.next();
        // Every eighth input meets small read limits, every fifth is inserted.
        CircuitReadLimits limits = i % 8 == 7 ? CircuitReadLimits{512, 8192} : kCircuitReadLimits;
        const std::string finding = checker.check(text, i % 5 == 4, limits);
        if (finding.empty())
            continue;
        ++broken;
        if (keep) {
            std::string name = std::string(keep) + "/circuit-fuzz-" + std::to_string(seed) + "-" + std::to_string(i);
            writeFileBytes(name, text);
        }
        ADD_FAILURE() << "input " << i << " (seed " << seed << "): " << finding << "\n---- input ----\n"
                      << printable(text);
        if (broken >= 5) {
            ++executed;
            break;
        }
    }
    printf("circuit fuzz: %lu inputs from seed %lu, %lu read whole and round-tripped, %lu broke a rule\n", executed,
           seed, checker.roundTrips, broken);
}
