#include "TransferTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

void fixedClock(struct tm* now)
{
    memset(now, 0, sizeof *now);
    now->tm_year = 97;
    now->tm_mon = 2;
    now->tm_mday = 4;
    now->tm_wday = 2;
    now->tm_hour = 9;
    now->tm_min = 5;
    now->tm_sec = 7;
}

std::string printNode(PolyGrammarParser& d, const CaNode& node)
{
    char* buf = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&buf, &size);
    FILE* old = d.getWorkFile();
    d.setWorkFile(f);
    node.print();
    d.setWorkFile(old);
    fclose(f);
    std::string s(buf, size);
    free(buf);
    return s;
}

std::string polyText(PolyGrammarParser& d, const Polynomial& p)
{
    std::string s;
    for (int i = 0; i <= p.degree; ++i) {
        if (i)
            s += " | ";
        s += printNode(d, p.coefficient(i));
    }
    s += p.variable == POLY_S ? " @s" : (p.variable == POLY_Z ? " @z" : " @-");
    return s;
}

ParseRun parseTransfer(const char* text)
{
    ErrorBoxScope scope;
    ParseRun run;
    PolyGrammarParser d;
    RationalFunction r;
    d.setResult(&r);
    d.setInput(text);
    run.rc = d.parse();
    run.leftRegistered = d.countRegisteredPointers();
    run.nodesMade = d.getNodesMade();
    // Printing must not change the message of the parse.
    run.messageId = d.getMessageId();
    run.message = d.getMessage();
    run.numerator = polyText(d, r.numerator);
    run.denominator = polyText(d, r.denominator);
    for (const ParameterList::Record* p = d.getParameters().first(); p; p = p->next)
        run.parameters.push_back(p->name);
    run.boxes = scope.sink.boxes;
    d.freeRegisteredPointers();
    return run;
}

ScratchDir::ScratchDir()
{
    char tmpl[] = "/tmp/kyt-laplace-XXXXXX";
    const char* d = mkdtemp(tmpl);
    dir = d ? d : "/tmp";
}

ScratchDir::~ScratchDir()
{
    DIR* d = opendir(dir.c_str());
    if (d) {
        while (struct dirent* e = readdir(d)) {
            if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0)
                continue;
            unlink((dir + "/" + e->d_name).c_str());
        }
        closedir(d);
    }
    rmdir(dir.c_str());
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

BlockRun generateInto(const ScratchDir& dir, const char* text, const char* blockName)
{
    ErrorBoxScope scope;
    setTransferClock(fixedClock);
    std::string work = dir.path("laplace.tmp");
    std::string block = dir.path((std::string(blockName) + ".blk").c_str());
    BlockRun run;
    {
        PolyGrammarParser d;
        run.rc = d.generateBlock(text, work.c_str(), block.c_str(), blockName);
        run.messageId = d.getMessageId();
        run.message = d.getMessage();
    }
    setTransferClock(nullptr);
    run.boxes = scope.sink.boxes;
    run.blockWritten = fileExists(block);
    run.block = run.blockWritten ? readFileBytes(block) : "";
    run.workFileLeft = fileExists(work);
    run.temporaryLeft = fileExists(block + ".new");
    return run;
}
