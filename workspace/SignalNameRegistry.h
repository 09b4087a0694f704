// The names of all block outputs of the program; no two signals share one.
// The registry owns the strings, the blocks keep pointers to them.
#ifndef KYT_WORKSPACE_SIGNALNAMEREGISTRY_H
#define KYT_WORKSPACE_SIGNALNAMEREGISTRY_H

#include "AList.h"
#include "String.h"

#include <string>
#include <unordered_map>

class SignalNameRegistry {
public:
    SignalNameRegistry();
    ~SignalNameRegistry();

    // A new signal: "Sig n" with the next free number when name is null,
    // else name, name_1, name_2, ... whichever is free first. The string
    // stays the registry's; it lives until remove.
    String* add(const char* name = nullptr);
    // Removes the entry holding exactly this string object and deletes it;
    // removing the last automatic name lets its number be given again.
    void remove(String* name);
    // 1 when a registered name equals text byte for byte.
    int contains(const char* text) const;
    // 1 when both are equal or the first entry named oldText now reads
    // newText; 0 when newText is empty or taken or no entry reads oldText.
    int rename(const char* oldText, const char* newText);

    int count() const;
    // The i-th registered name (from 0, in registration order); empty text
    // beyond the last.
    String nameAt(int i) const;

private:
    SignalNameRegistry(const SignalNameRegistry&) = delete;
    SignalNameRegistry& operator=(const SignalNameRegistry&) = delete;

    // A text no longer registered: its base's next suffix may be free again.
    void released(const std::string& text);

    AList<String*> names;
    // The number of the next automatic name.
    int counter;
    int size;
    // Every registered text and its entry (no two entries read the same).
    std::unordered_map<std::string, String*> byText;
    // For a base name: base_1 up to base_(n-1) are all taken, so the search
    // for a free base_i starts at n. Gives the same names as a search from 1
    // without its cost on circuits with many equal output names.
    std::unordered_map<std::string, int> nextSuffix;
};

// The program's registry, made and deleted by the editing pane.
extern SignalNameRegistry* sNBase;

#endif
