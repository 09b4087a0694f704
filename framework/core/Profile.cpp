#include "Profile.h"

namespace {
ProfileSource* gSource = nullptr;
}

ProfileSource* setProfileSource(ProfileSource* source)
{
    ProfileSource* previous = gSource;
    gSource = source;
    return previous;
}

ProfileSource* profileSource()
{
    return gSource;
}

void TableProfile::set(const std::string& section, const std::string& key, const std::string& value)
{
    for (auto& entry : entries)
        if (entry.first.first == section && entry.first.second == key) {
            entry.second = value;
            return;
        }
    entries.push_back({{section, key}, value});
}

std::string TableProfile::readString(const char* section, const char* key, const char* fallback, size_t maxLength)
{
    std::string text = fallback ? fallback : "";
    for (const auto& entry : entries)
        if (section && key && entry.first.first == section && entry.first.second == key)
            text = entry.second;
    if (text.size() > maxLength)
        text.resize(maxLength);
    return text;
}

std::string TableProfile::readKeys(const char* section, size_t maxLength)
{
    std::string keys;
    for (const auto& entry : entries)
        if (section && entry.first.first == section) {
            keys += entry.first.second;
            keys += '\0';
        }
    keys += '\0';
    if (keys.size() > maxLength)
        keys.resize(maxLength);
    return keys;
}

PrinterSpec defaultPrinterSpec()
{
    if (!gSource)
        return PrinterSpec();
    return splitPrinterSpec(gSource->readString("windows", "Device", "", kPrinterSpecMax).c_str());
}

std::vector<std::string> printerDevices()
{
    if (!gSource)
        return std::vector<std::string>();
    std::string keys = gSource->readKeys("devices", 4096);
    return printerDeviceTexts(keys.data(), keys.size(), [](const char* name) {
        return gSource->readString("devices", name, "", kPrinterSpecMax);
    });
}
