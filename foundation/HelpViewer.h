// The help window as its owner sees it: kyt's workspace and kytfuzzy's
// options each keep at most one, in a pointer of their own. The viewer
// clears that pointer (its owner slot) when it goes, so that a closed
// viewer is not deleted again.
#ifndef KYT_FOUNDATION_HELPVIEWER_H
#define KYT_FOUNDATION_HELPVIEWER_H

class HelpViewer {
public:
    virtual ~HelpViewer() {}
};

class HelpViewerFactory {
public:
    virtual ~HelpViewerFactory() {}
    // A read-only viewer of text, default place and size, overlapped,
    // titled title; null when it cannot be made.
    virtual HelpViewer* createHelpViewer(const char* title, const char* text, HelpViewer** ownerSlot) = 0;
};

#endif
