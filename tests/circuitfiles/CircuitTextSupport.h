// A scratch installation for circuit-text tests (libraries Standard and
// Local, a fixed clock), and the description of a model by everything its
// text carries, for write-read-write round trips.
#ifndef KYT_TESTS_CIRCUITTEXTSUPPORT_H
#define KYT_TESTS_CIRCUITTEXTSUPPORT_H

#include "CircuitModel.h"
#include "CircuitTestSupport.h"
#include "LocalLibrary.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

class FixedClock : public Clock {
public:
    ClockTime now() const override { return ClockTime{1970, 1, 1, 4, 0, 0, 0}; }
};

// A plot window with settings of its own.
class SettingsPlotWindow : public PlotWindow {
public:
    void setTitle(const char*) override {}
    String getTitle() override { return String(); }
    void checkCommand(int, bool) override {}
    void enableCommand(int, bool) override {}
    void showAndRaise() override {}
    bool currentPlotParams(PlotParams& p) override
    {
        p = params;
        return true;
    }
    void noteNewSettings() override { ++newSettings; }
    PlotParams params{0, 1, 2.5, 0.5, -1.0, 0.25};
    int newSettings = 0;
};

// An installation in a scratch directory with libraries Standard and Local
// (or the libraries given, as kyt.ini lines, and Local), a fixed clock and
// the circuit name "probe.kyt".
class TextWorld {
public:
    explicit TextWorld(const std::string& libraries = "", const std::string& iconDir = kFixtures + "/icons")
    {
        scratch.mkdir("local");
        scratch.mkdir("tmp");
        std::string standard = "    LIB Standard AT " + kFixtures + "/standard;\n";
        std::string ini = "CIRCUITDIR = " + scratch.file("tmp") + ";\nICONDIR = " + iconDir +
                          ";\nTEMPDIR = " + scratch.file("tmp") + ";\nBLOCKLIBS\n" +
                          (libraries.empty() ? standard : libraries) + "    LIB Local AT " + scratch.file("local") +
                          ";\nENDBLOCKLIBS\n";
        readInstallationFile(workspace, scratch.write("kyt.ini", ini).c_str());
        setWorkspace(&workspace);
        sNBase = &registry;
        iconBase = &icons;
        previousClock = setCircuitClock(&clock);
        workspace.circuitName = "probe.kyt";
        LocalBlockLibrary().reset();
    }
    ~TextWorld()
    {
        plotOszi = nullptr;
        setCircuitClock(previousClock);
        iconBase = nullptr;
        sNBase = nullptr;
        setWorkspace(nullptr);
    }
    std::string standard(const std::string& file) const { return kFixtures + "/standard/" + file; }
    BlockObject* add(CircuitModel& m, const std::string& file, Point at, int wizardCheck = 1)
    {
        BlockObject* b = m.createBlock(at, Point(6, 3), standard(file).c_str(), "Standard", wizardCheck ? 0 : 1);
        EXPECT_TRUE(b) << file;
        return b;
    }
    // The text writeCircuit gives.
    std::string text(CircuitModel& m, int forCompiler = 0, int markedOnly = 0)
    {
        std::string path = scratch.file("out.kyt");
        EXPECT_TRUE(m.saveCircuit(path.c_str(), forCompiler, markedOnly));
        return scratch.read("out.kyt");
    }
    // Reads text into m (paste mode as given); a load first empties Local.
    void read(CircuitModel& m, const std::string& text, int paste = 0)
    {
        if (!paste)
            LocalBlockLibrary().reset();
        std::string path = scratch.write("in.kyt", text);
        CircuitReader reader(paste);
        ASSERT_EQ(1, reader.openFile(path.c_str()));
        m.readCircuit(reader);
        reader.closeFile();
    }

    RecordingScope rec;
    ScratchDir scratch;
    Workspace workspace;
    SignalNameRegistry registry;
    IconStore icons;
    FixedClock clock;
    Clock* previousClock;
};

// Everything of a model that its text carries, one line per object.
inline std::string describe(const CircuitModel& m)
{
    std::ostringstream out;
    for (const GraphicObject* o : m.objects) {
        if (o->kind() == 1) {
            const BlockObject& b = *static_cast<const BlockObject*>(o);
            out << "block " << b.name.text() << " " << b.typeName.text() << " " << b.libraryName.text() << " at "
                << b.position.x() << "," << b.position.y() << " size " << b.size.x() << "x" << b.size.y()
                << " mirrored " << b.mirrored << " kind " << b.kindFlags << " text [" << b.getText().text()
                << "] icon " << b.iconName.text() << " " << b.iconDim.x() << "x" << b.iconDim.y() << " layout";
            for (int word : b.layout)
                out << " " << word;
            out << " scale " << b.scale << " colours " << b.textColour.packed() << " " << b.frameColour.packed()
                << " " << b.frameOutline << " " << b.frameFill << " wizard " << b.wizardFlag << " params";
            for (int i = 0; i < b.parameterCount; ++i)
                out << " " << BlockObject::at(b.parameterNames, i).text() << "="
                    << BlockObject::at(b.parameterValues, i).text();
            out << " signals";
            for (int i = 1; i <= b.outputCount; ++i)
                out << " " << b.signalName(i).text();
            out << " marks";
            for (int mark : b.symbolMarks)
                out << " " << mark;
            out << " selected " << b.isMarked() << "\n";
        } else {
            // Either way round, a line runs from an output to an input.
            const ConnectionObject& c = *static_cast<const ConnectionObject*>(o);
            bool aIsInput = c.portA().side == 1;
            const BlockObject* from = aIsInput ? c.blockB : c.blockA;
            const BlockObject* to = aIsInput ? c.blockA : c.blockB;
            PortRef fromPort = aIsInput ? c.portB : c.portA();
            PortRef toPort = aIsInput ? c.portA() : c.portB;
            out << "line " << from->name.text() << "." << fromPort.index << " -> " << to->name.text() << "."
                << toPort.index << " via";
            std::vector<Interpoint> points(c.interpoints.begin(), c.interpoints.end());
            if (aIsInput)
                points.assign(c.interpoints.rbegin(), c.interpoints.rend());
            for (const Interpoint& p : points)
                out << " " << p.x << "," << p.y << (p.mark ? "*" : "");
            out << "\n";
        }
    }
    return out.str();
}

// Writes m, reads the text into a fresh model, writes that: both texts
// equal and the models alike. Returns the first text.
inline std::string roundTrip(TextWorld& w, CircuitModel& m)
{
    std::string first = w.text(m);
    std::string before = describe(m);
    SimParams simBefore;
    w.workspace.getSimParams(simBefore);
    m.clear();
    CircuitModel again;
    w.read(again, first);
    EXPECT_TRUE(w.rec.viewer.calls.empty()) << w.rec.viewer.calls[0].message;
    EXPECT_EQ(before, describe(again));
    SimParams simAfter;
    w.workspace.getSimParams(simAfter);
    EXPECT_STREQ(simBefore.FNAME, simAfter.FNAME);
    EXPECT_EQ(first, w.text(again));
    return first;
}

#endif
