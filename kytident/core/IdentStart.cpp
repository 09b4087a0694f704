#include "IdentStart.h"

#include "CompanionStart.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "IdentBlockFile.h"
#include "IdentHelp.h"
#include "ResString.h"

namespace {

// HELPDIR of startDir\kyt.ini, or startDir when it is not given.
std::string readHelpDir(const std::string& startDir)
{
    std::string path = startDir;
    if (path.empty() || (path.back() != '\\' && path.back() != '/'))
        path += '\\';
    path += "kyt.ini";
    FILE* f = openFile(path.c_str(), "rt");
    if (!f) {
        reportError(ERR_ERROR, getResString(kIdentIniMissing), path.c_str());
        return startDir;
    }
    CompanionIniReader reader;
    reader.setFile(f, path);
    reader.read();
    fclose(f);
    return reader.getHelpDir().empty() ? startDir : reader.getHelpDir();
}

} // namespace

bool startIdentWizard(const std::string& commandLine, const std::string& startDir, IdentBlockData* doc,
                      const IdentAsk& ask, int* exitCode)
{
    *exitCode = kIdentExitFailed;
    if (!splitWizardCommandLine(commandLine, &doc->blockName, &doc->directory)) {
        if (ask)
            ask(identMessage(IDENT_BOX_ERROR, kIdentWrongCommandLine, kIdentCaptionError));
        return false;
    }
    if (readIdentBlock(doc, ask) == IDENT_READ_DECLINED) {
        *exitCode = kIdentExitNothing;
        return false;
    }
    doc->helpPath = identHelpPath(readHelpDir(startDir));
    bool opened = false;
    doc->shiftLetter = probeIdentHelp(doc->helpPath, &opened);
    if (!opened && ask)
        ask(identMessage(IDENT_BOX_NOTICE, kIdentHelpMissingAtStart, kIdentCaptionError));
    return true;
}
