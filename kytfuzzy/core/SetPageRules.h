// What the fuzzy-set page does to a member set, without windows: the colour
// table with its German names, the texts a set shows, the commit of one
// support point (normalised and held in order with its neighbours) and the
// default points of a form.
#ifndef KYT_KYTFUZZY_SETPAGERULES_H
#define KYT_KYTFUZZY_SETPAGERULES_H

#include "FuzzyBlock.h"
#include "PageRules.h"
#include "strings/KytfuzzyStrings.h"

// Labels of the set page.
const unsigned int kResSetLabel = kStrFzSetLabel;
const unsigned int kResFormLabel = kStrFzShapeLabel;
const unsigned int kResColourLabel = kStrFzColourLabel;
// The colour names, by index, from here on.
const unsigned int kResFirstColourName = kStrFzColourGreen;

// The form names of the form list.
extern const char kTrapezWord[];
extern const char kSingletonWord[];

struct SampleColour {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
    bool operator==(const SampleColour& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

const SampleColour kSampleWhite = {255, 255, 255};

// The sample colour of an index 0 to 7; black for any other index.
SampleColour sampleColour(int colourIndex);
// The German name of an index; "schwarz" for none and above 7.
const char* colourName(int colourIndex);

// The colour chosen by name: a known name stores its index and gives its
// sample; another keeps the index and gives white. true for a known name.
bool chooseColour(FuzzyMember* member, const char* name, SampleColour* sample);

// The texts of a set in the page's buffers: name, form word, colour name and
// the points (a trapezoid's normalised, a singleton's first as it stands).
void showSetTexts(const FuzzyMember* member, FuzzyPageState& state);

// The commit of point index (0 a ... 3 d) after the field was stored into
// buffer: normalised; a trapezoid's point is held between its neighbours (the
// neighbour's text replaces it), a singleton takes only a. The buffer then
// holds the shown text. true when the model took it.
bool commitSetPoint(FuzzyMember* member, int index, bool valid, String& buffer);

// Form 0 (trapezoid) or 1 (singleton): the points XMIN + span times 0.2
// (0.3 for a singleton), 0.4, 0.6 and 0.8, as texts of 10 digits.
void setDefaultPoints(FuzzyMember* member, const FuzzyVariable* variable, int form);

#endif
