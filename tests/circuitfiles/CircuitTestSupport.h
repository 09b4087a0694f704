// Shared set-up of the circuit-object tests: the workspace read from the
// fixture installation, the signal-name registry and the icon store, and
// description files written on the fly.
#ifndef KYT_TESTS_CIRCUITTESTSUPPORT_H
#define KYT_TESTS_CIRCUITTESTSUPPORT_H

#include "BlockObject.h"
#include "CircuitReader.h"
#include "Icon.h"
#include "SignalNameRegistry.h"
#include "TempDirFixture.h"
#include "TestSinks.h"
#include "RecordingCanvas.h"
#include "Workspace.h"

#include <memory>
#include <string>

const std::string kFixtures = KYT_FIXTURES;

// The program-wide objects that blocks reach, made as the editing pane
// makes them, and the recorders of what would be shown.
class CircuitWorld {
public:
    CircuitWorld()
    {
        readInstallationFile(workspace, (kFixtures + "/kyt.ini").c_str());
        setWorkspace(&workspace);
        sNBase = &registry;
        iconBase = &icons;
    }
    ~CircuitWorld()
    {
        iconBase = nullptr;
        sNBase = nullptr;
        setWorkspace(nullptr);
    }
    std::string library(const std::string& file) const { return kFixtures + "/standard/" + file; }
    std::unique_ptr<BlockObject> block(const std::string& file, Point at = Point(0, 0),
                                       Point size = Point(0, 0))
    {
        return std::unique_ptr<BlockObject>(
            new BlockObject(at, size, library(file).c_str(), "Standard"));
    }
    // A block read from description text written to a scratch file.
    std::unique_ptr<BlockObject> described(const std::string& text)
    {
        std::string path = scratch.write("b.blk", text);
        return std::unique_ptr<BlockObject>(
            new BlockObject(Point(0, 0), Point(0, 0), path.c_str(), "Standard"));
    }

    RecordingScope rec;
    Workspace workspace;
    SignalNameRegistry registry;
    IconStore icons;
    ScratchDir scratch;
};

#endif
