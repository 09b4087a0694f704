// The Windows profile (WIN.INI) as the framework reads it: the default
// printer of [windows] "Device" and the printers of [devices]. Programs
// read the real profile; tests install a table.
#ifndef KYT_FRAMEWORK_PROFILE_H
#define KYT_FRAMEWORK_PROFILE_H

#include "PrintSetup.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class ProfileSource {
public:
    virtual ~ProfileSource() {}
    // The entry's text, fallback when it is missing; at most maxLength
    // characters.
    virtual std::string readString(const char* section, const char* key, const char* fallback,
                                   size_t maxLength) = 0;
    // The names of a section's entries, each with its terminator, the list
    // ending in a second one (as GetProfileString gives them for no key);
    // at most maxLength bytes.
    virtual std::string readKeys(const char* section, size_t maxLength) = 0;
};

// The source the framework reads (null: none, every entry missing);
// returns the previous one.
ProfileSource* setProfileSource(ProfileSource* source);
ProfileSource* profileSource();

// A profile held in a table, for tests.
class TableProfile : public ProfileSource {
public:
    void set(const std::string& section, const std::string& key, const std::string& value);
    std::string readString(const char* section, const char* key, const char* fallback, size_t maxLength) override;
    std::string readKeys(const char* section, size_t maxLength) override;

private:
    std::vector<std::pair<std::pair<std::string, std::string>, std::string>> entries;
};

// [windows] "Device" split into device, driver and port (empty without
// an entry: such a printer gets no device context).
PrinterSpec defaultPrinterSpec();
// Every entry of [devices] as "name,value" (read through a 4096-byte list).
std::vector<std::string> printerDevices();

#endif
